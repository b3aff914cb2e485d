// The one format of every dialog template of the editor: sizes in dialog units, controls
// in template order (which is also their z-order, first on top), Windows style bits as the
// resource compiler writes them, UTF-8 texts. Each template is a table in its own file of
// this folder, referenced directly by the window that uses it. No toolkit here.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// Control ids the dialog manager gives a meaning.
namespace DialogId {
inline constexpr std::int32_t kStatic = -1;  // a control nobody looks up
inline constexpr std::int32_t kOk = 1;
inline constexpr std::int32_t kCancel = 2;
inline constexpr std::int32_t kAbort = 3;
inline constexpr std::int32_t kRetry = 4;
inline constexpr std::int32_t kIgnore = 5;
inline constexpr std::int32_t kYes = 6;
inline constexpr std::int32_t kNo = 7;
}  // namespace DialogId

// Window class names of the standard controls; any other name is a custom class.
namespace ControlClass {
inline constexpr std::string_view kButton = "Button";
inline constexpr std::string_view kEdit = "Edit";
inline constexpr std::string_view kStatic = "Static";
inline constexpr std::string_view kComboBox = "ComboBox";
inline constexpr std::string_view kListBox = "ListBox";
inline constexpr std::string_view kUpDown = "msctls_updown32";
inline constexpr std::string_view kTrackbar = "msctls_trackbar32";
inline constexpr std::string_view kProgress = "msctls_progress32";
}  // namespace ControlClass

// Styles every window has.
namespace WindowStyle {
inline constexpr std::uint32_t kPopup = 0x80000000;
inline constexpr std::uint32_t kChild = 0x40000000;
inline constexpr std::uint32_t kVisible = 0x10000000;
inline constexpr std::uint32_t kDisabled = 0x08000000;
inline constexpr std::uint32_t kCaption = 0x00C00000;
inline constexpr std::uint32_t kBorder = 0x00800000;
inline constexpr std::uint32_t kVScroll = 0x00200000;
inline constexpr std::uint32_t kHScroll = 0x00100000;
inline constexpr std::uint32_t kSysMenu = 0x00080000;
inline constexpr std::uint32_t kGroup = 0x00020000;
inline constexpr std::uint32_t kTabStop = 0x00010000;
// What the resource compiler gives every control unless the template says otherwise.
inline constexpr std::uint32_t kControlDefault = kChild | kVisible;
}  // namespace WindowStyle

namespace ExStyle {
inline constexpr std::uint32_t kTransparent = 0x00000020;
inline constexpr std::uint32_t kClientEdge = 0x00000200;
inline constexpr std::uint32_t kStaticEdge = 0x00020000;
}  // namespace ExStyle

namespace DialogStyle {
inline constexpr std::uint32_t k3DLook = 0x0004;
inline constexpr std::uint32_t kSetFont = 0x0040;
inline constexpr std::uint32_t kModalFrame = 0x0080;
inline constexpr std::uint32_t kControl = 0x0400;
inline constexpr std::uint32_t kCenter = 0x0800;
}  // namespace DialogStyle

namespace ButtonStyle {
inline constexpr std::uint32_t kPushButton = 0x0;
inline constexpr std::uint32_t kDefPushButton = 0x1;
inline constexpr std::uint32_t kCheckBox = 0x2;
inline constexpr std::uint32_t kAutoCheckBox = 0x3;
inline constexpr std::uint32_t kRadioButton = 0x4;
inline constexpr std::uint32_t k3State = 0x5;
inline constexpr std::uint32_t kAuto3State = 0x6;
inline constexpr std::uint32_t kGroupBox = 0x7;
inline constexpr std::uint32_t kAutoRadioButton = 0x9;
inline constexpr std::uint32_t kOwnerDraw = 0xB;
inline constexpr std::uint32_t kTypeMask = 0xF;
inline constexpr std::uint32_t kLeftText = 0x20;
inline constexpr std::uint32_t kMultiLine = 0x2000;
}  // namespace ButtonStyle

namespace EditStyle {
inline constexpr std::uint32_t kLeft = 0x0;
inline constexpr std::uint32_t kCenter = 0x1;
inline constexpr std::uint32_t kRight = 0x2;
inline constexpr std::uint32_t kMultiLine = 0x4;
inline constexpr std::uint32_t kAutoVScroll = 0x40;
inline constexpr std::uint32_t kAutoHScroll = 0x80;
inline constexpr std::uint32_t kReadOnly = 0x800;
inline constexpr std::uint32_t kWantReturn = 0x1000;
inline constexpr std::uint32_t kNumber = 0x2000;
}  // namespace EditStyle

namespace StaticStyle {
inline constexpr std::uint32_t kLeft = 0x0;
inline constexpr std::uint32_t kCenter = 0x1;
inline constexpr std::uint32_t kRight = 0x2;
inline constexpr std::uint32_t kIcon = 0x3;
inline constexpr std::uint32_t kBlackRect = 0x4;
inline constexpr std::uint32_t kGrayRect = 0x5;
inline constexpr std::uint32_t kWhiteRect = 0x6;
inline constexpr std::uint32_t kBlackFrame = 0x7;
inline constexpr std::uint32_t kGrayFrame = 0x8;
inline constexpr std::uint32_t kWhiteFrame = 0x9;
inline constexpr std::uint32_t kLeftNoWordWrap = 0xC;
inline constexpr std::uint32_t kOwnerDraw = 0xD;
inline constexpr std::uint32_t kBitmap = 0xE;
inline constexpr std::uint32_t kEtchedFrame = 0x12;
inline constexpr std::uint32_t kTypeMask = 0x1F;
inline constexpr std::uint32_t kNoPrefix = 0x80;
inline constexpr std::uint32_t kNotify = 0x100;
inline constexpr std::uint32_t kCenterImage = 0x200;
inline constexpr std::uint32_t kSunken = 0x1000;
}  // namespace StaticStyle

namespace ComboStyle {
inline constexpr std::uint32_t kSimple = 0x1;
inline constexpr std::uint32_t kDropDown = 0x2;
inline constexpr std::uint32_t kDropDownList = 0x3;
inline constexpr std::uint32_t kTypeMask = 0x3;
inline constexpr std::uint32_t kSort = 0x100;
inline constexpr std::uint32_t kHasStrings = 0x200;
}  // namespace ComboStyle

namespace ListStyle {
inline constexpr std::uint32_t kNotify = 0x1;
inline constexpr std::uint32_t kSort = 0x2;
inline constexpr std::uint32_t kHasStrings = 0x40;
inline constexpr std::uint32_t kNoIntegralHeight = 0x100;
}  // namespace ListStyle

namespace UpDownStyle {
inline constexpr std::uint32_t kWrap = 0x1;
inline constexpr std::uint32_t kSetBuddyInt = 0x2;
inline constexpr std::uint32_t kAlignRight = 0x4;
inline constexpr std::uint32_t kAlignLeft = 0x8;
inline constexpr std::uint32_t kAutoBuddy = 0x10;
inline constexpr std::uint32_t kArrowKeys = 0x20;
inline constexpr std::uint32_t kHorizontal = 0x40;
inline constexpr std::uint32_t kNoThousands = 0x80;
}  // namespace UpDownStyle

namespace TrackbarStyle {
inline constexpr std::uint32_t kAutoTicks = 0x1;
inline constexpr std::uint32_t kVertical = 0x2;
inline constexpr std::uint32_t kLeft = 0x4;  // ticks on the left of a vertical trackbar
inline constexpr std::uint32_t kBoth = 0x8;
inline constexpr std::uint32_t kNoTicks = 0x10;
inline constexpr std::uint32_t kNoThumb = 0x80;
}  // namespace TrackbarStyle

namespace ProgressStyle {
inline constexpr std::uint32_t kSmooth = 0x1;
inline constexpr std::uint32_t kVertical = 0x4;
}  // namespace ProgressStyle

// One control: {id, class, text, x, y, cx, cy, style, exStyle, items}. Positions and sizes in
// dialog units relative to the dialog's client area. `items` fills combo and list boxes.
struct DialogControl {
    std::int32_t id = DialogId::kStatic;
    std::string_view className;
    std::string_view text;
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t cx = 0;
    std::int16_t cy = 0;
    std::uint32_t style = WindowStyle::kControlDefault;
    std::uint32_t exStyle = 0;
    std::span<const std::string_view> items = {};
};

// One dialog: {id, caption, x, y, cx, cy, style, exStyle, font name, font size in points,
// controls}; cx and cy are the client size in dialog units.
struct DialogTemplate {
    std::uint32_t id = 0;
    std::string_view caption;
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t cx = 0;
    std::int16_t cy = 0;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    std::string_view fontName;
    std::uint16_t fontPointSize = 8;
    std::span<const DialogControl> controls = {};
};

// The first control with this id in template order; null when there is none.
const DialogControl* FindTemplateControl(const DialogTemplate& dialog, std::int32_t id);
// Index of the control in template order; -1 when there is none.
int TemplateControlIndex(const DialogTemplate& dialog, std::int32_t id);

// Small window helpers the panels share: control texts and class names, embedding a row or
// section view in a placeholder frame, placing a graph in a frame, moving and sizing
// windows, and the up-down control that follows an edit.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

class QWidget;

namespace platform {
class Dialog;
}

// The window's class name, at most kMaxClassNameLength characters.
inline constexpr std::size_t kMaxClassNameLength = 198;
std::string GetWindowClassName(const QWidget* window);

// Sets a control's text from code. The edit's change notice still comes, but while it runs
// IsTextChangeByCode() is true, so panels do not take it for typing.
void SetDlgItemTextByCode(QWidget* window, std::int32_t id, std::string_view text);
bool IsTextChangeByCode();

// How much a placeholder shrank when a child was embedded in it (negative: it grew).
struct EmbedResult {
    int widthShrink = 0;
    int heightShrink = 0;
};
using EmbedTitleSetter = std::function<void(const std::string& title)>;

// Puts child (a child window of panel) inside the placeholder frame placeholderId: the
// placeholder takes the child's size plus its own frame border (position unchanged), the
// child moves, unsized, to the inside of that border, above the frame, and is shown; the
// placeholder's text is handed to setTitle. Nothing happens without the placeholder.
EmbedResult EmbedChildDialog(platform::Dialog& panel, std::int32_t placeholderId, QWidget& child,
                             const EmbedTitleSetter& setTitle);

// child (a child window of panel) takes the rectangle of control frameId shrunk by dx at the
// left and right and dy at the top and bottom, above the frame.
void PlaceInFrame(platform::Dialog& panel, QWidget& child, std::int32_t frameId, int dx, int dy);

// Repaints the control at once, background included.
void RedrawDlgItem(QWidget* window, std::int32_t id);
// The first column right of and the first row below the window, in its parent's pixels.
int RightOf(const QWidget& window);
int BottomOf(const QWidget& window);
// Changes the window's size, keeping its position.
void GrowWindowBy(QWidget& window, int dw, int dh);

// The control that follows control id in template order when it is an up-down control.
QWidget* FindBuddySpin(const platform::Dialog& window, std::int32_t id);
// Disables each listed control and the up-down control that follows it.
void DisableWithSpin(platform::Dialog& window, std::span<const std::int32_t> ids);

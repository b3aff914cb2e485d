// The view-layout file "ViewEnvironment.txt" of the Data folder: one line per child view of
// the main view (its kind, row, natural size, stretch flag and background gradient). The
// reader knows no window; the views that a record describes are made by the view host.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CEnvironmentView;
class CControlView;

// The kinds a line may name; any other kind makes no view.
namespace ViewKind {
inline constexpr std::int32_t kBlocks = 1;
inline constexpr std::int32_t kControls = 2;
inline constexpr std::int32_t kMetersAll = 3;
inline constexpr std::int32_t kMetersInputs = 5;
inline constexpr std::int32_t kMetersOutputs = 6;
inline constexpr std::int32_t kMetersProtection = 7;
}  // namespace ViewKind

// Background gradient directions of a record.
namespace ViewGradient {
inline constexpr std::uint32_t kHorizontal = 0;
inline constexpr std::uint32_t kVertical = 1;
}  // namespace ViewGradient

// The largest width or height a line may give, and the largest room the laid-out rows may
// need. No screen is larger; a file that asks for more is as broken as a missing one, and
// taking it would make a window of that size.
inline constexpr std::int32_t kMaxViewLayoutSize = 16384;

struct ViewEnvironment {
    CEnvironmentView* view = nullptr;        // the child view made for this record, if any
    CControlView* controlView = nullptr;     // the host's control view, set once every line is read
    std::string name;                        // first field; kept, never shown
    std::int32_t kind = 0;
    std::uint32_t reservedWord1 = 0;         // read and kept, not used
    std::uint32_t reservedWord2 = 0;         // read and kept, not used
    std::uint32_t gradientDirection = ViewGradient::kHorizontal;
    std::uint32_t meterOptions = 0;          // handed to a meter view at its initial update
    std::uint32_t colourA = 0;               // colour word at the right or bottom edge
    std::uint32_t colourB = 0;               // colour word at the left or top edge
    std::int32_t rectRight = 0;              // the record's rectangle is (0, 0, width, height)
    std::int32_t rectBottom = 0;
    std::int32_t row = 0;
    std::int32_t reservedInt = 0;            // read and kept, not used
    std::int32_t width = 0;                  // natural size in pixels
    std::int32_t height = 0;
    bool stretch = false;                    // takes a share of the row's spare width
};

// Fills `record` from one line (without its line end) of the layout file.
void ParseViewEnvironmentLine(std::string_view line, ViewEnvironment& record);

// Every record of the file: the first line is a header and is skipped, empty lines are
// skipped. Nothing when the file cannot be read or a line's width or height is negative or
// beyond kMaxViewLayoutSize.
std::optional<std::vector<ViewEnvironment>> ReadViewEnvironmentFile(const std::filesystem::path& path);

// A user's hands on a panel: typing into an edit (focus it, replace what it shows key by key,
// leave it with Enter or by tabbing on) and clicking a spin's arrow. The messages a gesture
// posts are delivered before these return.
#pragma once

#include <functional>
#include <string_view>

#include <gtest/gtest.h>

class QLineEdit;

namespace platform {
class UpDown;
}

namespace test_support {

enum class Leave { Enter, Tab };

void TypeAndLeave(QLineEdit& edit, std::string_view text, Leave leave);

// Puts the spin one position short of its upper (direction +1) or lower (-1) end without a
// notice, then clicks that arrow once: the last step a user takes to reach the end.
void ClickSpinToEnd(platform::UpDown& spin, int direction);

// One end of an edit's range and what the controller behind it holds.
struct ShownEnd {
    QLineEdit& edit;
    platform::UpDown& spin;
    int direction;              // +1 the upper end, -1 the lower
    std::string_view inside;    // a value well inside the range, as typed
    std::string_view format;    // the edit's display format, e.g. "%.1f"
    double displayStep;         // 0.1 for "%.1f"
    std::function<float()> held;
};
// Reaches the end with the spin and notes what is held and shown there; types a value inside,
// then the shown text back (the end must be held and shown again), then the text one display
// step beyond the end (refused: the end stays held and shown). Enter commits at the upper end,
// focus loss at the lower.
testing::AssertionResult TypesBackTheShownEnd(const ShownEnd& end);

}  // namespace test_support

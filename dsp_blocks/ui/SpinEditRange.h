// One adjustable number of a panel: an edit field showing it and the up-down control beside
// it, with the value range, the value of one spin position and the display format. The
// spin has one position more than the values it can show; positions past the maximum show
// the maximum.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {
class Dialog;
}

struct SpinEditRange {
    std::int32_t editId = 0;  // the edit that shows the value
    std::int32_t spinId = 0;  // the up-down control beside it
    float minimum = 0.0f;
    float maximum = 0.0f;
    float step = 1.0f;           // value of one spin position
    std::string_view format;     // printf format of the shown value, e.g. "%.1f"
};

// Range 0..n of the spin (n counts the positions up to the maximum plus one) and the
// position of value clamped into the range.
void SetupSpin(platform::Dialog& panel, const SpinEditRange& range, float value);
// minimum + position x step, clamped into [minimum, maximum].
float GetSpinValue(const platform::Dialog& panel, const SpinEditRange& range);
// The position of value clamped into the range; the maximum takes the extra position when
// it lies between two steps.
void SetSpinValue(platform::Dialog& panel, const SpinEditRange& range, float value);
// The edit shows value in the range's format.
void SetEditValue(platform::Dialog& panel, const SpinEditRange& range, float value);
// Reads the number at the start of the edit's text; false when there is none or it lies
// outside the range (FitTypedIntoRange with the range's format: the text the field shows at
// an end is that end); else the value rounded to what the format shows, within the range.
bool ReadEditValue(const platform::Dialog& panel, const SpinEditRange& range, float& value);
// false outside the range; else value moved to the nearest step from the minimum.
bool SnapToStep(float& value, const SpinEditRange& range);

// The spin position of value (clamped into the range) and the spin's highest position.
int SpinPositionOf(const SpinEditRange& range, float value);
int SpinPositionCount(const SpinEditRange& range);

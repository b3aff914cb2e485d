#include "dsp_blocks/ui/SpinEditRange.h"

#include <algorithm>
#include <cmath>

#include "dsp_blocks/ui/LocaleNumbers.h"
#include "dsp_blocks/ui/WindowHelpers.h"
#include "platform/ui/core/ControlIds.h"
#include "platform/ui/core/Dialog.h"
#include "platform/ui/core/UpDown.h"
#include "resources/strings/StringFormat.h"

namespace {

platform::UpDown* Spin(const platform::Dialog& panel, const SpinEditRange& range)
{
    return panel.ItemAs<platform::UpDown>(range.spinId);
}

float Clamped(const SpinEditRange& range, float value)
{
    if (std::isnan(value)) {
        return range.minimum;
    }
    return std::clamp(value, range.minimum, range.maximum);
}

// Positions are small; a broken range must not overflow the conversion.
int Truncated(float value)
{
    if (!std::isfinite(value)) {
        return 0;
    }
    return static_cast<int>(std::clamp(value, -1.0e8f, 1.0e8f));
}

}  // namespace

int SpinPositionCount(const SpinEditRange& range)
{
    int n = Truncated((range.maximum - range.minimum) / range.step);
    if (range.maximum > static_cast<float>(n) * range.step + range.minimum) {
        ++n;
    }
    return n + 1;
}

int SpinPositionOf(const SpinEditRange& range, float value)
{
    return Truncated((Clamped(range, value) - range.minimum) / range.step);
}

void SetupSpin(platform::Dialog& panel, const SpinEditRange& range, float value)
{
    if (platform::UpDown* spin = Spin(panel, range)) {
        spin->SetRange32(0, SpinPositionCount(range));
        spin->SetPos32(SpinPositionOf(range, value));
    }
}

float GetSpinValue(const platform::Dialog& panel, const SpinEditRange& range)
{
    platform::UpDown* spin = Spin(panel, range);
    const int position = spin != nullptr ? spin->GetPos32() : 0;
    return Clamped(range, range.minimum + static_cast<float>(position) * range.step);
}

void SetSpinValue(platform::Dialog& panel, const SpinEditRange& range, float value)
{
    int position = SpinPositionOf(range, value);
    if (value >= range.maximum && range.maximum > static_cast<float>(position) * range.step + range.minimum) {
        ++position;
    }
    if (platform::UpDown* spin = Spin(panel, range)) {
        spin->SetPos32(position);
    }
}

void SetEditValue(platform::Dialog& panel, const SpinEditRange& range, float value)
{
    SetDlgItemTextByCode(&panel, range.editId, FormatString(range.format, value));
}

bool ReadEditValue(const platform::Dialog& panel, const SpinEditRange& range, float& value)
{
    double typed = 0.0;
    if (!ParseLeadingNumber(platform::WindowText(panel.Item(range.editId)), typed)) {
        return false;
    }
    if (!FitTypedIntoRange(typed, range.minimum, range.maximum, range.format)) {
        return false;
    }
    // Round to what the field can show, so the value kept is the value seen; an end that lies
    // between two display steps may round past itself, the clamp keeps the value in the range.
    double shown = 0.0;
    if (!ParseLeadingNumber(FormatString(range.format, typed), shown)) {
        return false;
    }
    value = Clamped(range, static_cast<float>(shown));
    return true;
}

bool SnapToStep(float& value, const SpinEditRange& range)
{
    if (!(value <= range.maximum && value >= range.minimum)) {
        return false;
    }
    value = std::floor((value - range.minimum) / range.step + 0.5f) * range.step + range.minimum;
    return true;
}

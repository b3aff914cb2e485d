// The panel of a limiter block: the peak and RMS thresholds (volts) and the RMS attack and
// release (milliseconds) as edits with spins, the peak attack and release shown but fixed,
// the speaker preset the values came from, and the impedance and voltage mode of the
// channel, which sets the threshold ranges. Each value follows the pending-value protocol
// with its own 150 ms settle timer (ids 1 to 4).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "dsp_blocks/blocks/LLimiterController.h"
#include "dsp_blocks/ui/DBlockPanel.h"
#include "dsp_blocks/ui/PendingValue.h"
#include "dsp_blocks/ui/SpinEditRange.h"

class DPeakLimiter final : public DBlockPanel {
    Q_OBJECT

public:
    // The four values the user edits; each one's settle timer id is its index + 1.
    enum Value : std::size_t { kPeakThreshold = 0, kRmsThreshold, kRmsAttack, kRmsRelease, kValueCount };

    static constexpr char kValueFormat[] = "%.1f";
    static constexpr char kLowImpedanceText[] = "Low Z";
    static constexpr char kHighImpedanceText[] = "Hi Z";
    static constexpr char k100VoltText[] = "100V";
    static constexpr char k70VoltText[] = "70V";
    static constexpr char kNoModeText[] = "---";

    DPeakLimiter(IPanelSite& site, LLimiterController& controller);
    ~DPeakLimiter() override;

    // The preset name and all six values again from the controller.
    void Refresh() override;
    // Texts and threshold ranges of the channel's mode; sends pending threshold changes.
    void UpdateChannelMode() override;

    // The row of a value as the channel mode and model choose it now.
    SpinEditRange RangeOf(Value value) const;
    // The six values as shown.
    LimiterSettings ShownSettings() const;
    bool IsPending(Value value) const { return values_[value].IsPending(); }

    // Enter commits the edit typed into last.
    void OnOK() override;
    void OnSpinScroll(std::int32_t id, int code, int position) override;

protected:
    bool OnInitDialog() override;
    void OnEditFocusLost(std::int32_t id) override;
    void OnPanelTimer(std::uint32_t timerId) override;

private:
    // Marks the design modified for a tracked or sent change; sends all six values for Send.
    void Act(const PendingStep& step);
    // Reads the value's edit; an accepted new value (or a change still owed) is sent; the
    // edit always shows the value kept.
    void CommitEdit(Value value);
    void FillControls();

    LLimiterController& controller_;
    // Peak attack and release as shown; the four edited values live in values_.
    LimiterSettings fixed_;
    std::array<PendingValue, kValueCount> values_;
};

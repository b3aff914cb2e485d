// One row of the delay panel: the delay of one output channel in an edit with a spin, shown
// in the panel's unit and kept in milliseconds on the 0.1 ms grid. Changes follow the
// pending-value protocol and reach the panel as "__Ovt_NotifyChanged__" (2 final or 3 while
// the spin is held, channel index).
#pragma once

#include <cstdint>

#include "dsp_blocks/blocks/ParamRanges.h"
#include "dsp_blocks/ui/DControl.h"
#include "dsp_blocks/ui/PendingValue.h"
#include "dsp_blocks/ui/SpinEditRange.h"
#include "resources/templates/DelayRowTemplate.h"

class LDelayTime final : public DControl {
    Q_OBJECT

public:
    static constexpr std::uint32_t kSettleTimerId = 1;
    static constexpr std::uintptr_t kNotifyFinal = 2;
    static constexpr std::uintptr_t kNotifyTracking = 3;
    // Milliseconds; the format is the range's own, the edit shows the unit's.
    static constexpr SpinEditRange kRange{DelayRowIds::kDelay, DelayRowIds::kDelaySpin, ParamRange::kMinDelayMs,
                                          ParamRange::kMaxDelayMs, 0.1f, "%.2f"};

    LDelayTime(std::uint32_t channel, float delayMs, std::uint32_t unitCode);
    ~LDelayTime() override;

    // Builds the row as a child of panel; false when that failed.
    bool Create(QWidget* panel);

    // A delay from the controller: shown, nothing owed.
    void SetValue(float delayMs);
    void SetUnit(std::uint32_t unitCode);
    // The vertical centre of the edit plus 2 pixels, in the row's coordinates: where the
    // graph draws this channel's track.
    int GetTrackY() const;

    std::uint32_t Channel() const { return channel_; }
    float Delay() const { return delay_.Value(); }
    std::uint32_t UnitCode() const { return unit_; }
    bool IsPending() const { return delay_.IsPending(); }

    void OnSpinScroll(std::int32_t id, int code, int position) override;
    // "VeskQuarry_ReflectReturn" naming the edit commits it.
    std::intptr_t OnMessage(platform::MessageId message, std::uintptr_t wParam, std::intptr_t lParam) override;

protected:
    bool OnInitDialog() override;
    void OnEditFocusLost(std::int32_t id) override;
    void OnPanelTimer(std::uint32_t timerId) override;

private:
    // Reads the edit in the unit shown; an accepted new delay (or one still owed) is sent.
    // The edit shows the kept delay afterwards in every case.
    void CommitEdit();
    void ShowDelay();
    void Notify(PendingAction action);

    std::uint32_t channel_;
    PendingValue delay_;
    std::uint32_t unit_;
};

// The editor of one crossover filter inside the crossover panel: the filter type, the
// corner frequency as an edit with a spin, and a title. Each change is posted to the parent
// panel as "__Ovt_NotifyChanged__" (section index, 1 while a spin gesture goes on, 0 for a
// final change); the panel then reads TypeCode and Frequency.
#pragma once

#include <cstdint>

#include "dsp_blocks/ui/PendingValue.h"
#include "dsp_blocks/ui/VDialogView.h"

class VSectionDialogView final : public VDialogView {
    Q_OBJECT

public:
    static constexpr std::uint32_t kSettleTimerId = 1;
    static constexpr std::uint32_t kInitialType = 0;
    static constexpr float kInitialFrequency = 100.0f;
    static constexpr platform::ColorRef kBypassEdge = 0xF0F0F0;
    static constexpr platform::ColorRef kBypassCentre = 0xC0C0C0;

    explicit VSectionDialogView(std::uint32_t sectionIndex);
    ~VSectionDialogView() override;

    // Creates the view (template 139) as a child window of parent, not shown yet.
    bool Create(QWidget* parent);

    // Shows a type and frequency; tells nobody.
    void SetFilter(std::uint32_t typeCode, float frequency);
    // true: the lowest frequency is 50 Hz instead of 20 Hz; the spin's range follows.
    void SetMinimumFlag(bool raised);

    bool MinimumFlag() const { return raisedMinimum_; }
    float MinimumFrequency() const;
    std::uint32_t SectionIndex() const { return sectionIndex_; }
    std::uint32_t TypeCode() const { return typeCode_; }
    float Frequency() const { return frequency_.Value(); }
    // A spin change was reported as in progress and its final report is still owed.
    bool IsPending() const { return frequency_.IsPending(); }

    // Enter commits typed text, Escape forgets that it was typed.
    void OnOK() override;
    void OnCancel() override;
    void OnEditChanged(std::int32_t id) override;
    void OnEditKillFocus(std::int32_t id) override;
    void OnComboSelChange(std::int32_t id) override;
    void OnSpinScroll(std::int32_t id, int code, int position) override;
    void OnTimer(std::uint32_t timerId) override;
    // "VeskQuarry_ReflectReturn" naming this view's edit commits it.
    std::intptr_t OnMessage(platform::MessageId message, std::uintptr_t wParam, std::intptr_t lParam) override;
    void OnDrawItem(std::int32_t id, QPainter& painter, const platform::DrawItemState& state) override;

protected:
    bool OnInitDialog() override;

private:
    // Type, frequency and spin position into the controls.
    void ShowControls();
    void ShowFrequency();
    // The typed frequency; a refused text is replaced by the shown value, with a beep.
    bool ReadFrequency(float& frequency);
    void CommitTyping();

    bool raisedMinimum_ = false;
    std::uint32_t sectionIndex_;
    std::uint32_t typeCode_ = kInitialType;
    PendingValue frequency_;
};

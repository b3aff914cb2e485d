// One band row of the input-EQ panel: the band's type, frequency, width and gain as edits
// with spins (parametric mode), or its frequency and a gain slider (graphic mode). The width
// is shown as Q or as bandwidth in octaves. Each change is posted to the panel as
// "__Ovt_NotifyChanged__" (band index, 1 while a spin or slider gesture goes on, 0 for a final
// change); the panel then reads GetBand. Held-arrow spin changes settle after 150 ms (timers
// 1 frequency, 2 gain, 3 width).
#pragma once

#include <cstdint>
#include <string>

#include "dsp_blocks/blocks/LInputEQController.h"
#include "dsp_blocks/blocks/ParamRanges.h"
#include "dsp_blocks/ui/PendingValue.h"
#include "dsp_blocks/ui/VDialogView.h"

class LBiquadBPFDialogView final : public VDialogView {
    Q_OBJECT

public:
    static constexpr std::uint32_t kGraphicMode = 0;
    static constexpr std::uint32_t kParametricMode = 1;
    static constexpr std::uint32_t kFrequencyTimer = 1;
    static constexpr std::uint32_t kGainTimer = 2;
    static constexpr std::uint32_t kWidthTimer = 3;
    static constexpr int kGainSliderMin = -18;
    static constexpr int kGainSliderMax = 18;
    static constexpr int kGainSliderTicks = 6;
    static constexpr int kGainSpinMin = -180;
    static constexpr int kGainSpinMax = 180;
    static constexpr float kMinGain = ParamRange::kMinEqGainDb;
    static constexpr float kMaxGain = ParamRange::kMaxEqGainDb;
    static constexpr float kGainStep = 0.1f;
    static constexpr char kValueFormat[] = "%.1f";
    static constexpr char kWidthFormat[] = "%.3f";
    static constexpr float kInitialFrequencyPosition = 1000.0f;

    // The width as the row shows it.
    struct Width {
        bool isQ = true;
        float value = 0.0f;
    };

    LBiquadBPFDialogView(std::uint32_t eqMode, bool widthIsQ, std::uint32_t bandIndex, const EqBand& band);
    ~LBiquadBPFDialogView() override;

    // Creates the row (template 336) as a child window of parent, not shown yet.
    bool Create(QWidget* parent);

    void SetMode(std::uint32_t eqMode);
    void SetWidthUnit(bool isQ);
    // Shows a band; tells nobody. relayout: also show and enable the controls for its type.
    void SetBand(const EqBand& band, bool relayout);
    // The band with what is typed in an edit and not committed yet.
    EqBand GetBand() const;

    std::uint32_t BandIndex() const { return bandIndex_; }
    std::uint32_t EqMode() const { return eqMode_; }
    // The band as the row holds it (without uncommitted typing).
    EqBand Band() const;
    const Width& ShownWidth() const { return width_; }
    int WidthSpinPosition() const { return widthSpinPos_; }
    bool IsWidthExact() const { return widthExact_; }
    bool IsFrequencyPending() const { return frequency_.IsPending(); }
    bool IsGainPending() const { return gain_.IsPending(); }
    bool IsWidthPending() const { return q_.IsPending(); }
    // Tops of the frequency edit and of the type list as the template lays them out.
    int FrequencyEditTop() const { return frequencyTop_; }
    int TypeListTop() const { return typeTop_; }
    bool IsCreated() const { return created_; }

    // The names of the band types in the type list; another type shows as the first.
    static std::uint32_t TypeOfName(const std::string& name);

    void OnEditChanged(std::int32_t id) override;
    void OnEditKillFocus(std::int32_t id) override;
    void OnComboSelChange(std::int32_t id) override;
    void OnSpinScroll(std::int32_t id, int code, int position) override;
    void OnTrackbarScroll(std::int32_t id, int code, int position) override;
    void OnTimer(std::uint32_t timerId) override;
    // "VeskQuarry_ReflectReturn" naming one of the row's edits commits it.
    std::intptr_t OnMessage(platform::MessageId message, std::uintptr_t wParam, std::intptr_t lParam) override;

protected:
    bool OnInitDialog() override;

private:
    void Layout();
    void ShowType();
    void ShowFrequency();
    void ShowGain();
    void ShowWidth();
    void PlaceWidthSpin();
    void SetWidthSpinRange();
    // The value changes of the row: each may notify the panel.
    void ChangeFrequency(float value, bool tracking);
    void ChangeGain(float value, bool tracking);
    void ChangeWidth(Width shown, bool tracking);
    // The Q the shown width stands for; the band's own Q when they differ by no more than 0.0001.
    float QOfShownWidth() const;
    void CommitEdit(std::int32_t id);
    // What the edit holds, when its text is a value of its range (ParseValueInRange with
    // the edit's format); the width in the shown unit.
    bool ReadTypedFrequency(float& frequency) const;
    bool ReadTypedGain(float& gain) const;
    bool ReadTypedWidth(float& width) const;

    std::uint32_t bandIndex_;
    std::uint32_t type_;
    std::uint32_t eqMode_;
    Width width_;
    PendingValue frequency_;
    PendingValue gain_;
    PendingValue q_;
    int widthSpinPos_ = 0;
    bool widthExact_ = true;
    int frequencyTop_ = 0;
    int typeTop_ = 0;
    bool created_ = false;
};

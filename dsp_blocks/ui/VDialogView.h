// The base of the small child dialogs that panels embed (the crossover's filter sections,
// the input EQ's bands): a vertical gradient from white at the top to light grey at the
// bottom with transparent static texts, the main window's shortcuts, Enter and Escape left
// to the view, the frequency-to-position map shared by every frequency spin, and the change
// notice every view sends its panel.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "dsp_blocks/blocks/ParamRanges.h"
#include "dsp_blocks/ui/PanelBackground.h"
#include "dsp_blocks/ui/PendingValue.h"
#include "platform/ui/core/Dialog.h"

class VDialogView : public platform::Dialog {
    Q_OBJECT

public:
    static constexpr std::int32_t kTitleId = 1031;
    static constexpr platform::ColorRef kTopColour = 0xFFFFFF;
    static constexpr platform::ColorRef kBottomColour = 0xE6E6E6;

    // One stretch of the frequency spin: from startFrequency at startPosition, hertzPerStep
    // per position.
    struct SpinSegment {
        float startFrequency;
        int startPosition;
        float hertzPerStep;
    };
    static constexpr std::array<SpinSegment, 9> kSpinSegments{{
        {20.0f, 0, 1.0f},
        {100.0f, 81, 2.0f},
        {200.0f, 131, 5.0f},
        {500.0f, 191, 10.0f},
        {1000.0f, 241, 20.0f},
        {2000.0f, 291, 50.0f},
        {5000.0f, 351, 100.0f},
        {10000.0f, 401, 200.0f},
        {20000.0f, 451, 500.0f},
    }};
    static constexpr float kLowestFrequency = ParamRange::kMinFrequency;
    static constexpr float kRaisedLowestFrequency = ParamRange::kMinHighImpedanceFrequency;
    static constexpr float kHighestFrequency = ParamRange::kMaxFrequency;
    static constexpr int kHighestPosition = 451;

    struct SpinLimits {
        int low;
        int high;
    };

    VDialogView(const DialogTemplate& dialogTemplate, QWidget* parent);
    ~VDialogView() override;

    // The spin position of frequency f; 0 at and below 20 Hz, 451 at and above 20 kHz.
    static int FrequencyToSliderPosition(float f);
    // The frequency of a spin position; 20 Hz at and below 0, 20 kHz at and above 451.
    static float SliderPositionToFrequency(int position);
    // 0 (30 with the raised 50 Hz minimum) to 451.
    static SpinLimits SpinRange(bool raisedMinimum);

    // An up-down control's position.
    void SetSpinPos(std::int32_t id, int position);
    // A trackbar's position; reversed maps p to minimum + maximum - p of its range. 0 and
    // nothing done when the control is missing.
    float GetSliderPos(std::int32_t id, bool reversed) const;
    void SetSliderPos(std::int32_t id, bool reversed, float value);
    // The text of control 1031.
    void SetTitle(std::string_view text);

    // The edit with typing not committed yet (0 for none).
    std::int32_t DirtyEdit() const { return dirtyEdit_; }
    void SetDirtyEdit(std::int32_t id) { dirtyEdit_ = id; }

    // Enter and Escape never close a view; subclasses give them a meaning.
    void OnOK() override;
    void OnCancel() override;

protected:
    // The look and the shortcuts; subclasses call it first.
    bool OnInitDialog() override;
    // Tells the panel the view sits in of a change: "__Ovt_NotifyChanged__" (index, 1 for
    // Track, 0 for Send); nothing for None.
    void NotifyPanel(std::uint32_t index, PendingAction action);
    void paintEvent(QPaintEvent* event) override;

private:
    std::int32_t dirtyEdit_ = 0;
    GradientBackground background_;
};

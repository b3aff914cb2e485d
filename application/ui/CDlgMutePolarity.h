// The mute-input polarity chooser (template 186): two radios, normally open or normally
// closed, on a light vertical gradient. Apply ends with the radio's id, Cancel with 2.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include <QBrush>

#include "dsp_blocks/ui/PanelBackground.h"
#include "platform/ui/core/Dialog.h"
#include "platform/ui/drawing/Rect.h"

class CDlgMutePolarity : public platform::Dialog {
    Q_OBJECT

public:
    static constexpr platform::ColorRef kTopColour = kPanelTopColour;
    static constexpr platform::ColorRef kBottomColour = kPanelBottomColour;

    explicit CDlgMutePolarity(bool normallyOpen, QWidget* parent = nullptr);

    bool NormallyOpen() const { return normallyOpen_ != 0; }
    // The pattern brushes made so far, one per control rectangle.
    std::size_t BrushCount() const { return brushes_.size(); }

    // Apply: the radios decide, the dialog ends with 1111 (normally open) or 1112.
    void OnOK() override;
    void OnButtonClicked(std::int32_t id) override;

protected:
    bool OnInitDialog() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void RefreshRadios();
    // Every static text and radio with a text shows the part of the background under it.
    void ApplyControlBackgrounds();
    const QBrush& BrushFor(const platform::Rect& rect);

    std::uint8_t normallyOpen_;
    GradientBackground background_;
    std::vector<std::pair<platform::Rect, QBrush>> brushes_;  // made once per rectangle, kept
};

// Runs the chooser preset to `normallyOpen`: 1111 when normally open was applied, 1112 when
// normally closed was applied, 2 when it was cancelled.
int AskMutePolarity(bool normallyOpen);

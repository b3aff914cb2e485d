// One cross point of the mixer panel: an owner-drawn button that toggles the cross point on
// and off with a click (or Space) and shows its gain; a right-click opens the pop-up gain
// slider above it. Every change the button shows reaches the panel as a click command, so
// the button never shows a state that the panel did not hear of.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include <QRect>

#include "platform/ui/core/MessageWindow.h"
#include "platform/ui/core/OwnerDrawButton.h"
#include "platform/ui/drawing/ColorRef.h"

class CrossPointButton final : public platform::OwnerDrawButton {
    Q_OBJECT

public:
    static constexpr platform::ColorRef kEdgeColour = 0xADADAD;
    static constexpr platform::ColorRef kFaceColour = 0xE1E1E1;
    static constexpr platform::ColorRef kOnColour = 0xEB9696;
    static constexpr platform::ColorRef kTextColour = 0x000000;
    // Inside the edge: the face is 1 pixel in, the on-colour 2 more; the focus frame 4 in.
    static constexpr int kFaceInset = 1;
    static constexpr int kOnInset = 3;
    static constexpr int kFocusInset = 4;
    // The gain slider: +12 dB at the top to -12 dB at the bottom in 0.5 dB steps.
    static constexpr float kSliderTop = 12.0f;
    static constexpr float kSliderBottom = -12.0f;
    static constexpr float kSliderStep = 0.5f;
    static constexpr std::array<float, 3> kSliderTicks{12.0f, 0.0f, -12.0f};

    explicit CrossPointButton(QWidget* parent = nullptr);
    ~CrossPointButton() override;

    float Gain() const { return gain_; }
    bool IsOn() const { return on_ != 0; }
    bool IsPressed() const { return pressed_ != 0; }
    // Shows the cross point (no command).
    void SetCrossPoint(bool on, float gain);

    // "0.0" for a gain of exactly zero (either sign), else the gain with "%+.1f".
    static std::string GainText(float gain);
    // Where the slider opens, in screen pixels: on the button's left edge, 4/3 of its width
    // wide and 5/2 of it high, ending one pixel above the button.
    QRect SliderRect() const;
    // Opens the pop-up slider on the gain; false when it could not be made.
    bool OpenSlider();

    // The window the slider sends its notices to.
    platform::WindowId NoticeWindow() const { return messages_.Id(); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void Draw(QPainter& painter, const platform::DrawItemState& state) const;
    bool OnKey(QKeyEvent& event);
    void Press();
    void SendClick();
    // "__Kx_MsgFromSlider__": lParam points at the slider's {value, tracking}.
    std::intptr_t OnSliderNotice(std::intptr_t lParam);

    float gain_ = 0.0f;
    std::uint8_t on_ = 0;
    std::uint8_t pressed_ = 0;
    platform::MessageWindow messages_;
};

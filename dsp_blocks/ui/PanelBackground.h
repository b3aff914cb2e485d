// The background of panels and section views: a vertical two-colour gradient, drawn once
// per size and colour pair and copied on every paint; and the rule that static texts, check
// boxes, radio buttons and group boxes let it show through.
#pragma once

#include <QImage>
#include <QSize>

#include "platform/ui/drawing/ColorRef.h"

class QPainter;
class QWidget;

// The gradient every panel and the editor's own small dialogs share: light grey at the top
// fading to white.
inline constexpr platform::ColorRef kPanelTopColour = 0xE6E6E6;  // RGB(230, 230, 230)
inline constexpr platform::ColorRef kPanelBottomColour = 0xFFFFFF;

class GradientBackground {
public:
    GradientBackground(platform::ColorRef top, platform::ColorRef bottom);

    // The gradient over a client area of this size (drawn again only when it changed).
    const QImage& ImageFor(QSize size);
    void Paint(QPainter& painter, QSize size);

private:
    platform::ColorRef top_;
    platform::ColorRef bottom_;
    QImage image_;
};

// Every static text, check box, radio button and group box of window paints no background
// of its own, so the window's gradient shows through; edits keep theirs.
void UseTransparentStatics(QWidget& window);

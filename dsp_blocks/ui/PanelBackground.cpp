#include "dsp_blocks/ui/PanelBackground.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QWidget>

#include "dsp_blocks/ui/GradientFills.h"
#include "platform/ui/drawing/Canvas.h"

GradientBackground::GradientBackground(platform::ColorRef top, platform::ColorRef bottom) : top_(top), bottom_(bottom) {}

void GradientBackground::SetColours(platform::ColorRef top, platform::ColorRef bottom)
{
    if (top != top_ || bottom != bottom_) {
        top_ = top;
        bottom_ = bottom;
        image_ = QImage();
    }
}

const QImage& GradientBackground::ImageFor(QSize size)
{
    if (image_.size() != size && !size.isEmpty()) {
        image_ = QImage(size, QImage::Format_RGB32);
        platform::Canvas canvas(image_);
        FillGradient(&canvas, platform::Rect{0, 0, size.width(), size.height()}, bottom_, top_, true);
    }
    return image_;
}

void GradientBackground::Paint(QPainter& painter, QSize size)
{
    if (!size.isEmpty()) {
        painter.drawImage(0, 0, ImageFor(size));
    }
}

void UseTransparentStatics(QWidget& window)
{
    for (QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const bool transparent = qobject_cast<QLabel*>(child) != nullptr || qobject_cast<QGroupBox*>(child) != nullptr ||
                                 (qobject_cast<QAbstractButton*>(child) != nullptr && child->inherits("QCheckBox")) ||
                                 child->inherits("QRadioButton");
        if (transparent) {
            child->setAutoFillBackground(false);
            child->setAttribute(Qt::WA_NoSystemBackground, false);
        }
    }
}

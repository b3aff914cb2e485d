#include "dsp_blocks/ui/PanelBackground.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QWidget>

#include "dsp_blocks/ui/GradientFills.h"
#include "platform/ui/drawing/Canvas.h"

GradientBackground::GradientBackground(platform::ColorRef top, platform::ColorRef bottom) : top_(top), bottom_(bottom) {}

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
                                 qobject_cast<QCheckBox*>(child) != nullptr ||
                                 qobject_cast<QRadioButton*>(child) != nullptr;
        if (transparent) {
            child->setAutoFillBackground(false);
            child->setAttribute(Qt::WA_NoSystemBackground, false);
        }
    }
}

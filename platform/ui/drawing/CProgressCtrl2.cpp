#include "platform/ui/drawing/CProgressCtrl2.h"

#include <cmath>
#include <utility>

#include <QPainter>
#include <QVariant>

#include "platform/ui/drawing/Canvas.h"
#include "platform/ui/drawing/SystemColors.h"
#include "platform/ui/drawing/UiFonts.h"
#include "resources/strings/StringFormat.h"

namespace platform {

const QFont& ProgressPercentFont()
{
    static const QFont font = [] {
        const QFont menu = MenuFont();
        return UiFont(kMenuFontPixels, static_cast<QFont::Weight>(menu.weight()), menu.italic());
    }();
    return font;
}

std::int64_t ProgressPercentage(std::uint32_t rangeMin, std::uint32_t rangeMax, std::uint32_t position)
{
    const std::uint32_t range = rangeMax - rangeMin;
    if (range == 0) {
        return 0;
    }
    const std::uint32_t done = position - rangeMin;
    // At most (2^32 - 1) * 100, far inside 64 bits: no overflow and no coarser fallback.
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(done) * 100u / range);
}

CProgressCtrl2::CProgressCtrl2(QWidget* parent) : QWidget(parent)
{
    setFont(DefaultGuiFont());
    ProgressPercentFont();
    // Every pixel is painted on each pass; nothing needs erasing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CProgressCtrl2::SetPos(std::uint32_t newPosition)
{
    const std::int64_t before = Percentage();
    position = newPosition;
    if (forceRedraw == 0 && Percentage() == before) {
        return;
    }
    ++m_redraws;
    repaint();
    forceRedraw = 0;
}

void CProgressCtrl2::TakeOverFrom(QWidget* placeholder)
{
    if (placeholder == nullptr || placeholder == this) {
        return;
    }
    setParent(placeholder->parentWidget());
    setGeometry(placeholder->geometry());
    setObjectName(placeholder->objectName());
    for (const QByteArray& name : placeholder->dynamicPropertyNames()) {
        setProperty(name.constData(), placeholder->property(name.constData()));
    }
    setEnabled(placeholder->isEnabled());
    setFont(DefaultGuiFont());
    if (parentWidget() != nullptr) {
        stackUnder(placeholder);
    }
    setVisible(!placeholder->isHidden());
}

std::int64_t CProgressCtrl2::Percentage() const
{
    return ProgressPercentage(rangeMin, rangeMax, position);
}

int CProgressCtrl2::FillPosition() const
{
    const std::uint32_t range = rangeMax - rangeMin;
    if (range == 0) {
        return 0;
    }
    const double done = static_cast<double>(static_cast<std::uint32_t>(position - rangeMin));
    const double x = done / static_cast<double>(range) * width();
    // Clamped before it becomes an integer: a position far past the end must not overflow.
    if (!(x > 0.0)) {
        return 0;
    }
    if (x >= width()) {
        return width();
    }
    return static_cast<int>(std::trunc(x));
}

QString CProgressCtrl2::Text() const
{
    // The owner's format is filled by our own formatter, never handed to printf.
    return QString::fromStdString(FormatString(textFormat, Percentage()));
}

void CProgressCtrl2::paintEvent(QPaintEvent*)
{
    ++m_paints;
    QPainter painter(this);
    Canvas canvas(painter);
    const Rect client{0, 0, width(), height()};
    const int split = client.left + FillPosition();
    const Rect filled{client.left, client.top, split, client.bottom};
    const Rect empty{split, client.top, client.right, client.bottom};
    canvas.FillSolidRect(filled, SysColor::kHighlight);
    canvas.FillSolidRect(empty, SysColor::kButtonFace);

    canvas.SetBkMode(BackgroundMode::Transparent);
    canvas.SelectFont(ProgressPercentFont());
    const QString text = Text();
    const unsigned flags =
        TextFlag::kSingleLine | TextFlag::kVCenter | (leftAligned != 0 ? TextFlag::kLeft : TextFlag::kCenter);
    Rect textRect = client;
    canvas.SetClipRect(filled);
    canvas.SetTextColor(SysColor::kHighlightText);
    canvas.DrawText(text, textRect, flags);
    canvas.SetClipRect(empty);
    canvas.SetTextColor(SysColor::kButtonText);
    canvas.DrawText(text, textRect, flags);
}

}  // namespace platform

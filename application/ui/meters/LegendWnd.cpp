// The legend window.
#include "application/ui/meters/LegendWnd.h"

#include <QPainter>
#include <QPointer>

#include "application/ui/meters/MeterImages.h"
#include "platform/ui/core/ControlIds.h"
#include "platform/ui/drawing/BitmapAlpha.h"
#include "platform/ui/drawing/SystemColors.h"
#include "platform/ui/drawing/UiFonts.h"
#include "resources/images/ImageIds.h"

namespace {

using platform::Rect;

QPointer<LegendWnd>& TheLegend()
{
    static QPointer<LegendWnd> legend;
    return legend;
}

QString GroupText(int first, int second)
{
    return QString::fromLatin1(LegendWnd::kGroupText).arg(first).arg(second);
}

QString OutLabel(int output)
{
    return QStringLiteral("Out %1").arg(output);
}

meters::LegendSize SizeOf(const QSize& size)
{
    return meters::LegendSize{size.width(), size.height()};
}

constexpr unsigned kRowTextFlags = platform::TextFlag::kLeft | platform::TextFlag::kVCenter |
                                   platform::TextFlag::kSingleLine | platform::TextFlag::kNoPrefix;
constexpr unsigned kLabelFlags = platform::TextFlag::kCenter | platform::TextFlag::kVCenter |
                                 platform::TextFlag::kSingleLine | platform::TextFlag::kNoPrefix;

void DrawIcon(platform::Canvas& dc, const Rect& rect, int frame)
{
    const QImage& strip = meters::MeterImage(ImageId::kLegendIcons);
    platform::DrawBitmapAlpha(dc, rect.left, rect.top, rect.Width(), rect.Height(), strip,
                              frame * meters::StripFrameWidth(strip), 0);
}

}  // namespace

LegendWnd::LegendWnd(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      m_font(platform::DefaultGuiFont())
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::ArrowCursor);
    platform::SetWindowText(this, kTitle);
    LayOut();
}

void LegendWnd::SetLegendFont(const QFont& font)
{
    m_font = font;
    LayOut();
}

void LegendWnd::SetOutputCount(std::int32_t outputCount)
{
    if (outputCount == m_outputCount) {
        return;
    }
    m_outputCount = outputCount;
    LayOut();
}

void LegendWnd::LayOut()
{
    QImage scratch(1, 1, QImage::Format_RGB32);
    platform::Canvas dc(scratch);
    dc.SelectFont(m_font);
    const QImage& strip = meters::MeterImage(ImageId::kLegendIcons);
    meters::LegendMetrics metrics;
    metrics.outLabel = SizeOf(dc.TextExtent(OutLabel(4)));
    metrics.icon = meters::LegendSize{meters::StripFrameWidth(strip), strip.height()};
    metrics.limiting = SizeOf(dc.TextExtent(QString::fromLatin1(kLimitingText)));
    metrics.fault = SizeOf(dc.TextExtent(QString::fromLatin1(kFaultText)));
    metrics.groupText = SizeOf(dc.TextExtent(GroupText(3, 4)));
    m_layout = meters::LayOutLegend(metrics, m_outputCount);
    // The window is its client area and the border around it.
    resize(m_layout.client.width + 2 * kBorder, m_layout.client.height + 2 * kBorder);
    RenderImage();
    update();
}

void LegendWnd::ShowAt(QPoint anchor, const QRect& workArea)
{
    std::int32_t left = 0;
    std::int32_t top = 0;
    meters::PlaceInWorkArea(anchor.x(), anchor.y(), meters::LegendSize{width(), height()},
                            Rect::FromQRect(workArea), left, top);
    if (isVisible() && pos() == QPoint(left, top)) {
        return;  // the pointer moved within the hot area: nothing to do
    }
    move(left, top);
    show();
    raise();
}

void LegendWnd::DrawClient(platform::Canvas& dc) const
{
    const Rect client{0, 0, m_layout.client.width, m_layout.client.height};
    dc.FillSolidRect(client, platform::SysColor::kWindow);
    dc.FillSolidRect(Rect{0, 0, client.right, 1}, kTopLineColour);
    dc.SelectFont(m_font);
    dc.SetBkMode(platform::BackgroundMode::Transparent);
    dc.SetTextColor(platform::SysColor::kWindowText);

    DrawIcon(dc, m_layout.limiting.icon, kLimitingFrame);
    Rect text = m_layout.limiting.text;
    dc.DrawText(QString::fromLatin1(kLimitingText), text, kRowTextFlags);
    DrawIcon(dc, m_layout.fault.icon, kFaultFrame);
    text = m_layout.fault.text;
    dc.DrawText(QString::fromLatin1(kFaultText), text, kRowTextFlags);

    for (int g = 0; g < 2; ++g) {
        const std::int32_t needed = g == 0 ? meters::kOutputsForFirstGroup : meters::kOutputsForSecondGroup;
        if (m_outputCount < needed) {
            break;
        }
        const meters::LegendGroup& group = m_layout.groups[static_cast<std::size_t>(g)];
        const int first = 2 * g + 1;
        Rect label = group.firstLabel;
        dc.DrawText(OutLabel(first), label, kLabelFlags);
        DrawIcon(dc, group.firstIcon, kFaultFrame);
        label = group.secondLabel;
        dc.DrawText(OutLabel(first + 1), label, kLabelFlags);
        DrawIcon(dc, group.secondIcon, kFaultFrame);
        text = group.text;
        dc.DrawText(GroupText(first, first + 1), text, kRowTextFlags);
    }
}

void LegendWnd::RenderImage()
{
    QImage image(m_layout.client.width + 2 * kBorder, m_layout.client.height + 2 * kBorder, QImage::Format_RGB32);
    image.fill(platform::ToArgb32(platform::SysColor::kWindowFrame));
    QImage client(m_layout.client.width, m_layout.client.height, QImage::Format_RGB32);
    if (!client.isNull()) {
        platform::Canvas dc(client);
        DrawClient(dc);
    }
    {
        platform::Canvas frame(image);
        frame.DrawImage(kBorder, kBorder, client);
    }
    m_image = std::move(image);
}

void LegendWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_image);
}

LegendWnd& LegendWindowFor(QWidget* owner)
{
    QPointer<LegendWnd>& legend = TheLegend();
    if (legend.isNull()) {
        legend = new LegendWnd(owner);
    }
    return *legend;
}

LegendWnd* ExistingLegendWindow()
{
    return TheLegend().data();
}

// The status bar's panes and their painting.
#include "application/ui/CProgressBar.h"

#include <algorithm>

#include <QFontMetrics>
#include <QPainter>
#include <QResizeEvent>

#include "platform/ui/drawing/Canvas.h"
#include "platform/ui/drawing/SystemColors.h"
#include "platform/ui/drawing/UiFonts.h"
#include "resources/commands/CommandIds.h"
#include "resources/strings/StringTable.h"

namespace {

constexpr int kBorder = 2;         // around the panes
constexpr int kGap = 2;            // between panes
constexpr int kGripSize = 16;      // the size grip's square
constexpr int kTextIndent = 6;     // message-pane text from the pane's left edge
constexpr int kVerticalPadding = 8;
constexpr std::int32_t kProgressPaneWidth = 600;
constexpr std::int32_t kParameterPaneWidth = 200;
constexpr int kMinimumResetWidth = 100;
// The write-progress label's longest text, which the message pane keeps room for.
constexpr const char* kWidestMessage = " Writing parameters... (100%)";

}  // namespace

CProgressBar::CProgressBar(QWidget* parent) : QWidget(parent)
{
    setFont(platform::DefaultGuiFont());
    SetIndicators({0, CommandId::kPaneParameter, CommandId::kPaneProgress});
    SetPaneInfo(2, CommandId::kPaneProgress, StatusPaneStyle::kFramed, kProgressPaneWidth);
    SetPaneInfo(1, CommandId::kPaneParameter, StatusPaneStyle::kText, kParameterPaneWidth);
}

void CProgressBar::SetIndicators(const std::vector<std::uint32_t>& ids)
{
    m_panes.clear();
    const QFontMetrics metrics(font());
    for (std::uint32_t id : ids) {
        Pane pane;
        pane.id = id;
        if (id != 0) {
            pane.text = LoadStringId(id);
            pane.width = metrics.horizontalAdvance(QString::fromStdString(pane.text));
        }
        m_panes.push_back(std::move(pane));
    }
    update();
}

void CProgressBar::SetPaneInfo(std::size_t index, std::uint32_t id, std::uint32_t style, std::int32_t width)
{
    if (index >= m_panes.size()) {
        return;
    }
    m_panes[index].id = id;
    m_panes[index].style = style;
    m_panes[index].width = std::max(0, width);
    update();
}

void CProgressBar::SetPaneText(std::size_t index, const std::string& text)
{
    if (index < m_panes.size() && m_panes[index].text != text) {
        m_panes[index].text = text;
        update();
    }
}

int CProgressBar::BarHeight() const
{
    return QFontMetrics(font()).height() + kVerticalPadding;
}

int CProgressBar::MinimumMessageWidth() const
{
    return QFontMetrics(font()).horizontalAdvance(QString::fromLatin1(kWidestMessage)) + 2 * kTextIndent;
}

QSize CProgressBar::sizeHint() const
{
    return QSize(MinimumMessageWidth(), BarHeight());
}

std::vector<platform::Rect> CProgressBar::PaneRects() const
{
    std::vector<platform::Rect> rects(m_panes.size());
    if (m_panes.empty()) {
        return rects;
    }
    const int top = kBorder;
    const int bottom = std::max(top, height() - kBorder);
    const int available = std::max(0, width() - 2 * kBorder - kGripSize - kGap * static_cast<int>(m_panes.size() - 1));
    std::vector<int> widths(m_panes.size(), 0);
    int fixed = 0;
    for (std::size_t i = 1; i < m_panes.size(); ++i) {
        widths[i] = m_panes[i].width;
        fixed += widths[i];
    }
    // Fixed panes give way from the last one backwards until the message pane has its room.
    int shortfall = std::min(available, MinimumMessageWidth()) - (available - fixed);
    for (std::size_t i = m_panes.size() - 1; i >= 1 && shortfall > 0; --i) {
        const int cut = std::min(widths[i], shortfall);
        widths[i] -= cut;
        shortfall -= cut;
        fixed -= cut;
    }
    widths[0] = std::max(0, available - fixed);
    int x = kBorder;
    for (std::size_t i = 0; i < m_panes.size(); ++i) {
        rects[i] = platform::Rect{x, top, x + widths[i], bottom};
        x += widths[i] + kGap;
    }
    return rects;
}

platform::Rect CProgressBar::GetItemRect(std::size_t index) const
{
    const std::vector<platform::Rect> rects = PaneRects();
    return index < rects.size() ? rects[index] : platform::Rect{};
}

void CProgressBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (event->size().width() > kMinimumResetWidth && m_panes.size() > 2) {
        SetPaneInfo(2, m_panes[2].id, StatusPaneStyle::kFramed, kProgressPaneWidth);
    }
}

void CProgressBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    platform::Canvas dc(painter);
    const platform::Rect client{0, 0, width(), height()};
    dc.FillSolidRect(client, platform::SysColor::kButtonFace);
    dc.SetBkMode(platform::BackgroundMode::Transparent);
    dc.SelectFont(font());
    dc.DrawSizeGrip(platform::Rect{client.right - kGripSize, client.bottom - kGripSize, client.right, client.bottom});
    const std::vector<platform::Rect> rects = PaneRects();
    for (std::size_t i = 0; i < m_panes.size(); ++i) {
        const Pane& pane = m_panes[i];
        platform::Rect rect = rects[i];
        if (rect.IsEmpty()) {
            continue;
        }
        dc.FillSolidRect(rect, platform::SysColor::kActiveBorder);
        const bool textStyle = (pane.style & StatusPaneStyle::kText) != 0;
        dc.SetTextColor(textStyle ? platform::SysColor::kWindowText : platform::SysColor::kGrayText);
        if (pane.id == 0) {
            rect.left += kTextIndent;
            dc.DrawText(pane.text, rect,
                        platform::TextFlag::kSingleLine | platform::TextFlag::kVCenter | platform::TextFlag::kLeft |
                            platform::TextFlag::kNoPrefix);
            continue;
        }
        if ((pane.style & StatusPaneStyle::kFramed) != 0) {
            dc.Draw3dRect(rect, platform::SysColor::kButtonShadow, platform::SysColor::kButtonHighlight);
        }
        if (textStyle) {
            dc.DrawText(pane.text, rect,
                        platform::TextFlag::kSingleLine | platform::TextFlag::kVCenter | platform::TextFlag::kCenter |
                            platform::TextFlag::kNoPrefix);
        }
    }
}

// Painting the write-progress label.
#include "application/ui/CWriteProgressLabel.h"

#include <algorithm>

#include <QPainter>

#include "platform/ui/drawing/Canvas.h"
#include "platform/ui/drawing/SystemColors.h"
#include "resources/strings/StringFormat.h"

CWriteProgressLabel::CWriteProgressLabel(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

std::string CWriteProgressLabel::ProgressText(std::uint32_t done, std::uint32_t total)
{
    const std::int32_t percent =
        total == 0 ? 0 : static_cast<std::int32_t>(static_cast<std::int64_t>(done) * 100 / static_cast<std::int64_t>(total));
    return FormatString(" Writing parameters... (%d%%)", percent);
}

int CWriteProgressLabel::SplitX(int left, int right, std::uint32_t done, std::uint32_t total)
{
    if (total == 0) {
        return left;
    }
    // Wide arithmetic: a large pair must not wrap, and a count past the total fills the bar.
    const std::int64_t d = std::min<std::int64_t>(done, total);
    const std::int64_t t = total;
    const std::int64_t split = ((t - d) * left + d * right) / t;
    return static_cast<int>(std::clamp<std::int64_t>(split, left, right));
}

void CWriteProgressLabel::SetProgress(std::uint32_t done, std::uint32_t total)
{
    m_done = done;
    m_total = total;
    if (total != 0) {
        m_text = ProgressText(done, total);
    }
    update();
}

void CWriteProgressLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    platform::Canvas dc(painter);
    const platform::Rect rect{0, 0, width(), height()};
    const int split = SplitX(rect.left, rect.right, m_done, m_total);
    if (rect.left < split) {
        dc.FillSolidRect(platform::Rect{rect.left, rect.top, split, rect.bottom}, kWriteProgressGreen);
    }
    if (split < rect.right) {
        dc.FillSolidRect(platform::Rect{split, rect.top, rect.right, rect.bottom}, kWriteProgressRest);
    }
    dc.SetBkMode(platform::BackgroundMode::Transparent);
    dc.SelectFont(font());
    dc.SetTextColor(platform::SysColor::kWindowText);
    platform::Rect textRect = rect;
    dc.DrawText(m_text, textRect,
                platform::TextFlag::kSingleLine | platform::TextFlag::kVCenter | platform::TextFlag::kNoPrefix);
}

// Canvas text: measuring and drawing lines of text placed by flags.
#include <algorithm>
#include <vector>

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <QStringList>

#include "platform/ui/drawing/Canvas.h"

namespace platform {

namespace {

// Text as it is shown: without the mnemonic marks, and on one line when asked.
QString ShownText(const QString& text, unsigned flags)
{
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        if (!(flags & TextFlag::kNoPrefix) && c == u'&') {
            if (i + 1 < text.size() && text[i + 1] == u'&') {
                shown += u'&';
                ++i;
            }
            continue;
        }
        if ((flags & TextFlag::kSingleLine) && (c == u'\n' || c == u'\r')) {
            c = u' ';
        }
        shown += c;
    }
    return shown;
}

}  // namespace

int Canvas::LineHeight() const
{
    return QFontMetrics(m_state.font, m_painter->device()).height();
}

QSize Canvas::TextExtent(const QString& text) const
{
    const QFontMetrics metrics(m_state.font, m_painter->device());
    return QSize(metrics.horizontalAdvance(text), metrics.height());
}

int Canvas::DrawText(std::string_view utf8, Rect& rect, unsigned flags)
{
    return DrawText(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())), rect, flags);
}

int Canvas::DrawText(const QString& text, Rect& rect, unsigned flags)
{
    const QFontMetrics metrics(m_state.font, m_painter->device());
    const int lineHeight = metrics.height();
    QStringList lines;
    if (flags & TextFlag::kSingleLine) {
        lines << ShownText(text, flags);
    } else {
        for (const QString& line : text.split(u'\n')) {
            QString shown = ShownText(line, flags);
            shown.remove(u'\r');
            lines << shown;
        }
    }
    std::vector<int> widths;
    int widest = 0;
    for (QString& line : lines) {
        if ((flags & TextFlag::kEndEllipsis) && metrics.horizontalAdvance(line) > rect.Width()) {
            line = metrics.elidedText(line, Qt::ElideRight, std::max(rect.Width(), 0));
        }
        widths.push_back(metrics.horizontalAdvance(line));
        widest = std::max(widest, widths.back());
    }
    const int totalHeight = lineHeight * static_cast<int>(lines.size());
    if (flags & TextFlag::kCalcRect) {
        rect.right = rect.left + widest;
        rect.bottom = rect.top + totalHeight;
        return totalHeight;
    }

    int y = rect.top;
    if (flags & TextFlag::kSingleLine) {
        if (flags & TextFlag::kVCenter) {
            y = rect.top + (rect.Height() - lineHeight) / 2;
        } else if (flags & TextFlag::kBottom) {
            y = rect.bottom - lineHeight;
        }
    }
    m_painter->save();
    if (!(flags & TextFlag::kNoClip)) {
        IntersectClipRect(rect);
    }
    m_painter->setPen(ToQColor(m_state.textColour));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int width = widths[static_cast<std::size_t>(i)];
        int x = rect.left;
        if (flags & TextFlag::kCenter) {
            x = rect.left + (rect.Width() - width) / 2;
        } else if (flags & TextFlag::kRight) {
            x = rect.right - width;
        }
        const int top = y + static_cast<int>(i) * lineHeight;
        if (m_state.bkMode == BackgroundMode::Opaque) {
            m_painter->fillRect(QRect(x, top, width, lineHeight), ToQColor(m_state.bkColour));
        }
        m_painter->drawText(QPoint(x, top + metrics.ascent()), lines[i]);
    }
    m_painter->restore();
    return totalHeight;
}

}  // namespace platform

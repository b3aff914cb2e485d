// The owner-drawn progress bar of the transfer and firmware dialogs: the filled part in the
// highlight colour, the rest in the button face, and the percentage written across both, in
// the highlight-text colour over the filled part and the button-text colour over the rest.
// It repaints only when the whole-number percentage changes (and once after it is made).
#pragma once

#include <cstdint>
#include <string>

#include <QFont>
#include <QString>
#include <QWidget>

namespace platform {

class CProgressCtrl2 : public QWidget {
    Q_OBJECT

public:
    explicit CProgressCtrl2(QWidget* parent = nullptr);

    // Stores the position and repaints at once when the percentage changed or a first
    // repaint is still owed.
    void SetPos(std::uint32_t newPosition);

    // Takes the place of a placeholder control (a template's progress control): its parent,
    // geometry, place in the stacking order, visibility, enabled state, object name and
    // dynamic properties. The placeholder itself is left to the caller.
    void TakeOverFrom(QWidget* placeholder);

    // What the fields give: the percentage (0 for an empty range; above 100 past the end), the
    // first column of the empty part in client pixels (0 .. width) and the text shown.
    std::int64_t Percentage() const;
    int FillPosition() const;
    QString Text() const;

    // Repaints SetPos asked for, and paint passes run, since construction (for tests).
    int RedrawCount() const { return m_redraws; }
    int PaintCount() const { return m_paints; }

    // Set by the owner directly.
    std::uint32_t rangeMin = 0;
    std::uint32_t rangeMax = 100;
    std::uint32_t position = 0;
    std::uint32_t forceRedraw = 1;  // cleared by the first repaint
    std::string textFormat = "%ld%%";  // filled with the percentage; UTF-8
    std::uint8_t leftAligned = 0;       // 0: text centred; otherwise at the left

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_redraws = 0;
    int m_paints = 0;
};

// The percentage's font, made once per process: the default GUI font with the menu font's
// height, weight and slant.
const QFont& ProgressPercentFont();

// The percentage of position in rangeMin .. rangeMax: (position - rangeMin) * 100 /
// (rangeMax - rangeMin) with the differences taken as unsigned 32-bit numbers and the product
// in 64 bits; 0 when the range is empty.
std::int64_t ProgressPercentage(std::uint32_t rangeMin, std::uint32_t rangeMax, std::uint32_t position);

}  // namespace platform

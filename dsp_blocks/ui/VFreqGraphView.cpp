#include "dsp_blocks/ui/VFreqGraphView.h"

#include <algorithm>
#include <string>

namespace {

std::string WithoutLeadingSpaces(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

}  // namespace

VFreqGraphView::VFreqGraphView(QWidget* parent)
    : VSemiLogGraphView(parent, kMinFrequency, kMaxFrequency, kDecades, kMinDb, kMaxDb, kDbDivisions)
{
}

void VFreqGraphView::ComputeLayout(const platform::Rect& rect)
{
    VSemiLogGraphView::ComputeLayout(rect);
    // The y labels end two pixels left of the x0 label's left half; their visible part (the
    // leading spaces are blank) must start inside the window.
    const float step = yDivisions_ != 0 ? (y1_ - y0_) / static_cast<float>(yDivisions_) : 0.0f;
    int widest = 0;
    for (int j = 0; j <= yDivisions_; ++j) {
        widest = std::max(widest, TextSize(WithoutLeadingSpaces(YLabelText(y0_ + static_cast<float>(j) * step))).width());
    }
    const int needed = rect.left + widest + TextSize(XLabelText(x0_)).width() / 2 + 2;
    plotRect_.left = std::max(rect.left + kPlotLeft, needed);
    ComputeDecadeScale();
}

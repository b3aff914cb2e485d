// The block view's geometry: each block's title, pin and selection rectangles from the
// block's fields and the measured texts, the grouped types' shared selection, and the
// centring of the whole diagram in the client area.
#include <algorithm>
#include <map>

#include <QImage>

#include "application/document/CCorvantEditorDoc.h"
#include "application/ui/CBlockView.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "platform/ui/drawing/UiFonts.h"

namespace {

// The pin area is this much taller than its pins' pitches.
constexpr int kPinAreaExtra = 20;
// The selection rectangle reaches this far beyond the block.
constexpr int kSelectionMarginX = 12;
constexpr int kSelectionMarginY = 8;

// Texts are measured with the font the view draws them in.
class MeasuringCanvas {
public:
    MeasuringCanvas() : image_(1, 1, QImage::Format_RGB32), canvas_(image_)
    {
        canvas_.SelectFont(CBlockView::TextFont());
    }
    platform::Canvas& Get() { return canvas_; }

private:
    QImage image_;
    platform::Canvas canvas_;
};

::Rect LayOutOneBlock(platform::Canvas& dc, DiagramBlock& block)
{
    constexpr unsigned kMeasure = platform::TextFlag::kCalcRect | platform::TextFlag::kCenter;
    platform::Rect title{};
    const int height = dc.DrawText(QString::fromStdU16String(block.name), title, kMeasure);
    title.right = title.left + block.extent;
    platform::Rect pins{};
    dc.DrawText(QString::fromStdU16String(block.label2), pins, kMeasure);
    if (block.pinPitch == 0) {
        block.pinPitch = height;
    }
    const std::int32_t pinCount = std::max(block.inputCount, block.outputCount);
    pins = platform::Rect{pins.left, title.bottom, pins.left + block.extent,
                          title.bottom + kPinAreaExtra + (pinCount - 1) * block.pinPitch};

    const std::int32_t dx = block.extraPair[0];
    const std::int32_t dy = block.extraPair[1];
    block.bodyRect = ::Rect{title.left + dx, title.top + dy, title.right + dx, title.bottom + dy};
    block.pinRect = ::Rect{pins.left + dx, pins.top + dy, pins.right + dx, pins.bottom + dy};
    const ::Rect both = UnionRect(block.bodyRect, block.pinRect);
    block.selRect = ::Rect{both.left - kSelectionMarginX, both.top - kSelectionMarginY, both.right + kSelectionMarginX,
                           both.bottom + kSelectionMarginY};
    return block.selRect;
}

}  // namespace

QFont CBlockView::TextFont()
{
    return platform::DefaultGuiFont();
}

::Rect CBlockView::LayoutBlock(DiagramBlock& block) const
{
    MeasuringCanvas dc;
    return LayOutOneBlock(dc.Get(), block);
}

void CBlockView::LayoutDiagram()
{
    CCorvantEditorDoc* document = GetDocument();
    if (document == nullptr) {
        return;
    }
    MeasuringCanvas dc;
    ::Rect bounds{};
    bool first = true;
    for (const auto& block : document->Blocks()) {
        const ::Rect selection = LayOutOneBlock(dc.Get(), *block);
        bounds = first ? selection : UnionRect(bounds, selection);
        first = false;
    }
    // One grouped block selected lights its whole group.
    std::map<BlockType, ::Rect> groups;
    for (const auto& block : document->Blocks()) {
        if (block->IsGrouped()) {
            auto [entry, added] = groups.try_emplace(block->type, block->selRect);
            if (!added) {
                entry->second = UnionRect(entry->second, block->selRect);
            }
        }
    }
    for (const auto& block : document->Blocks()) {
        if (block->IsGrouped()) {
            block->SetSelectionRect(groups[block->type]);
        }
    }
    if (bounds.right - bounds.left < 0 || bounds.bottom - bounds.top < 0) {
        bounds = ::Rect{};
    }
    bounds_ = bounds;
}

void CBlockView::CentreDiagram()
{
    LayoutDiagram();
    CCorvantEditorDoc* document = GetDocument();
    if (document == nullptr) {
        return;
    }
    const std::int32_t dx = (0 + width()) / 2 - (bounds_.left + bounds_.right) / 2;
    const std::int32_t dy = (0 + height()) / 2 - (bounds_.top + bounds_.bottom) / 2;
    for (const auto& block : document->Blocks()) {
        block->Offset(dx, dy);
    }
}

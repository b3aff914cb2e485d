// The block view's painting: the background, the frames of the frame groups, each block
// with its selection look, texts and pins, and then the connections between the stages.
#include <algorithm>
#include <array>

#include <QPaintEvent>
#include <QPainter>

#include "application/document/CCorvantEditorDoc.h"
#include "application/ui/CBlockView.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/ui/GradientFills.h"

namespace {

using platform::TextFlag::kCenter;
using platform::TextFlag::kLeft;
using platform::TextFlag::kRight;
using platform::TextFlag::kSingleLine;
using platform::TextFlag::kVCenter;

// Group frames reach this far beyond their blocks.
constexpr int kGroupMarginX = 16;
constexpr int kGroupMarginY = 10;
// Pins: the row's text starts this far inside the block; the mark sits this far down the
// row and is this long and half as high.
constexpr int kPinTextInset = 4;
constexpr int kPinMarkY = 6;
constexpr int kPinMarkLength = 8;
constexpr int kPinMarkHalfHeight = 4;
constexpr platform::ColorRef kLabelColour = 0x000000;

platform::Rect ToCanvas(const ::Rect& rect)
{
    return platform::Rect{rect.left, rect.top, rect.right, rect.bottom};
}

// A pin's label when a side has two or more pins: its capital letter (A for the first) or
// its number from 1.
QString PinLabel(int number, bool letters)
{
    if (letters) {
        return QString(QChar(u'A' + (number - 1)));
    }
    return QString::number(number);
}

}  // namespace

const DiagramBlock* CBlockView::FindSourceBlock(const std::vector<const DiagramBlock*>& blocks,
                                                const DiagramBlock& block, std::int32_t channel)
{
    for (std::int32_t stage = block.stage - 1; stage >= 0; --stage) {
        for (const DiagramBlock* candidate : blocks) {
            if (candidate->stage < stage) {
                continue;
            }
            // Blocks come in stage order: the first of a higher stage ends this stage's scan.
            if (candidate->stage > stage) {
                break;
            }
            if (candidate->IsHitTestable() && channel >= candidate->channel &&
                channel < candidate->channel + candidate->outputCount) {
                return candidate;
            }
        }
    }
    return nullptr;
}

void CBlockView::OnDraw(platform::Canvas& dc)
{
    const QFont previous = dc.SelectFont(TextFont());
    PaintDiagram(dc);
    DrawConnections(dc);
    dc.SelectFont(previous);
}

void CBlockView::paintEvent(QPaintEvent* event)
{
    // Only what was invalidated is drawn again into the back buffer; the rest stays.
    QRect area = event->rect().intersected(rect());
    if (backBuffer_.size() != size()) {
        backBuffer_ = QImage(size(), QImage::Format_RGB32);
        area = rect();
    }
    if (!backBuffer_.isNull() && !area.isEmpty()) {
        platform::Canvas dc(backBuffer_);
        dc.SetClipRect(platform::Rect::FromQRect(area));
        OnDraw(dc);
    }
    QPainter painter(this);
    painter.drawImage(area, backBuffer_, area);
}

void CBlockView::PaintDiagram(platform::Canvas& dc)
{
    dc.DrawImage(0, 0, BackgroundImage());
    const platform::Pen previous = dc.SelectPen(platform::SolidPen(kLineColour));
    PaintGroupFrames(dc);
    if (const CCorvantEditorDoc* document = GetDocument()) {
        // Every selection look goes down before any block: a grouped block's look spans its
        // whole group and would otherwise paint over the group's earlier blocks.
        for (const auto& block : document->Blocks()) {
            if (block->IsHitTestable() && block->selected != 0) {
                PaintSelectionLook(dc, *block);
            }
        }
        for (const auto& block : document->Blocks()) {
            if (block->IsHitTestable()) {
                PaintBlock(dc, *block);
            }
        }
    }
    dc.SelectPen(previous);
}

void CBlockView::PaintGroupFrames(platform::Canvas& dc) const
{
    const CCorvantEditorDoc* document = GetDocument();
    if (document == nullptr) {
        return;
    }
    // In order of first appearance.
    std::vector<std::pair<std::uint32_t, ::Rect>> frames;
    for (const auto& block : document->Blocks()) {
        std::uint32_t group = 0;
        if (!block->IsHitTestable() || !block->GetFlagNibble24(group)) {
            continue;
        }
        const ::Rect both = UnionRect(block->bodyRect, block->pinRect);
        auto found = std::find_if(frames.begin(), frames.end(), [group](const auto& frame) { return frame.first == group; });
        if (found == frames.end()) {
            frames.emplace_back(group, both);
        } else {
            found->second = UnionRect(found->second, both);
        }
    }
    for (const auto& [group, frame] : frames) {
        dc.FillSolidRect(ToCanvas(frame).Inflated(kGroupMarginX, kGroupMarginY), kGroupFrameColour);
    }
}

void CBlockView::PaintSelectionLook(platform::Canvas& dc, const DiagramBlock& block) const
{
    const platform::Rect selection = ToCanvas(block.selRect);
    if (block.GetFlagBit16()) {
        const platform::Pen pen = dc.SelectPen(platform::SolidPen(kSelectedFrameColour, 2));
        const platform::Brush brush = dc.SelectBrush(platform::StockBrush::kHollow);
        dc.Rectangle(selection.Deflated(1, 1));
        dc.SelectBrush(brush);
        dc.SelectPen(pen);
    } else {
        FillGradient(&dc, selection, kSelectedBottomColour, kSelectedTopColour, true);
        dc.FrameRect(selection, platform::StockBrush::kGrey);
    }
}

void CBlockView::PaintBlock(platform::Canvas& dc, const DiagramBlock& block) const
{
    const platform::Rect body = ToCanvas(block.bodyRect);
    const platform::Rect pins = ToCanvas(block.pinRect);
    if (block.selected != 0) {
        FillGradientMirroredH(&dc, pins, block.colourD, block.colourE);
        FillGradientMirroredH(&dc, body, block.colourA, block.colourB);
    } else {
        dc.FillSolidRect(pins, block.colourD);
        dc.FillSolidRect(body, block.colourA);
    }
    dc.FrameRect(ToCanvas(UnionRect(block.bodyRect, block.pinRect)), platform::StockBrush::kGrey);
    dc.FrameRect(body, platform::StockBrush::kGrey);

    const platform::BackgroundMode mode = dc.SetBkMode(platform::BackgroundMode::Transparent);
    const platform::ColorRef colour = dc.SetTextColor(block.colourC);
    platform::Rect nameArea = body;
    dc.DrawText(QString::fromStdU16String(block.name), nameArea, kSingleLine | kCenter | kVCenter);
    dc.SetTextColor(kLabelColour);
    platform::Rect labelArea = pins;
    dc.DrawText(QString::fromStdU16String(block.label2), labelArea, kSingleLine | kCenter | kVCenter);
    DrawInputPins(dc, block);
    DrawOutputPins(dc, block);
    dc.SetTextColor(colour);
    dc.SetBkMode(mode);
}

void CBlockView::DrawInputPins(platform::Canvas& dc, const DiagramBlock& block) const
{
    const ::Rect& pins = block.pinRect;
    platform::Rect row{pins.left + kPinTextInset, pins.top, (pins.left + pins.right) / 2, pins.top + block.pinPitch};
    const int left = pins.left;
    for (int i = 1; i <= block.inputCount; ++i) {
        if (block.inputCount >= 2) {
            platform::Rect labelArea = row;
            dc.DrawText(PinLabel(i, block.GetFlagBit0()), labelArea, kLeft | kSingleLine);
        }
        const int y = row.top + kPinMarkY;
        if (block.GetFlagBit12()) {
            // The input stub only marks its point; nothing is drawn there.
            dc.MoveTo(left - kPinMarkLength, y);
        }
        const std::array<QPoint, 3> arrow = {QPoint(left - kPinMarkLength, y - kPinMarkHalfHeight), QPoint(left, y),
                                             QPoint(left - kPinMarkLength, y + kPinMarkHalfHeight)};
        const platform::Brush brush = dc.SelectBrush(platform::StockBrush::kWhite);
        dc.Polygon(arrow);
        dc.SelectBrush(brush);
        row = row.Offset(0, block.pinPitch);
    }
}

void CBlockView::DrawOutputPins(platform::Canvas& dc, const DiagramBlock& block) const
{
    const ::Rect& pins = block.pinRect;
    platform::Rect row{(pins.left + pins.right) / 2, pins.top, pins.right - kPinTextInset, pins.top + block.pinPitch};
    const int right = pins.right;
    for (int i = 1; i <= block.outputCount; ++i) {
        if (block.outputCount >= 2) {
            platform::Rect labelArea = row;
            dc.DrawText(PinLabel(i, block.GetFlagBit1()), labelArea, kRight | kSingleLine);
        }
        const int y = row.top + kPinMarkY;
        if (block.polarityMark == 0) {
            const std::array<QPoint, 3> arrow = {QPoint(right, y - kPinMarkHalfHeight),
                                                 QPoint(right + kPinMarkLength, y),
                                                 QPoint(right, y + kPinMarkHalfHeight)};
            const platform::Brush brush = dc.SelectBrush(platform::StockBrush::kWhite);
            dc.Polygon(arrow);
            dc.SelectBrush(brush);
        } else {
            const platform::Brush brush = dc.SelectBrush(platform::StockBrush::kHollow);
            dc.Ellipse(platform::Rect{right, y - kPinMarkHalfHeight, right + kPinMarkLength, y + kPinMarkHalfHeight});
            dc.SelectBrush(brush);
        }
        row = row.Offset(0, block.pinPitch);
    }
}

void CBlockView::DrawConnections(platform::Canvas& dc) const
{
    const std::vector<const DiagramBlock*> blocks = ConstBlocks();
    const platform::Pen previous = dc.SelectPen(platform::SolidPen(kLineColour));
    for (const DiagramBlock* block : blocks) {
        for (std::int32_t i = 0; i < block->inputCount; ++i) {
            const std::int32_t channel = block->channel + i;
            const DiagramBlock* source = FindSourceBlock(blocks, *block, channel);
            if (source == nullptr) {
                continue;
            }
            dc.MoveTo(source->pinRect.right + kPinMarkLength,
                      source->pinRect.top + kPinMarkY + (channel - source->channel) * source->pinPitch);
            dc.LineTo(block->pinRect.left - kPinMarkLength, block->pinRect.top + kPinMarkY + i * block->pinPitch);
        }
    }
    dc.SelectPen(previous);
}

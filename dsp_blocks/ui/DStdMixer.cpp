#include "dsp_blocks/ui/DStdMixer.h"

#include <algorithm>

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QString>

#include "dsp_blocks/ui/CrossPointButton.h"
#include "dsp_blocks/ui/WindowHelpers.h"
#include "platform/base/Cp1252.h"
#include "platform/ui/core/MessageBox.h"
#include "platform/ui/drawing/Canvas.h"
#include "resources/strings/StringFormat.h"
#include "resources/templates/StdMixerPanelTemplate.h"

namespace {

using namespace StdMixerPanelIds;
using Cell = DStdMixer::Cell;

constexpr Cell kAllCells[] = {
    {kCrossPoints[0][0], 0, 0}, {kCrossPoints[0][1], 0, 1}, {kCrossPoints[0][2], 0, 2}, {kCrossPoints[0][3], 0, 3},
    {kCrossPoints[1][0], 1, 0}, {kCrossPoints[1][1], 1, 1}, {kCrossPoints[1][2], 1, 2}, {kCrossPoints[1][3], 1, 3},
    {kCrossPoints[2][0], 2, 0}, {kCrossPoints[2][1], 2, 1}, {kCrossPoints[2][2], 2, 2}, {kCrossPoints[2][3], 2, 3},
    {kCrossPoints[3][0], 3, 0}, {kCrossPoints[3][1], 3, 1}, {kCrossPoints[3][2], 3, 2}, {kCrossPoints[3][3], 3, 3},
};
constexpr Cell kTwoChannelCells[] = {
    {kCrossPoints[0][0], 0, 0},
    {kCrossPoints[0][1], 0, 1},
    {kCrossPoints[1][0], 1, 0},
    {kCrossPoints[1][1], 1, 1},
};

constexpr std::uint32_t kTwoChannels = 2;

void PaintStatic(QWidget* control, platform::ColorRef back)
{
    if (control == nullptr) {
        return;
    }
    QPalette palette = control->palette();
    palette.setColor(QPalette::Window, platform::ToQColor(back));
    palette.setColor(QPalette::WindowText, platform::ToQColor(0x000000));
    control->setPalette(palette);
    control->setAutoFillBackground(true);
}

}  // namespace

DStdMixer::DStdMixer(IPanelSite& site, CStdMixerController& controller)
    : DBlockPanel(kStdMixerPanelTemplate, site, controller),
      channels_(std::min<std::uint32_t>(controller.GetActiveChannelCount(), kSize)),
      controller_(controller)
{
}

DStdMixer::~DStdMixer() = default;

std::span<const Cell> DStdMixer::Table() const
{
    if (ActiveChannelCount() == kTwoChannels) {
        return kTwoChannelCells;
    }
    return kAllCells;
}

bool DStdMixer::OnInitDialog()
{
    DBlockPanel::OnInitDialog();
    ColourStatics();
    FitToExtent();
    for (const Cell& cell : Table()) {
        ReplaceItem(cell.id, new CrossPointButton());
    }
    ReadController();
    FillControls();
    initialised_ = 1;
    return true;
}

void DStdMixer::ColourStatics()
{
    PaintStatic(Item(kInputCaption), kInputColour);
    PaintStatic(Item(kOutputCaption), kOutputColour);
    for (std::size_t i = 0; i < kSize; ++i) {
        PaintStatic(Item(kInputNumbers[i]), kInputColour);
        PaintStatic(Item(kOutputNumbers[i]), kOutputColour);
    }
    for (const auto& ids : {kInputLabels, kOutputLabels}) {
        for (std::int32_t id : ids) {
            if (QWidget* edit = Item(id)) {
                QPalette palette = edit->palette();
                palette.setColor(QPalette::Disabled, QPalette::Base, platform::ToQColor(kLabelBackColour));
                palette.setColor(QPalette::Disabled, QPalette::Text, platform::ToQColor(kLabelTextColour));
                edit->setPalette(palette);
            }
        }
    }
}

void DStdMixer::FitToExtent()
{
    int usedRight = 0;
    int usedBottom = 0;
    for (const Cell& cell : Table()) {
        if (const QWidget* button = Item(cell.id)) {
            usedRight = std::max(usedRight, RightOf(*button));
            usedBottom = std::max(usedBottom, BottomOf(*button));
        }
    }
    int gridRight = 0;
    int gridBottom = 0;
    for (const Cell& cell : kAllCells) {
        if (const QWidget* button = Item(cell.id)) {
            gridRight = std::max(gridRight, RightOf(*button));
            gridBottom = std::max(gridBottom, BottomOf(*button));
        }
    }
    extent_ = QPoint(usedRight + kExtentMarginX, usedBottom + kExtentMarginY);
    for (QObject* object : children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child == nullptr || child->isWindow()) {
            continue;
        }
        if (child->x() >= extent_.x() || child->y() >= extent_.y()) {
            child->hide();
        } else if (RightOf(*child) > extent_.x() || BottomOf(*child) > extent_.y()) {
            child->resize(std::min(RightOf(*child), extent_.x()) - child->x(),
                          std::min(BottomOf(*child), extent_.y()) - child->y());
        }
    }
    GrowWindowBy(*this, extent_.x() - gridRight, extent_.y() - gridBottom);
}

void DStdMixer::ReadController()
{
    const std::size_t n = ActiveChannelCount();
    for (std::size_t i = 0; i < n; ++i) {
        inputLabels_[i] = controller_.GetLabel(false, i);
        outputLabels_[i] = controller_.GetLabel(true, i);
    }
    for (std::size_t row = 0; row < n; ++row) {
        for (std::size_t column = 0; column < n; ++column) {
            crossPoints_[row * kSize + column] = controller_.GetCrossPoint(row, column);
        }
    }
}

void DStdMixer::FillControls()
{
    const std::size_t n = ActiveChannelCount();
    for (std::size_t i = 0; i < n; ++i) {
        SetDlgItemTextByCode(this, kInputLabels[i], platform::Utf16ToUtf8(inputLabels_[i]));
        SetDlgItemTextByCode(this, kOutputLabels[i], platform::Utf16ToUtf8(outputLabels_[i]));
    }
    for (const Cell& cell : Table()) {
        if (CrossPointButton* button = Button(cell.row, cell.column)) {
            const CrossPoint& crossPoint = ShownCrossPoint(cell.row, cell.column);
            button->SetCrossPoint(crossPoint.on != 0, crossPoint.gain);
            button->repaint();
        }
    }
}

void DStdMixer::Refresh()
{
    ReadController();
    FillControls();
}

CrossPointButton* DStdMixer::Button(std::size_t row, std::size_t column) const
{
    for (const Cell& cell : Table()) {
        if (cell.row == row && cell.column == column) {
            return ItemAs<CrossPointButton>(cell.id);
        }
    }
    return nullptr;
}

const CrossPoint& DStdMixer::ShownCrossPoint(std::size_t row, std::size_t column) const
{
    return crossPoints_.at(row * kSize + column);
}

const std::u16string& DStdMixer::ShownLabel(bool isOutput, std::size_t index) const
{
    return isOutput ? outputLabels_.at(index) : inputLabels_.at(index);
}

void DStdMixer::OnCommand(std::int32_t id)
{
    for (const Cell& cell : Table()) {
        if (cell.id == id) {
            OnCrossPointClicked(cell);
            return;
        }
    }
    DBlockPanel::OnCommand(id);
}

void DStdMixer::OnCrossPointClicked(const Cell& cell)
{
    CrossPointButton* button = ItemAs<CrossPointButton>(cell.id);
    if (button == nullptr || IsClosing()) {
        return;
    }
    const std::size_t n = ActiveChannelCount();
    CrossPoint& shown = crossPoints_[cell.row * kSize + cell.column];
    if (cell.row >= n || cell.column >= n) {
        // A cross point the amplifier does not have: the button goes back to what is kept.
        button->SetCrossPoint(shown.on != 0, shown.gain);
        return;
    }
    shown = CrossPoint{static_cast<std::uint8_t>(button->IsOn() ? 1 : 0), button->Gain()};
    MarkModified();
    CheckControllerResult(controller_.SetCrossPoint(cell.row, cell.column, shown));
}

void DStdMixer::OnEditChanged(std::int32_t id)
{
    DBlockPanel::OnEditChanged(id);
    // The panel's own filling is no edit of the user's.
    if (initialised_ == 0 || IsTextChangeByCode() || IsClosing()) {
        return;
    }
    for (std::size_t i = 0; i < kSize; ++i) {
        if (id == kInputLabels[i]) {
            OnLabelChanged(false, i, id);
            return;
        }
        if (id == kOutputLabels[i]) {
            OnLabelChanged(true, i, id);
            return;
        }
    }
}

void DStdMixer::OnLabelChanged(bool isOutput, std::size_t index, std::int32_t editId)
{
    auto* edit = ItemAs<QLineEdit>(editId);
    if (edit == nullptr || index >= ActiveChannelCount()) {
        return;
    }
    std::u16string& stored = isOutput ? outputLabels_[index] : inputLabels_[index];
    const std::u16string text = edit->text().toStdU16String();
    // A notice for the text already kept changes nothing (and marks nothing modified).
    if (text == stored) {
        return;
    }
    if (text.size() <= kMaxLabelLength) {
        stored = text;
        MarkModified();
        CheckControllerResult(controller_.SetLabel(isOutput, index, stored.c_str()));
        return;
    }
    const bool selected = edit->hasSelectedText();
    const int selectionStart = edit->selectionStart();
    const int selectionLength = static_cast<int>(edit->selectedText().size());
    const int cursor = edit->cursorPosition();
    SetDlgItemTextByCode(this, editId, platform::Utf16ToUtf8(stored));
    const int length = static_cast<int>(edit->text().size());
    if (selected) {
        const int start = std::min(selectionStart, length);
        edit->setSelection(start, std::min(selectionLength, length - start));
    } else {
        edit->setCursorPosition(std::min(cursor, length));
    }
    platform::MessageBoxText(FormatString(kLabelTooLongText, static_cast<unsigned>(kMaxLabelLength)),
                             platform::MessageIcon::Information);
}

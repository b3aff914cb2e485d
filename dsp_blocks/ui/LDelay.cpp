#include "dsp_blocks/ui/LDelay.h"

#include <algorithm>
#include <string>

#include <QComboBox>
#include <QFrame>

#include "dsp_blocks/blocks/LDelayDialogController.h"
#include "dsp_blocks/ui/DelayUnit.h"
#include "dsp_blocks/ui/LDelayGraphView.h"
#include "dsp_blocks/ui/LDelayTime.h"
#include "dsp_blocks/ui/WindowHelpers.h"
#include "platform/messages/ProgramMessages.h"
#include "resources/strings/StringTable.h"
#include "resources/templates/DelayPanelTemplate.h"

namespace {

using namespace DelayPanelIds;

// Where a child lies against one coordinate of the split point.
enum class Side { Before, Across, After };

Side Classify(int start, int end, int split)
{
    if (end < split) {
        return Side::Before;
    }
    return start < split ? Side::Across : Side::After;
}

}  // namespace

LDelay::LDelay(IPanelSite& site, LDelayDialogController& controller)
    : DBlockPanel(kDelayPanelTemplate, site, controller), controller_(controller), unit_(controller.GetUnit())
{
}

LDelay::~LDelay() = default;

bool LDelay::OnInitDialog()
{
    DBlockPanel::OnInitDialog();
    LayOutRows();
    if (auto* units = ItemAs<QComboBox>(kUnits)) {
        for (const DelayUnit& unit : DelayUnits()) {
            units->addItem(QString::fromStdString(LoadStringId(unit.listTextId)));
        }
    }
    ShowUnit();
    PlaceGraph();
    RefreshGraph();
    return true;
}

void LDelay::LayOutRows()
{
    const std::size_t count = std::min(controller_.GetCount(), kMaxRows);
    rows_.assign(count, nullptr);
    shownOnGraph_.assign(count, ShownOnGraph{});
    QWidget* lastFrame = count > 0 ? Item(kRowFrames[count - 1]) : nullptr;
    // The split point comes from the template's layout, before any frame takes its row.
    const QPoint split = lastFrame != nullptr
                             ? QPoint(RightOf(*lastFrame) + kSplitMargin, BottomOf(*lastFrame) + kSplitMargin)
                             : QPoint();
    int dx = 0;
    for (std::size_t i = 0; i < kMaxRows; ++i) {
        if (i >= count) {
            ShowItem(kRowFrames[i], false);
            continue;
        }
        auto* row = new LDelayTime(static_cast<std::uint32_t>(i), controller_.GetDelay(i), unit_);
        if (!row->Create(this)) {
            delete row;
            continue;
        }
        const EmbedResult embedded =
            EmbedChildDialog(*this, kRowFrames[i], *row, [row](const std::string& title) { row->SetTitleText(title); });
        rows_[i] = row;
        if (i + 1 == count) {
            dx = -embedded.widthShrink;
        }
    }
    const QWidget* lowestFrame = Item(kRowFrames.back());
    if (lastFrame == nullptr || lowestFrame == nullptr) {
        return;
    }
    const int dy = count == kMaxRows ? 0 : BottomOf(*lastFrame) - BottomOf(*lowestFrame);
    for (QObject* object : children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child == nullptr || child->isWindow()) {
            continue;
        }
        const Side across = Classify(child->x(), RightOf(*child), split.x());
        const Side down = Classify(child->y(), BottomOf(*child), split.y());
        QRect geometry = child->geometry();
        if (across == Side::Across) {
            geometry.setWidth(geometry.width() + dx);
        } else if (across == Side::After) {
            geometry.translate(dx, 0);
        }
        if (down == Side::Across) {
            geometry.setHeight(geometry.height() + dy);
        } else if (down == Side::After) {
            geometry.translate(0, dy);
        }
        child->setGeometry(geometry);
    }
    GrowWindowBy(*this, dx, dy);
}

void LDelay::PlaceGraph()
{
    graph_ = new LDelayGraphView(this, rows_.size());
    if (const auto* frame = qobject_cast<const QFrame*>(Item(kGraphFrame))) {
        PlaceInFrame(*this, *graph_, kGraphFrame, frame->frameWidth(), frame->frameWidth());
    }
    graph_->raise();
    graph_->show();
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (const LDelayTime* row = rows_[i]) {
            const QPoint track = row->mapTo(this, QPoint(0, row->GetTrackY()));
            graph_->SetRowY(i, graph_->mapFrom(this, track).y());
        }
    }
}

LDelayTime* LDelay::Row(std::size_t index) const
{
    return index < rows_.size() ? rows_[index] : nullptr;
}

void LDelay::RefreshGraph()
{
    if (graph_ == nullptr) {
        return;
    }
    const DelayUnit& unit = FindDelayUnit(unit_);
    graph_->SetScale(unit, 0.0f, unit.graphMaximum, 0.0f);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (const LDelayTime* row = rows_[i]) {
            const float shown = row->Delay() * unit.factor;
            graph_->SetValue(i, shown);
            shownOnGraph_[i] = ShownOnGraph{shown, row->Delay()};
        }
    }
}

void LDelay::ShowUnit()
{
    auto* units = ItemAs<QComboBox>(kUnits);
    if (units == nullptr) {
        return;
    }
    const DelayUnit& shown = FindDelayUnit(unit_);
    const auto table = DelayUnits();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].code == shown.code) {
            units->setCurrentIndex(static_cast<int>(i));
        }
    }
}

void LDelay::TakeControllerUnit()
{
    if (controller_.GetUnit() == unit_) {
        return;
    }
    unit_ = controller_.GetUnit();
    ShowUnit();
    for (LDelayTime* row : rows_) {
        if (row != nullptr) {
            row->SetUnit(unit_);
        }
    }
}

void LDelay::Refresh()
{
    TakeControllerUnit();
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i] != nullptr) {
            rows_[i]->SetValue(controller_.GetDelay(i));
        }
    }
    RefreshGraph();
}

void LDelay::RefreshRow(std::size_t index)
{
    LDelayTime* row = Row(index);
    if (row == nullptr) {
        return;
    }
    TakeControllerUnit();
    row->SetValue(controller_.GetDelay(index));
    RefreshGraph();
}

void LDelay::OnChanged(std::uintptr_t code, std::size_t index)
{
    LDelayTime* row = Row(index);
    if (code > kRowTracking || row == nullptr) {
        return;
    }
    if (code == kGraphReleased || code == kGraphDragging) {
        if (graph_ == nullptr) {
            return;
        }
        const float shown = graph_->GetValue(index);
        const ShownOnGraph& before = shownOnGraph_[index];
        const float delay =
            shown == before.graphValue ? before.delayMs : DisplayToGridMilliseconds(FindDelayUnit(unit_), shown);
        CheckControllerResult(controller_.SetDelay(index, delay, code == kGraphDragging));
        MarkModified();
        row->SetValue(delay);
        return;
    }
    CheckControllerResult(controller_.SetDelay(index, row->Delay(), code == kRowTracking));
    MarkModified();
    RefreshGraph();
}

void LDelay::OnComboSelChange(std::int32_t id)
{
    auto* units = ItemAs<QComboBox>(kUnits);
    if (id != kUnits || units == nullptr) {
        return;
    }
    const int index = units->currentIndex();
    const auto table = DelayUnits();
    if (index < 0 || static_cast<std::size_t>(index) >= table.size()) {
        return;
    }
    const std::uint32_t chosen = table[static_cast<std::size_t>(index)].code;
    if (chosen == unit_) {
        return;
    }
    unit_ = chosen;
    CheckControllerResult(controller_.ChangeUnit(unit_));
    MarkModified();
    for (LDelayTime* row : rows_) {
        if (row != nullptr) {
            row->SetUnit(unit_);
        }
    }
    RefreshGraph();
}

void LDelay::OnOK()
{
    ReflectReturnToFocus();
}

std::intptr_t LDelay::OnMessage(platform::MessageId message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (message == platform::MsgNotifyChanged() && !IsClosing() && lParam >= 0) {
        OnChanged(wParam, static_cast<std::size_t>(lParam));
    }
    return 0;
}

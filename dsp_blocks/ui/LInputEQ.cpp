#include "dsp_blocks/ui/LInputEQ.h"

#include <QPainter>

#include "dsp_blocks/blocks/LInputEQController.h"
#include "dsp_blocks/blocks/ParamRanges.h"
#include "dsp_blocks/ui/GradientFills.h"
#include "dsp_blocks/ui/LBiquadBPFDialogView.h"
#include "dsp_blocks/ui/PanelSite.h"
#include "dsp_blocks/ui/VParametricFreqGraphView.h"
#include "dsp_blocks/ui/WindowHelpers.h"
#include "platform/messages/ProgramMessages.h"
#include "resources/strings/StringIds.h"
#include "resources/strings/StringTable.h"
#include "resources/templates/BandRowTemplate.h"
#include "resources/templates/InputEqPanelTemplate.h"

using namespace InputEqPanelIds;

LInputEQ::LInputEQ(IPanelSite& site, LInputEQController& controller, std::int32_t channel)
    : DParametricEQ(kInputEqPanelTemplate, site, controller),
      eqMode_(static_cast<std::int32_t>(controller.GetEqMode())),
      controller_(controller),
      channel_(channel),
      widthIsQ_(controller.GetWidthIsQ() != 0)
{
}

LInputEQ::~LInputEQ() = default;

bool LInputEQ::OnInitDialog()
{
    DParametricEQ::OnInitDialog();
    RemoveBypassAll();
    const EqBand* bands = nullptr;
    controller_.GetBands(bands);
    for (std::size_t i = 0; i < kRowCount; ++i) {
        auto* row = new LBiquadBPFDialogView(static_cast<std::uint32_t>(eqMode_), widthIsQ_,
                                             static_cast<std::uint32_t>(i), bands[i]);
        if (!row->Create(this)) {
            delete row;
            continue;
        }
        EmbedChildDialog(*this, kBandFrames[i], *row, [row](const std::string& title) { row->SetTitle(title); });
        rows_[i] = row;
    }
    PlaceCaptions();
    graph_ = new VParametricFreqGraphView(this);
    PlaceInFrame(*this, *graph_, kGraphFrame, kGraphInsetX, kGraphInsetY);
    graph_->show();
    RefreshGraph();
    SetRadios();
    ShowWidthUnit(widthIsQ_);
    ModeLayout();
    return true;
}

void LInputEQ::RemoveBypassAll()
{
    QWidget* bypass = Item(kBypassAll);
    if (bypass == nullptr) {
        return;
    }
    const int stripTop = bypass->y();
    const int strip = bypass->height();
    for (QWidget* child : Items()) {
        if (child != nullptr && child->y() + child->height() > stripTop) {
            child->resize(child->width(), std::max(0, child->height() - strip));
        }
    }
    bypass->setEnabled(false);
    resize(width(), height() - strip);
}

void LInputEQ::PlaceCaptions()
{
    QWidget* caption = Item(kFrequencyCaption);
    if (caption == nullptr) {
        return;
    }
    graphicCaptionTop_ = caption->y();
    parametricCaptionTop_ = caption->y();
    for (LBiquadBPFDialogView* row : rows_) {
        if (row == nullptr) {
            continue;
        }
        // The tops the template gives, whichever mode the row shows now.
        const QWidget* edit = row->Item(BandRowIds::kFrequency);
        const QWidget* list = row->Item(BandRowIds::kType);
        if (edit != nullptr) {
            const int centre = row->mapTo(this, QPoint(0, row->FrequencyEditTop() + edit->height() / 2)).y();
            parametricCaptionTop_ = centre - caption->height() / 2;
        }
        if (list != nullptr) {
            const int centre = row->mapTo(this, QPoint(0, row->TypeListTop() + list->height() / 2)).y();
            graphicCaptionTop_ = centre - caption->height() / 2;
        }
        break;
    }
}

std::int32_t LInputEQ::ModeOfRadios() const
{
    if (ItemCheckState(kParametric) == 1) {
        return kParametricMode;
    }
    if (ItemCheckState(kGraphic) == 1) {
        return kGraphicMode;
    }
    return eqMode_;
}

void LInputEQ::SetRadios()
{
    CheckRadio(kGraphic, kParametric, eqMode_ == kParametricMode ? kParametric : kGraphic);
}

void LInputEQ::ModeLayout()
{
    eqMode_ = ModeOfRadios();
    const bool parametric = eqMode_ == kParametricMode;
    ShowItem(kWidthUnit, parametric);
    ShowItem(kGainCaption, parametric);
    for (LBiquadBPFDialogView* row : rows_) {
        if (row != nullptr) {
            row->SetMode(static_cast<std::uint32_t>(eqMode_));
        }
    }
    if (graph_ != nullptr) {
        graph_->SetMode(static_cast<std::uint32_t>(eqMode_));
    }
    if (QWidget* caption = Item(kFrequencyCaption)) {
        caption->move(caption->x(), parametric ? parametricCaptionTop_ : graphicCaptionTop_);
    }
}

void LInputEQ::ShowWidthUnit(bool isQ)
{
    widthIsQ_ = isQ;
    SetDlgItemTextByCode(this, kWidthUnit, LoadStringId(isQ ? StringId::kWidthAsQ : StringId::kWidthAsBandwidth));
    if (QWidget* button = Item(kWidthUnit)) {
        button->update();
    }
    for (LBiquadBPFDialogView* row : rows_) {
        if (row != nullptr) {
            row->SetWidthUnit(isQ);
        }
    }
}

void LInputEQ::Refresh()
{
    eqMode_ = static_cast<std::int32_t>(controller_.GetEqMode());
    SetRadios();
    ModeLayout();
    ShowWidthUnit(controller_.GetWidthIsQ() != 0);
    const EqBand* bands = nullptr;
    controller_.GetBands(bands);
    for (std::size_t i = 0; i < kRowCount; ++i) {
        if (rows_[i] != nullptr) {
            rows_[i]->SetBand(bands[i], true);
        }
    }
    RefreshGraph();
}

void LInputEQ::RefreshGraph()
{
    if (graph_ == nullptr) {
        return;
    }
    const EqBand* bands = nullptr;
    const BiquadCoefficients* sections = nullptr;
    const std::size_t count = controller_.GetBands(bands);
    controller_.GetSections(sections);
    graph_->SetBands(bands, sections, count);
}

void LInputEQ::OnOK()
{
    ReflectReturnToFocus();
}

void LInputEQ::OnButtonClicked(std::int32_t id)
{
    switch (id) {
    case kGraphic:
    case kParametric:
        OnModeClicked();
        break;
    case kWidthUnit:
        OnWidthUnitClicked();
        break;
    case kZeroAll:
        ZeroAll();
        break;
    default:
        break;
    }
}

void LInputEQ::OnModeClicked()
{
    if (ModeOfRadios() != eqMode_) {
        ModeLayout();
        MarkModified();
        const bool accepted = controller_.SetEqMode(static_cast<std::uint32_t>(eqMode_));
        if (channel_ >= 0 && static_cast<std::size_t>(channel_) < kRememberedChannels) {
            Site().SetInputEqMode(static_cast<std::size_t>(channel_), static_cast<std::uint32_t>(eqMode_));
        }
        CheckControllerResult(accepted);
        // Graphic mode starts from flat bands at their own frequencies.
        if (accepted && eqMode_ == kGraphicMode) {
            ZeroAll();
        }
    }
    for (std::int32_t id : {kGraphic, kParametric}) {
        if (QWidget* radio = Item(id)) {
            radio->update();
        }
    }
}

void LInputEQ::OnWidthUnitClicked()
{
    ShowWidthUnit(!widthIsQ_);
    Site().SetInputEqWidthIsQ(widthIsQ_);
    MarkModified();
    CheckControllerResult(controller_.SetWidthIsQ(widthIsQ_ ? 1 : 0));
}

void LInputEQ::ZeroAll()
{
    MarkModified();
    CheckControllerResult(controller_.ResetBands());
    RefreshGraph();
}

void LInputEQ::OnRowChanged(std::size_t index, bool inProgress)
{
    MarkModified();
    if (index >= kRowCount || rows_[index] == nullptr) {
        return;
    }
    const bool accepted = controller_.SetBand(index, rows_[index]->GetBand(), inProgress);
    RefreshGraph();
    CheckControllerResult(accepted);
}

void LInputEQ::OnGraphDrag(bool done)
{
    if (graph_ == nullptr) {
        return;
    }
    float frequency = 0.0f;
    float gain = 0.0f;
    float q = 0.0f;
    const std::int32_t dragged = graph_->GetDragInfo(frequency, gain, q);
    // A step posted before the drag ended arrives after it: nothing is dragged any more.
    if (dragged < 0 || static_cast<std::size_t>(dragged) >= kRowCount) {
        return;
    }
    const auto index = static_cast<std::size_t>(dragged);
    const EqBand* bands = nullptr;
    controller_.GetBands(bands);
    EqBand band = rows_[index] != nullptr ? rows_[index]->Band() : bands[index];
    band.frequency = frequency;
    band.gain = gain;
    band.q = ParamRange::Clamp(q, ParamRange::kMinQ, ParamRange::kMaxQ, band.q);
    if (rows_[index] != nullptr) {
        rows_[index]->SetBand(band, false);
        band = rows_[index]->GetBand();
    }
    const bool accepted = controller_.SetBand(index, band, !done);
    MarkModified();
    RefreshGraph();
    CheckControllerResult(accepted);
}

std::intptr_t LInputEQ::OnMessage(platform::MessageId message, std::uintptr_t wParam, std::intptr_t lParam)
{
    // A drag ended by the panel's own closing must not reach a controller that may be going.
    if (IsClosing()) {
        return 0;
    }
    if (message == platform::MsgNotifyChanged()) {
        OnRowChanged(static_cast<std::size_t>(wParam), lParam != 0);
    } else if (message == platform::MsgNotifyDragging()) {
        OnGraphDrag(wParam != 0);
    }
    return 0;
}

void LInputEQ::OnDrawItem(std::int32_t id, QPainter& painter, const platform::DrawItemState& state)
{
    if (id != kBypassAll && id != kZeroAll && id != kWidthUnit) {
        return;
    }
    platform::Canvas canvas(painter);
    DrawGradientButton(canvas, state, ItemText(id), kButtonEdge, kButtonCentre, kButtonText);
}

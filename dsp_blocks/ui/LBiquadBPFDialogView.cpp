#include "dsp_blocks/ui/LBiquadBPFDialogView.h"

#include <algorithm>
#include <cmath>

#include <QComboBox>
#include <QLineEdit>

#include "dsp_blocks/ui/BandWidthScale.h"
#include "dsp_blocks/ui/DControl.h"
#include "dsp_blocks/ui/LocaleNumbers.h"
#include "dsp_blocks/ui/WindowHelpers.h"
#include "platform/messages/ProgramMessages.h"
#include "platform/ui/core/ControlIds.h"
#include "platform/ui/core/ControlNotify.h"
#include "platform/ui/core/Trackbar.h"
#include "platform/ui/core/UpDown.h"
#include "resources/templates/BandRowTemplate.h"

namespace {

using namespace BandRowIds;

constexpr std::uint32_t kPeaking = 0;
constexpr std::uint32_t kHighShelf = 1;
constexpr std::uint32_t kLowShelf = 2;
constexpr std::uint32_t kNotch = 3;

// Whole tenths of |value|, toward zero. A typed decimal is held in single precision and may
// lie just below itself (0.7 is 0.69999998...); the allowance, a few units of the last place,
// keeps it from losing a tenth.
double WholeTenths(float value)
{
    const double tenths = std::fabs(static_cast<double>(value)) * 10.0;
    return std::floor(tenths + 1.0e-4 + tenths * 2.4e-7);
}

float CutFrequency(float value)
{
    return static_cast<float>(WholeTenths(value) / 10.0);
}

float CutGain(float value)
{
    const double magnitude = WholeTenths(value) / 10.0;
    return static_cast<float>(value < 0.0f ? -magnitude : magnitude);
}

// trunc(gain x 10), a gain on the tenths grid landing on its own position.
int GainSpinPosition(float gain)
{
    const double tenths = static_cast<double>(gain) * 10.0;
    return static_cast<int>(std::trunc(tenths + std::copysign(1.0e-4, tenths)));
}

bool WidthEnabled(std::uint32_t type)
{
    return type == kPeaking || type == kNotch;
}

bool GainEnabled(std::uint32_t type)
{
    return type == kPeaking || type == kHighShelf || type == kLowShelf;
}

float QOfWidth(const LBiquadBPFDialogView::Width& width)
{
    return width.isQ ? width.value : BandWidthScale::QFromBandwidth(width.value);
}

bool IsTrackbarMove(int code)
{
    using namespace platform::ScrollCode;
    return code == kLineUp || code == kLineDown || code == kPageUp || code == kPageDown || code == kThumbPosition ||
           code == kThumbTrack || code == kEndScroll;
}

}  // namespace

LBiquadBPFDialogView::LBiquadBPFDialogView(std::uint32_t eqMode, bool widthIsQ, std::uint32_t bandIndex,
                                           const EqBand& band)
    : VDialogView(kBandRowTemplate, nullptr),
      bandIndex_(bandIndex),
      type_(band.type),
      eqMode_(eqMode),
      width_{widthIsQ, widthIsQ ? band.q : BandWidthScale::BandwidthFromQ(band.q)},
      frequency_(kFrequencyTimer, band.frequency),
      gain_(kGainTimer, band.gain),
      q_(kWidthTimer, band.q)
{
}

LBiquadBPFDialogView::~LBiquadBPFDialogView() = default;

bool LBiquadBPFDialogView::Create(QWidget* parent)
{
    setParent(parent, Qt::Widget);
    hide();
    return platform::Dialog::Create();
}

std::uint32_t LBiquadBPFDialogView::TypeOfName(const std::string& name)
{
    for (std::size_t i = 0; i < kTypeNames.size(); ++i) {
        if (kTypeNames[i] == name) {
            return static_cast<std::uint32_t>(i);
        }
    }
    return kPeaking;
}

bool LBiquadBPFDialogView::OnInitDialog()
{
    VDialogView::OnInitDialog();
    if (QWidget* bypass = Item(kBypass)) {
        bypass->hide();
        resize(width(), bypass->y());
    }
    if (auto* spin = ItemAs<platform::UpDown>(kFrequencySpin)) {
        const SpinLimits limits = SpinRange(false);
        spin->SetRange32(limits.low, limits.high);
        spin->SetPos32(FrequencyToSliderPosition(kInitialFrequencyPosition));
    }
    if (auto* slider = ItemAs<platform::Trackbar>(kGainSlider)) {
        slider->SetRange(kGainSliderMin, kGainSliderMax);
        slider->SetTicFreq(kGainSliderTicks);
        platform::SetWindowText(slider, "");
    }
    if (auto* spin = ItemAs<platform::UpDown>(kGainSpin)) {
        spin->SetRange32(kGainSpinMin, kGainSpinMax);
        spin->SetPos32(0);
    }
    SetWidthSpinRange();
    if (QWidget* edit = Item(kFrequency)) {
        frequencyTop_ = edit->y();
    }
    if (QWidget* list = Item(kType)) {
        typeTop_ = list->y();
    }
    ShowGain();
    ShowWidth();
    ShowType();
    ShowFrequency();
    Layout();
    created_ = true;
    return true;
}

EqBand LBiquadBPFDialogView::Band() const
{
    return EqBand{type_, frequency_.Value(), q_.Value(), gain_.Value()};
}

void LBiquadBPFDialogView::SetMode(std::uint32_t eqMode)
{
    if (eqMode == eqMode_) {
        return;
    }
    eqMode_ = eqMode;
    Layout();
    repaint();
}

void LBiquadBPFDialogView::SetWidthUnit(bool isQ)
{
    if (isQ == width_.isQ) {
        return;
    }
    width_.value = isQ ? BandWidthScale::QFromBandwidth(width_.value) : BandWidthScale::BandwidthFromQ(width_.value);
    width_.isQ = isQ;
    // The range first: a position is clamped into the range it is set in.
    SetWidthSpinRange();
    ShowWidth();
}

void LBiquadBPFDialogView::SetBand(const EqBand& band, bool relayout)
{
    type_ = band.type;
    frequency_.Reset(band.frequency);
    gain_.Reset(band.gain);
    q_.Reset(band.q);
    width_.value = width_.isQ ? band.q : BandWidthScale::BandwidthFromQ(band.q);
    // What was typed gives way to the band shown.
    SetDirtyEdit(0);
    ShowType();
    ShowFrequency();
    ShowGain();
    ShowWidth();
    if (relayout) {
        Layout();
    }
}

EqBand LBiquadBPFDialogView::GetBand() const
{
    EqBand band = Band();
    const std::int32_t typed = DirtyEdit();
    float value = 0.0f;
    if (typed == kFrequency && ReadTypedFrequency(value)) {
        band.frequency = value;
    } else if (typed == kGain && ReadTypedGain(value)) {
        band.gain = value;
    } else if (typed == kWidth && ReadTypedWidth(value)) {
        band.q = QOfWidth(Width{width_.isQ, value});
    }
    return band;
}

bool LBiquadBPFDialogView::ReadTypedFrequency(float& frequency) const
{
    return ParseValueInRange(ItemText(kFrequency), kLowestFrequency, kHighestFrequency, kValueFormat, frequency) ==
           kValueAccepted;
}

bool LBiquadBPFDialogView::ReadTypedGain(float& gain) const
{
    return ParseValueInRange(ItemText(kGain), kMinGain, kMaxGain, kValueFormat, gain) == kValueAccepted;
}

bool LBiquadBPFDialogView::ReadTypedWidth(float& width) const
{
    const float low = width_.isQ ? BandWidthScale::kMinQ : BandWidthScale::kMinTypedBandwidth;
    const float high = width_.isQ ? BandWidthScale::kMaxTypedQ : BandWidthScale::kMaxTypedBandwidth;
    return ParseValueInRange(ItemText(kWidth), low, high, kWidthFormat, width) == kValueAccepted;
}

void LBiquadBPFDialogView::Layout()
{
    const bool parametric = eqMode_ == kParametricMode;
    for (std::int32_t id : {kType, kWidth, kWidthSpin, kFrequencySpin, kGain, kGainSpin}) {
        ShowItem(id, parametric);
    }
    for (std::int32_t id : {kSliderTopLabel, kGainSlider, kSliderBottomLabel}) {
        ShowItem(id, !parametric);
    }
    EnableItem(kFrequency, parametric);
    const int top = parametric ? frequencyTop_ : typeTop_;
    for (std::int32_t id : {kFrequency, kFrequencySpin}) {
        if (QWidget* control = Item(id)) {
            control->move(control->x(), top);
        }
    }
    const bool width = WidthEnabled(type_);
    const bool gain = GainEnabled(type_);
    EnableItem(kWidth, width);
    EnableItem(kWidthSpin, width);
    EnableItem(kGain, gain);
    EnableItem(kGainSpin, gain);
    for (std::int32_t id : {kWidth, kGain}) {
        if (QWidget* edit = Item(id)) {
            edit->update();
        }
    }
}

void LBiquadBPFDialogView::ShowType()
{
    auto* list = ItemAs<QComboBox>(kType);
    if (list == nullptr) {
        return;
    }
    const std::uint32_t shown = type_ < kTypeNames.size() ? type_ : kPeaking;
    const int index = list->findText(QString::fromUtf8(kTypeNames[shown].data(), static_cast<int>(kTypeNames[shown].size())));
    list->setCurrentIndex(std::max(index, 0));
}

void LBiquadBPFDialogView::ShowFrequency()
{
    SetDlgItemTextByCode(this, kFrequency, FormatLocaleNumber(kValueFormat, frequency_.Value()));
    SetSpinPos(kFrequencySpin, FrequencyToSliderPosition(frequency_.Value()));
}

void LBiquadBPFDialogView::ShowGain()
{
    const float gain = gain_.Value();
    SetDlgItemTextByCode(this, kGain, FormatLocaleNumber(kValueFormat, gain));
    SetSliderPos(kGainSlider, true, gain);
    SetSpinPos(kGainSpin, GainSpinPosition(gain));
}

void LBiquadBPFDialogView::ShowWidth()
{
    SetDlgItemTextByCode(this, kWidth, FormatLocaleNumber(kWidthFormat, width_.value));
    PlaceWidthSpin();
}

void LBiquadBPFDialogView::PlaceWidthSpin()
{
    if (width_.isQ) {
        widthSpinPos_ = BandWidthScale::PositionOfQ(width_.value);
        widthExact_ = BandWidthScale::IsQOnGrid(width_.value, widthSpinPos_);
    } else {
        widthSpinPos_ = BandWidthScale::PositionOfBandwidth(width_.value);
        widthExact_ = BandWidthScale::IsBandwidthOnGrid(width_.value, widthSpinPos_);
    }
    SetSpinPos(kWidthSpin, widthSpinPos_);
}

void LBiquadBPFDialogView::SetWidthSpinRange()
{
    auto* spin = ItemAs<platform::UpDown>(kWidthSpin);
    if (spin == nullptr) {
        return;
    }
    if (width_.isQ) {
        spin->SetRange32(0, BandWidthScale::HighestQPosition());
    } else {
        const BandWidthScale::BandwidthLimits& limits = BandWidthScale::Limits();
        spin->SetRange32(limits.lowestPosition, limits.highestPosition);
    }
}

void LBiquadBPFDialogView::ChangeFrequency(float value, bool tracking)
{
    const PendingStep step = frequency_.Set(CutFrequency(value), tracking);
    if (step.changed) {
        SetSpinPos(kFrequencySpin, FrequencyToSliderPosition(frequency_.Value()));
    }
    NotifyPanel(bandIndex_, step.action);
}

void LBiquadBPFDialogView::ChangeGain(float value, bool tracking)
{
    const PendingStep step = gain_.Set(CutGain(value), tracking);
    if (step.changed) {
        // The edit too: it is what parametric mode shows of a gain set with the slider.
        ShowGain();
    }
    NotifyPanel(bandIndex_, step.action);
}

float LBiquadBPFDialogView::QOfShownWidth() const
{
    const float q = QOfWidth(width_);
    // A width that says the same Q as the band's is no change.
    return std::fabs(q - q_.Value()) <= BandWidthScale::kSameWidth ? q_.Value() : q;
}

void LBiquadBPFDialogView::ChangeWidth(Width shown, bool tracking)
{
    width_ = shown;
    PlaceWidthSpin();
    NotifyPanel(bandIndex_, q_.Set(QOfShownWidth(), tracking).action);
}

void LBiquadBPFDialogView::OnEditChanged(std::int32_t id)
{
    if (created_ && !IsTextChangeByCode() && (id == kFrequency || id == kGain || id == kWidth)) {
        SetDirtyEdit(id);
    }
}

void LBiquadBPFDialogView::OnEditKillFocus(std::int32_t id)
{
    if (id == DirtyEdit()) {
        CommitEdit(id);
    }
}

void LBiquadBPFDialogView::CommitEdit(std::int32_t id)
{
    SetDirtyEdit(0);
    float value = 0.0f;
    switch (id) {
    case kFrequency:
        if (ReadTypedFrequency(value)) {
            ChangeFrequency(value, false);
        }
        ShowFrequency();
        break;
    case kGain:
        if (ReadTypedGain(value)) {
            ChangeGain(value, false);
        }
        ShowGain();
        break;
    case kWidth:
        if (ReadTypedWidth(value)) {
            ChangeWidth(Width{width_.isQ, value}, false);
        }
        ShowWidth();
        break;
    default:
        break;
    }
}

void LBiquadBPFDialogView::OnComboSelChange(std::int32_t id)
{
    auto* list = ItemAs<QComboBox>(kType);
    if (id != kType || list == nullptr) {
        return;
    }
    const std::uint32_t type = TypeOfName(list->currentText().toStdString());
    if (type == type_) {
        return;
    }
    type_ = type;
    Layout();
    NotifyPanel(bandIndex_, PendingAction::Send);
}

void LBiquadBPFDialogView::OnSpinScroll(std::int32_t id, int code, int position)
{
    using namespace platform::ScrollCode;
    if (code != kThumbPosition && code != kEndScroll) {
        return;
    }
    switch (id) {
    case kFrequencySpin: {
        const PendingStep step = frequency_.OnSpin(*this, code, CutFrequency(SliderPositionToFrequency(position)));
        ShowFrequency();
        NotifyPanel(bandIndex_, step.action);
        break;
    }
    case kGainSpin: {
        const PendingStep step = gain_.OnSpin(*this, code, CutGain(static_cast<float>(position * 0.1)));
        ShowGain();
        NotifyPanel(bandIndex_, step.action);
        break;
    }
    case kWidthSpin: {
        // The first step down from a width between two positions lands on the one below it.
        if (!widthExact_ && position == widthSpinPos_ - 1) {
            position = widthSpinPos_;
            SetSpinPos(kWidthSpin, position);
            widthExact_ = true;
        }
        const float stepped = width_.isQ ? BandWidthScale::QOfPosition(position)
                                         : BandWidthScale::BandwidthOfPosition(position);
        width_.value = BandWidthScale::RoundToThousandth(stepped);
        SetDlgItemTextByCode(this, kWidth, FormatLocaleNumber(kWidthFormat, width_.value));
        PlaceWidthSpin();
        NotifyPanel(bandIndex_, q_.OnSpin(*this, code, QOfShownWidth()).action);
        break;
    }
    default:
        break;
    }
}

void LBiquadBPFDialogView::OnTrackbarScroll(std::int32_t id, int code, int position)
{
    auto* slider = ItemAs<platform::Trackbar>(kGainSlider);
    if (id != kGainSlider || slider == nullptr || !IsTrackbarMove(code)) {
        return;
    }
    const int reversed = slider->RangeMin() + slider->RangeMax() - position;
    ChangeGain(static_cast<float>(reversed), code != platform::ScrollCode::kEndScroll);
}

void LBiquadBPFDialogView::OnTimer(std::uint32_t timerId)
{
    for (PendingValue* value : {&frequency_, &gain_, &q_}) {
        PendingStep step;
        if (value->OnTimer(*this, timerId, step)) {
            NotifyPanel(bandIndex_, step.action);
            return;
        }
    }
}

std::intptr_t LBiquadBPFDialogView::OnMessage(platform::MessageId message, std::uintptr_t, std::intptr_t lParam)
{
    if (message != platform::MsgReflectReturn()) {
        return 0;
    }
    for (std::int32_t id : {kFrequency, kGain, kWidth}) {
        auto* edit = ItemAs<QLineEdit>(id);
        if (edit == nullptr || lParam != reinterpret_cast<std::intptr_t>(edit)) {
            continue;
        }
        if (DirtyEdit() == id) {
            CommitEdit(id);
        }
        edit->selectAll();
        break;
    }
    return 0;
}

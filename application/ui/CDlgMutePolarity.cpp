// The mute polarity chooser.
#include "application/ui/CDlgMutePolarity.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPainter>

#include "platform/ui/core/ControlIds.h"
#include "resources/templates/MutePolarityTemplate.h"

namespace {

constexpr int kChecked = 1;

}  // namespace

CDlgMutePolarity::CDlgMutePolarity(bool normallyOpen, QWidget* parent)
    : platform::Dialog(kMutePolarityTemplate, Kind::Modal, parent),
      normallyOpen_(normallyOpen ? 1 : 0),
      background_(kTopColour, kBottomColour)
{
}

bool CDlgMutePolarity::OnInitDialog()
{
    RefreshRadios();
    ApplyControlBackgrounds();
    return true;
}

void CDlgMutePolarity::RefreshRadios()
{
    CheckRadio(MutePolarityIds::kNormallyOpen, MutePolarityIds::kNormallyClosed,
               normallyOpen_ != 0 ? MutePolarityIds::kNormallyOpen : MutePolarityIds::kNormallyClosed);
}

void CDlgMutePolarity::OnButtonClicked(std::int32_t id)
{
    if (id == MutePolarityIds::kNormallyOpen) {
        normallyOpen_ = ItemCheckState(MutePolarityIds::kNormallyOpen) == kChecked ? 1 : 0;
    } else if (id == MutePolarityIds::kNormallyClosed) {
        normallyOpen_ = ItemCheckState(MutePolarityIds::kNormallyClosed) == kChecked ? 0 : 1;
    } else {
        return;
    }
    RefreshRadios();
}

void CDlgMutePolarity::OnOK()
{
    if (ItemCheckState(MutePolarityIds::kNormallyOpen) == kChecked) {
        normallyOpen_ = 1;
    }
    if (ItemCheckState(MutePolarityIds::kNormallyClosed) == kChecked) {
        normallyOpen_ = 0;
    }
    EndDialog(normallyOpen_ != 0 ? MutePolarityIds::kNormallyOpen : MutePolarityIds::kNormallyClosed);
}

const QBrush& CDlgMutePolarity::BrushFor(const platform::Rect& rect)
{
    for (const auto& [area, brush] : brushes_) {
        if (area == rect) {
            return brush;
        }
    }
    const QImage& image = background_.ImageFor(size());
    brushes_.emplace_back(rect, QBrush(image.copy(rect.ToQRect())));
    return brushes_.back().second;
}

void CDlgMutePolarity::ApplyControlBackgrounds()
{
    for (QWidget* control : Items()) {
        const bool colouredByDialog = qobject_cast<QLabel*>(control) != nullptr || control->inherits("QRadioButton");
        if (!colouredByDialog || platform::WindowText(control).empty()) {
            continue;
        }
        QPalette palette = control->palette();
        palette.setBrush(control->backgroundRole(), BrushFor(platform::Rect::FromQRect(control->geometry())));
        control->setPalette(palette);
        control->setAutoFillBackground(true);
    }
}

void CDlgMutePolarity::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    background_.Paint(painter, size());
}

int AskMutePolarity(bool normallyOpen)
{
    CDlgMutePolarity dialog(normallyOpen);
    return dialog.DoModal();
}

// The writing-parameters notice.
#include "application/ui/DlgWritingParams.h"

#include <QLabel>

#include "application/document/PresentAmplifiers.h"
#include "platform/ui/core/ControlIds.h"
#include "platform/ui/drawing/PngResource.h"
#include "resources/templates/WritingParamsTemplate.h"

namespace {

constexpr std::uint32_t kDotSteps = 4;

}  // namespace

DlgWritingParams::DlgWritingParams(std::function<bool()> isWriting, IAmplifierDirectory& amplifiers, QWidget* parent)
    : platform::Dialog(kWritingParamsTemplate, Kind::Modal, parent),
      isWriting_(std::move(isWriting)),
      amplifiers_(amplifiers)
{
}

bool DlgWritingParams::OnInitDialog()
{
    setWindowIcon(platform::ProgramIcon());
    for (QWidget* item : Items()) {
        if (qobject_cast<QLabel*>(item) != nullptr) {
            dotsText_ = item;
        }
    }
    if (dotsText_ != nullptr) {
        keptText_ = platform::WindowText(dotsText_) + "  ";
    }
    SetTimer(kDotsTimer, kDotsMs);
    SetTimer(kWritingTimer, kWritingMs);
    return true;
}

void DlgWritingParams::OnTimer(std::uint32_t timerId)
{
    if (IsEnded()) {
        return;
    }
    if (timerId == kDotsTimer) {
        counter_ = (counter_ + 1) % kDotSteps;
        if (dotsText_ != nullptr) {
            platform::SetWindowText(dotsText_, keptText_ + std::string(counter_ + 1, '.'));
        }
        return;
    }
    if (timerId != kWritingTimer) {
        platform::Dialog::OnTimer(timerId);
        return;
    }
    if (!isWriting_() || CountPresentAmplifiers(amplifiers_).count == 0) {
        KillTimer(kDotsTimer);
        KillTimer(kWritingTimer);
        EndDialog(DialogId::kOk);
    }
}

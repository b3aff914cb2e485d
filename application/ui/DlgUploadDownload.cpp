// The upload-or-download question.
#include "application/ui/DlgUploadDownload.h"

#include <QLabel>
#include <QPushButton>

#include "application/document/PresentAmplifiers.h"
#include "platform/messages/ProgramMessages.h"
#include "platform/ui/core/ControlIds.h"
#include "platform/ui/drawing/PngResource.h"
#include "resources/templates/UploadDownloadTemplate.h"

namespace {

constexpr int kIconPixels = 32;

}  // namespace

DlgUploadDownload::DlgUploadDownload(IAmplifierDirectory& amplifiers, CobaltDeviceManager::ICobaltAmplifier* amplifier,
                                     QWidget* parent)
    : platform::Dialog(kUploadDownloadTemplate, Kind::Modal, parent), amplifiers_(amplifiers), amplifier_(amplifier)
{
}

bool DlgUploadDownload::OnInitDialog()
{
    const std::vector<QWidget*> items = Items();
    if (!items.empty() && platform::WindowClassName(items.front()) == ControlClass::kStatic &&
        (platform::ControlStyle(items.front()) & StaticStyle::kTypeMask) == StaticStyle::kIcon) {
        if (auto* icon = qobject_cast<QLabel*>(items.front())) {
            icon->setPixmap(platform::ProgramIcon().pixmap(kIconPixels, kIconPixels));
            icon->resize(kIconPixels, kIconPixels);
        }
    }
    for (QWidget* item : items) {
        if (qobject_cast<QPushButton*>(item) != nullptr &&
            (platform::ControlStyle(item) & ButtonStyle::kTypeMask) == ButtonStyle::kDefPushButton) {
            defaultButton_ = item;
            break;
        }
    }
    Messages().Post(platform::MsgForceDefButton());
    SetTimer(kPresenceTimer, kPresenceMs);
    return true;
}

std::intptr_t DlgUploadDownload::OnMessage(platform::MessageId message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (message != platform::MsgForceDefButton()) {
        return platform::Dialog::OnMessage(message, wParam, lParam);
    }
    // As a next-control request with a window: the button takes the focus and the default look.
    if (defaultButton_ && !IsEnded()) {
        defaultButton_->setFocus(Qt::OtherFocusReason);
        SetDefaultButtonId(platform::ControlId(defaultButton_));
    }
    return 0;
}

void DlgUploadDownload::OnTimer(std::uint32_t timerId)
{
    if (timerId != kPresenceTimer || IsEnded()) {
        return;
    }
    if (!CountPresentAmplifiers(amplifiers_).IsOnly(amplifier_)) {
        KillTimer(kPresenceTimer);
        EndDialog(DialogId::kCancel);
    }
}

void DlgUploadDownload::OnButtonClicked(std::int32_t id)
{
    if (id == UploadDownloadIds::kUpload || id == UploadDownloadIds::kDownload) {
        KillTimer(kPresenceTimer);
        EndDialog(id);
    }
}

void DlgUploadDownload::OnCancel() {}

int AskUploadOrDownload(IAmplifierDirectory& amplifiers, CobaltDeviceManager::ICobaltAmplifier* amplifier)
{
    amplifiers.SetScanMode(0, 0);
    int answer = DialogId::kCancel;
    {
        DlgUploadDownload dialog(amplifiers, amplifier);
        answer = dialog.DoModal();
    }
    amplifiers.SetScanMode(1, 0);
    return answer;
}

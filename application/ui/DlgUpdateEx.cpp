// The minimum-version notice.
#include "application/ui/DlgUpdateEx.h"

#include "application/document/AmplifierRef.h"
#include "application/text/FirmwareVersion.h"
#include "platform/ui/core/ControlIds.h"
#include "resources/strings/StringFormat.h"
#include "resources/templates/UpdateExTemplate.h"

DlgUpdateEx::DlgUpdateEx(IAmplifierDirectory& amplifiers, QWidget* parent)
    : platform::Dialog(kUpdateExTemplate, Kind::Modal, parent), amplifiers_(amplifiers)
{
}

bool DlgUpdateEx::OnInitDialog()
{
    const std::vector<QWidget*> items = Items();
    if (!items.empty()) {
        QWidget* notice = items.front();
        platform::SetWindowText(notice, FormatString(platform::WindowText(notice), kMinimumTransferVersion.major,
                                                     kMinimumTransferVersion.minor));
    }
    SetTimer(kPresenceTimer, kPresenceMs);
    return true;
}

void DlgUpdateEx::OnTimer(std::uint32_t timerId)
{
    if (timerId != kPresenceTimer) {
        platform::Dialog::OnTimer(timerId);
        return;
    }
    if (IsEnded()) {
        return;
    }
    CobaltDeviceManager::ICobaltAmplifier* first = nullptr;
    const std::uint32_t count = amplifiers_.ForFirstActiveAmplifier(&first);
    const AmplifierRef held = AmplifierRef::Adopt(count > 0 ? first : nullptr);
    if (count == 0) {
        KillTimer(kPresenceTimer);
        EndDialog(DialogId::kCancel);
    }
}

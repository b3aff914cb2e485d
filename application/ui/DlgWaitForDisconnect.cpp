// The wait-for-disconnect dialog.
#include "application/ui/DlgWaitForDisconnect.h"

#include "application/document/AmplifierRef.h"
#include "resources/templates/WaitForDisconnectTemplate.h"

DlgWaitForDisconnect::DlgWaitForDisconnect(IAmplifierDirectory& amplifiers, QWidget* parent)
    : platform::Dialog(kWaitForDisconnectTemplate, Kind::Modal, parent), amplifiers_(amplifiers)
{
}

bool DlgWaitForDisconnect::OnInitDialog()
{
    SetTimer(kPresenceTimer, kPresenceMs);
    return true;
}

void DlgWaitForDisconnect::OnTimer(std::uint32_t timerId)
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
        EndDialog(DialogId::kOk);
    }
}

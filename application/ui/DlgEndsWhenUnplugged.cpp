// The presence check shared by the notices that close once the amplifier is unplugged.
#include "application/ui/DlgEndsWhenUnplugged.h"

#include "application/document/PresentAmplifiers.h"

DlgEndsWhenUnplugged::DlgEndsWhenUnplugged(const DialogTemplate& dialogTemplate, IAmplifierDirectory& amplifiers,
                                           std::uint32_t periodMs, int codeWhenGone, QWidget* parent)
    : platform::Dialog(dialogTemplate, Kind::Modal, parent),
      amplifiers_(amplifiers),
      periodMs_(periodMs),
      codeWhenGone_(codeWhenGone)
{
}

bool DlgEndsWhenUnplugged::OnInitDialog()
{
    SetTimer(kPresenceTimer, periodMs_);
    return true;
}

void DlgEndsWhenUnplugged::OnTimer(std::uint32_t timerId)
{
    if (timerId != kPresenceTimer) {
        platform::Dialog::OnTimer(timerId);
        return;
    }
    if (!IsEnded() && CountPresentAmplifiers(amplifiers_).count == 0) {
        KillTimer(kPresenceTimer);
        EndDialog(codeWhenGone_);
    }
}

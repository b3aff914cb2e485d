// The wait-for-disconnect dialog.
#include "application/ui/DlgWaitForDisconnect.h"

#include "resources/templates/WaitForDisconnectTemplate.h"

DlgWaitForDisconnect::DlgWaitForDisconnect(IAmplifierDirectory& amplifiers, QWidget* parent)
    : DlgEndsWhenUnplugged(kWaitForDisconnectTemplate, amplifiers, kPresenceMs, DialogId::kOk, parent)
{
}

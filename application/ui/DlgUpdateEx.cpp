// The minimum-version notice.
#include "application/ui/DlgUpdateEx.h"

#include "platform/base/FirmwareVersion.h"
#include "platform/ui/core/ControlIds.h"
#include "resources/strings/StringFormat.h"
#include "resources/templates/UpdateExTemplate.h"

DlgUpdateEx::DlgUpdateEx(IAmplifierDirectory& amplifiers, QWidget* parent)
    : DlgEndsWhenUnplugged(kUpdateExTemplate, amplifiers, kPresenceMs, DialogId::kCancel, parent)
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
    return DlgEndsWhenUnplugged::OnInitDialog();
}

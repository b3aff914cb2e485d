#include "dsp_blocks/ui/DBlockPanel.h"

#include <QString>

#include "dsp_blocks/blocks/CController.h"
#include "dsp_blocks/ui/PanelSite.h"
#include "platform/base/Cp1252.h"
#include "platform/ui/core/MessageBox.h"
#include "resources/strings/StringIds.h"

DBlockPanel::DBlockPanel(const DialogTemplate& dialogTemplate, IPanelSite& site, CController& controller)
    : DControl(dialogTemplate, site.PanelParent()), site_(site), controller_(controller)
{
}

DBlockPanel::~DBlockPanel()
{
    // Gone with the hosting view rather than closed by the controller.
    if (!IsClosing()) {
        controller_.OnPanelDestroyed(this);
    }
}

void DBlockPanel::SetWindowText(const std::u16string& text)
{
    SetTitleText(platform::Utf16ToUtf8(text));
}

void DBlockPanel::RefreshRow(std::size_t)
{
    Refresh();
}

void DBlockPanel::DestroyPanel()
{
    DestroyWindow();
}

void DBlockPanel::MarkModified()
{
    site_.SetDesignModified();
}

bool DBlockPanel::CheckControllerResult(bool ok)
{
    if (!ok) {
        platform::ErrorBoxFromResource(StringId::kParamChangeFailed);
    }
    return ok;
}

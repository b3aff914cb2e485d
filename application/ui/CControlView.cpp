// The control view.
#include "application/ui/CControlView.h"

#include <QResizeEvent>

#include "application/document/CCorvantEditorDoc.h"
#include "application/settings/AppSettings.h"
#include "dsp_blocks/blocks/CController.h"
#include "dsp_blocks/ui/PanelFactory.h"

namespace {

constexpr std::string_view kControlViewTitle = "Controls";

}  // namespace

CControlView::CControlView(CCorvantEditorView& host, std::unique_ptr<ViewEnvironment> environment)
    : CEnvironmentView(host, std::move(environment), kControlViewTitle, kControlId)
{
}

QWidget* CControlView::OpenPanelWindow() const
{
    return m_panel != nullptr ? dynamic_cast<QWidget*>(m_panel) : nullptr;
}

IBlockPanel* CControlView::CreatePanel(PanelKind kind, CController& controller)
{
    return CreateBlockPanel(kind, controller, *this);
}

void CControlView::SetDesignModified()
{
    if (CCorvantEditorDoc* document = GetDocument()) {
        document->SetModifiedFlag(true);
    }
}

void CControlView::RedrawBlockViews()
{
    if (CCorvantEditorDoc* document = GetDocument()) {
        document->RedrawBlockViews();
    }
}

std::uint32_t CControlView::GetInputEqMode(std::size_t channel)
{
    const AppSettings& settings = GetAppSettings();
    return channel < settings.inputEqMode.size() ? settings.inputEqMode[channel] : 0;
}

void CControlView::SetInputEqMode(std::size_t channel, std::uint32_t mode)
{
    AppSettings& settings = GetAppSettings();
    if (channel < settings.inputEqMode.size()) {
        settings.inputEqMode[channel] = mode;
    }
}

bool CControlView::GetInputEqWidthIsQ()
{
    return GetAppSettings().inputEqWidthIsQ != 0;
}

void CControlView::SetInputEqWidthIsQ(bool isQ)
{
    GetAppSettings().inputEqWidthIsQ = isQ ? 1 : 0;
}

void CControlView::ClosePanel()
{
    if (m_controller != nullptr) {
        m_controller->CloseDialog();
    }
    m_controller = nullptr;
    m_panel = nullptr;
}

void CControlView::OnSelectionChanged()
{
    CCorvantEditorDoc* document = GetDocument();
    CController* selected = document != nullptr ? document->GetSelectedController() : nullptr;
    if (selected == nullptr) {
        ClosePanel();
        return;
    }
    if (selected == m_controller) {
        return;
    }
    ClosePanel();
    if (IBlockPanel* panel = selected->OpenDialog(*this)) {
        m_controller = selected;
        m_panel = panel;
        CentrePanel();
    }
}

void CControlView::CentrePanel()
{
    QWidget* window = OpenPanelWindow();
    if (window == nullptr) {
        return;
    }
    const int centreX = width() / 2;
    const int centreY = height() / 2;
    window->move(centreX - window->width() / 2, centreY - window->height() / 2);
    window->show();
}

void CControlView::OnUpdate(CCorvantEditorDoc& document, UpdateHint hint,
                            CobaltDeviceManager::ICobaltAmplifier* amplifier)
{
    CEnvironmentView::OnUpdate(document, hint, amplifier);
    switch (hint) {
    case UpdateHint::Reset:
        ClosePanel();
        break;
    case UpdateHint::DisableControlView:
        setEnabled(false);
        break;
    case UpdateHint::EnableControlView:
        setEnabled(true);
        break;
    default:
        break;
    }
}

void CControlView::resizeEvent(QResizeEvent* event)
{
    CEnvironmentView::resizeEvent(event);
    CentrePanel();
}

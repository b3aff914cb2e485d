// The About box.
#include "application/ui/CAboutDlg.h"

#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>

#include "application/ui/EditorCommandLine.h"
#include "platform/ui/drawing/PngResource.h"
#include "resources/images/ImageIds.h"
#include "resources/templates/AboutTemplate.h"

namespace {

constexpr std::string_view kVersionMark = "###";

std::string ReplaceAll(std::string text, std::string_view mark, std::string_view by)
{
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + by.size())) {
        text.replace(at, mark.size(), by);
    }
    return text;
}

}  // namespace

CAboutDlg::CAboutDlg(std::string modelText, std::string firmwareText, QWidget* parent)
    : platform::Dialog(kAboutTemplate, Kind::Modal, parent),
      m_modelText(std::move(modelText)),
      m_firmwareText(std::move(firmwareText))
{
}

bool CAboutDlg::OnInitDialog()
{
    SetItemText(AboutIds::kModelValue, m_modelText);
    SetItemText(AboutIds::kFirmwareValue, m_firmwareText);
    if (m_modelText.empty()) {
        EnableItem(AboutIds::kModelCaption, false);
        EnableItem(AboutIds::kModelValue, false);
    }
    if (m_firmwareText.empty()) {
        EnableItem(AboutIds::kFirmwareCaption, false);
        EnableItem(AboutIds::kFirmwareValue, false);
    }
    // A missing picture leaves the picture static empty; the box still shows.
    const std::vector<QWidget*> items = Items();
    QImage picture;
    if (!items.empty() && platform::LoadPngResource(ImageId::kAboutPicture, picture)) {
        if (auto* label = qobject_cast<QLabel*>(items.front())) {
            label->setPixmap(QPixmap::fromImage(picture));
            label->resize(picture.size());
        }
    }
    SetItemText(AboutIds::kVersion, ReplaceAll(ItemText(AboutIds::kVersion), kVersionMark, kProgramVersion));
    SetTimer(kCloseTimer, kCloseAfterMs);
    return true;
}

void CAboutDlg::CloseBox()
{
    KillTimer(kCloseTimer);
    EndDialog(DialogId::kOk);
}

void CAboutDlg::OnTimer(std::uint32_t timerId)
{
    if (timerId == kCloseTimer) {
        CloseBox();
    }
}

void CAboutDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        CloseBox();
        return;
    }
    platform::Dialog::mousePressEvent(event);
}

void ShowAboutBox(const std::string& modelText, const std::string& firmwareText)
{
    CAboutDlg box(modelText, firmwareText);
    box.DoModal();
}

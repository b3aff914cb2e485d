// The lock notice.
#include "application/ui/DlgLockApp.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QScreen>
#include <QStyle>

#include "platform/ui/core/ControlIds.h"
#include "platform/ui/drawing/PngResource.h"
#include "resources/strings/StringTable.h"
#include "resources/templates/LockNoticeTemplate.h"

namespace {

constexpr int kIconSize = 32;

}  // namespace

DlgLockApp::DlgLockApp(QWidget* owner) : platform::Dialog(kLockNoticeTemplate, Kind::Modeless, owner)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowIcon(platform::ProgramIcon());
}

bool DlgLockApp::OnInitDialog()
{
    const std::vector<QWidget*> items = Items();
    if (!items.empty() && platform::WindowClassName(items.front()) == "Static" &&
        (platform::ControlStyle(items.front()) & StaticStyle::kTypeMask) == StaticStyle::kIcon) {
        if (auto* icon = qobject_cast<QLabel*>(items.front())) {
            icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(kIconSize, kIconSize));
            icon->resize(kIconSize, kIconSize);
        }
    }
    return false;
}

void DlgLockApp::SetMessage(std::uint32_t stringId)
{
    // The message is the second child of the notice.
    const std::vector<QWidget*> items = Items();
    if (items.size() >= 2) {
        platform::SetWindowText(items[1], LoadStringId(stringId));
    }
}

void DlgLockApp::ShowWithoutActivating()
{
    show();
    raise();
}

void DlgLockApp::CentreOverOwner()
{
    QRect area;
    if (QWidget* owner = parentWidget()) {
        area = owner->frameGeometry();
    } else if (QScreen* screen = QApplication::primaryScreen()) {
        area = screen->availableGeometry();
    }
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void DlgLockApp::OnOK() {}

void DlgLockApp::OnCancel() {}

void DlgLockApp::OnTimer(std::uint32_t timerId)
{
    if (timerId == kDelayTimer) {
        KillTimer(kDelayTimer);
        ShowWithoutActivating();
    }
}

void DlgLockApp::closeEvent(QCloseEvent* event)
{
    // The user cannot close the notice; the program hides it when the lock ends.
    event->ignore();
}

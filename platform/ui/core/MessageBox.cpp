#include "platform/ui/core/MessageBox.h"

#include <atomic>
#include <utility>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "platform/ui/core/MainWindow.h"
#include "platform/ui/core/ModalHook.h"
#include "platform/ui/core/ModalState.h"
#include "resources/strings/StringTable.h"

namespace platform {
namespace {

std::atomic<int> g_beeps{0};

QMessageBox::Icon QtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    default:
        return QMessageBox::NoIcon;
    }
}

MessageAnswer RunQtBox(const MessageBoxRequest& request)
{
    QWidget* owner = QApplication::activeModalWidget();
    if (owner == nullptr) {
        owner = MainWindow();
    }
    QMessageBox box(QtIcon(request.icon), QString::fromStdString(request.caption),
                    QString::fromStdString(request.text), QMessageBox::NoButton, owner);
    box.setTextFormat(Qt::PlainText);
    QPushButton* first = nullptr;
    QPushButton* second = nullptr;
    QPushButton* third = nullptr;
    switch (request.buttons) {
    case MessageButtons::Ok:
        first = box.addButton(QMessageBox::Ok);
        box.setEscapeButton(first);
        break;
    case MessageButtons::OkCancel:
        first = box.addButton(QMessageBox::Ok);
        second = box.addButton(QMessageBox::Cancel);
        box.setEscapeButton(second);
        break;
    case MessageButtons::YesNo:
        first = box.addButton(QMessageBox::Yes);
        second = box.addButton(QMessageBox::No);
        box.setEscapeButton(second);
        break;
    case MessageButtons::YesNoCancel:
        first = box.addButton(QMessageBox::Yes);
        second = box.addButton(QMessageBox::No);
        third = box.addButton(QMessageBox::Cancel);
        box.setEscapeButton(third);
        break;
    }
    box.setDefaultButton(request.secondButtonDefault && second != nullptr ? second : first);
    box.exec();
    const bool firstChosen = box.clickedButton() == first;
    switch (request.buttons) {
    case MessageButtons::OkCancel:
        return firstChosen ? MessageAnswer::Ok : MessageAnswer::Cancel;
    case MessageButtons::YesNo:
        return firstChosen ? MessageAnswer::Yes : MessageAnswer::No;
    case MessageButtons::YesNoCancel:
        if (firstChosen) {
            return MessageAnswer::Yes;
        }
        return box.clickedButton() == second ? MessageAnswer::No : MessageAnswer::Cancel;
    default:
        return MessageAnswer::Ok;
    }
}

}  // namespace

MessageIcon EffectiveIcon(MessageIcon icon, MessageButtons buttons)
{
    if (icon != MessageIcon::Default) {
        return icon;
    }
    return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel ? MessageIcon::Question
                                                                                       : MessageIcon::Warning;
}

std::string ProgramCaption()
{
    return DocTemplateString(DocTemplateField::WindowTitle);
}

MessageAnswer ShowMessageBox(MessageBoxRequest request)
{
    request.icon = EffectiveIcon(request.icon, request.buttons);
    if (request.caption.empty()) {
        request.caption = ProgramCaption();
    }
    ModalScope modal;
    if (IModalHook* hook = CurrentModalHook()) {
        return hook->OnMessageBox(request);
    }
    return RunQtBox(request);
}

MessageAnswer MessageBoxText(const std::string& text, MessageIcon icon, MessageButtons buttons)
{
    MessageBoxRequest request;
    request.text = text;
    request.icon = icon;
    request.buttons = buttons;
    return ShowMessageBox(std::move(request));
}

MessageAnswer MessageBoxId(std::uint32_t stringId, MessageIcon icon, MessageButtons buttons)
{
    MessageBoxRequest request;
    request.stringId = stringId;
    request.text = LoadStringId(stringId);
    request.icon = icon;
    request.buttons = buttons;
    return ShowMessageBox(std::move(request));
}

void MessageBeep()
{
    ++g_beeps;
    QApplication::beep();
}

int BeepCount()
{
    return g_beeps.load();
}

}  // namespace platform

#include "platform/ui/core/Dialog.h"

#include <cassert>

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>

#include "platform/ui/core/Accelerators.h"
#include "platform/ui/core/ControlIds.h"
#include "platform/ui/core/DialogBuilder.h"
#include "platform/ui/core/MainWindow.h"
#include "platform/ui/core/ModalHook.h"
#include "platform/ui/core/ModalState.h"

namespace platform {
namespace {

QWidget* DefaultParent(Dialog::Kind kind, QWidget* parent)
{
    if (parent != nullptr || kind == Dialog::Kind::Child) {
        return parent;
    }
    return MainWindow();
}

QWidget* ChildWithId(const QWidget& window, std::int32_t id)
{
    for (QObject* child : window.children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget != nullptr && ControlId(widget) == id) {
            return widget;
        }
    }
    return nullptr;
}

Qt::WindowFlags FlagsFor(Dialog::Kind kind, std::uint32_t style)
{
    if (kind == Dialog::Kind::Child) {
        return Qt::Widget;
    }
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if ((style & WindowStyle::kSysMenu) != 0) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    return flags;
}

}  // namespace

Dialog::Dialog(const DialogTemplate& dialogTemplate, Kind kind, QWidget* parent)
    : QDialog(DefaultParent(kind, parent), FlagsFor(kind, dialogTemplate.style)),
      m_template(dialogTemplate),
      m_kind(kind),
      m_units(BaseUnitsForPointSize(dialogTemplate.fontPointSize)),
      m_messages([this](MessageId message, std::uintptr_t wParam, std::intptr_t lParam) {
          return OnMessage(message, wParam, lParam);
      }),
      m_timers([this](std::uint32_t timerId) { OnTimer(timerId); })
{
    if (kind == Kind::Child) {
        // QDialog turns a plain widget type into a window; a panel is a part of its parent.
        setWindowFlags(Qt::Widget);
    }
    setFont(DialogFont(dialogTemplate.fontPointSize));
    setWindowTitle(QString::fromUtf8(dialogTemplate.caption.data(), static_cast<qsizetype>(dialogTemplate.caption.size())));
    resize(DluToPixelsX(dialogTemplate.cx, m_units), DluToPixelsY(dialogTemplate.cy, m_units));
    setSizeGripEnabled(false);
}

Dialog::~Dialog()
{
    m_timers.KillAll();
    m_messages.Close();
    if (m_loop != nullptr) {
        m_loop->exit();
    }
}

void Dialog::Build()
{
    if (m_built) {
        return;
    }
    m_built = true;
    for (QWidget* widget : BuildTemplateControls(m_template, this, m_units)) {
        m_items.emplace_back(widget);
    }
    for (const DialogControl& control : m_template.controls) {
        if (control.className == ControlClass::kButton &&
            (control.style & ButtonStyle::kTypeMask) == ButtonStyle::kDefPushButton) {
            m_defaultId = control.id;
            break;
        }
    }
}

int Dialog::DoModal()
{
    assert(m_kind == Kind::Modal && "DoModal runs modal dialogs");
    Build();
    m_ended = false;
    ModalScope modal;
    m_focusOnShow = OnInitDialog();
    if (m_ended) {
        return m_endCode;
    }
    if (IModalHook* hook = CurrentModalHook()) {
        const int code = hook->OnModalDialog(*this);
        hide();
        return code;
    }
    RunModalLoop();
    return m_endCode;
}

bool Dialog::Create()
{
    assert(m_kind != Kind::Modal && "Create makes modeless and child dialogs");
    Build();
    m_ended = false;
    m_focusOnShow = OnInitDialog();
    if (m_ended) {
        return false;
    }
    if ((m_template.style & WindowStyle::kVisible) != 0) {
        show();
        if (m_kind == Kind::Modeless && m_focusOnShow) {
            FocusFirstControl();
        }
    }
    return true;
}

void Dialog::RunModalLoop()
{
    if (m_ended) {
        return;
    }
    ShowModal();
    QEventLoop loop;
    m_loop = &loop;
    QPointer<Dialog> self(this);
    loop.exec(QEventLoop::DialogExec);
    if (!self) {
        return;  // destroyed by something its loop ran
    }
    m_loop = nullptr;
    hide();
}

void Dialog::ShowModal()
{
    // Shown so once: showing again would take the focus back from where it was moved.
    if (isVisible() && windowModality() == Qt::ApplicationModal) {
        return;
    }
    setWindowModality(Qt::ApplicationModal);
    show();
    if (m_focusOnShow) {
        FocusFirstControl();
    }
    raise();
    activateWindow();
}

void Dialog::EndDialog(int code)
{
    m_ended = true;
    m_endCode = code;
    if (m_loop != nullptr) {
        m_loop->exit();
    }
    if (m_kind != Kind::Modal) {
        hide();
    }
}

void Dialog::FocusFirstControl()
{
    for (const QPointer<QWidget>& item : m_items) {
        if (item && item->isVisible() && item->isEnabled() && (item->focusPolicy() & Qt::TabFocus) != 0) {
            item->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

QWidget* Dialog::Item(std::int32_t id) const
{
    for (const QPointer<QWidget>& item : m_items) {
        if (item && ControlId(item) == id) {
            return item;
        }
    }
    return ChildWithId(*this, id);
}

std::vector<QWidget*> Dialog::Items() const
{
    std::vector<QWidget*> items;
    for (const QPointer<QWidget>& item : m_items) {
        if (item) {
            items.push_back(item);
        }
    }
    return items;
}

QWidget* Dialog::NextInTemplateOrder(const QWidget* control) const
{
    const std::vector<QWidget*> items = Items();
    for (std::size_t i = 0; i + 1 < items.size(); ++i) {
        if (items[i] == control) {
            return items[i + 1];
        }
    }
    return nullptr;
}

QWidget* Dialog::PreviousInTemplateOrder(const QWidget* control) const
{
    const std::vector<QWidget*> items = Items();
    for (std::size_t i = 1; i < items.size(); ++i) {
        if (items[i] == control) {
            return items[i - 1];
        }
    }
    return nullptr;
}

bool Dialog::ReplaceItem(std::int32_t id, QWidget* replacement)
{
    for (QPointer<QWidget>& slot : m_items) {
        if (!slot || ControlId(slot) != id) {
            continue;
        }
        QWidget* old = slot;
        const std::string className = HasStampedClassName(replacement) ? WindowClassName(replacement) : WindowClassName(old);
        replacement->setParent(this);
        replacement->setFont(old->font());
        replacement->setGeometry(old->geometry());
        SetControlIdentity(replacement, id, className, ControlStyle(old), ControlExStyle(old));
        replacement->setEnabled(old->isEnabled());
        replacement->stackUnder(old);
        replacement->setVisible(!old->isHidden());
        WireControlNotices(replacement);
        slot = replacement;
        delete old;
        return true;
    }
    return false;
}

std::string Dialog::ItemText(std::int32_t id) const
{
    return WindowText(Item(id));
}

void Dialog::SetItemText(std::int32_t id, std::string_view text)
{
    SetWindowText(Item(id), text);
}

int Dialog::ItemCheckState(std::int32_t id) const
{
    QWidget* item = Item(id);
    if (auto* box = qobject_cast<QCheckBox*>(item)) {
        switch (box->checkState()) {
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return 2;
        default:
            return 0;
        }
    }
    if (auto* radio = qobject_cast<QRadioButton*>(item)) {
        return radio->isChecked() ? 1 : 0;
    }
    return -1;
}

void Dialog::CheckItem(std::int32_t id, int state)
{
    QWidget* item = Item(id);
    if (auto* box = qobject_cast<QCheckBox*>(item)) {
        box->setCheckState(state == 1 ? Qt::Checked : state == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
    } else if (auto* radio = qobject_cast<QRadioButton*>(item)) {
        QButtonGroup* group = radio->group();
        // An exclusive group refuses to uncheck its checked button; the system's would.
        const bool exclusive = group != nullptr && group->exclusive();
        if (exclusive && state == 0) {
            group->setExclusive(false);
        }
        radio->setChecked(state != 0);
        if (exclusive && state == 0) {
            group->setExclusive(true);
        }
    }
}

void Dialog::CheckRadio(std::int32_t first, std::int32_t last, std::int32_t id)
{
    for (QWidget* item : Items()) {
        const std::int32_t itemId = ControlId(item);
        if (itemId >= first && itemId <= last && itemId != id) {
            CheckItem(itemId, 0);
        }
    }
    CheckItem(id, 1);
}

void Dialog::EnableItem(std::int32_t id, bool enable)
{
    if (QWidget* item = Item(id)) {
        item->setEnabled(enable);
    }
}

void Dialog::ShowItem(std::int32_t id, bool show)
{
    if (QWidget* item = Item(id)) {
        item->setVisible(show);
    }
}

void Dialog::SetDefaultButtonId(std::int32_t id)
{
    if (auto* old = qobject_cast<QPushButton*>(Item(m_defaultId))) {
        old->setDefault(false);
    }
    m_defaultId = id;
    if (auto* button = qobject_cast<QPushButton*>(Item(id))) {
        button->setDefault(true);
    }
}

void Dialog::SetForwardAccelerators(bool forward)
{
    SetAcceleratorForwarding(this, forward);
}

void Dialog::OnCommand(std::int32_t id)
{
    if (id == DialogId::kOk) {
        OnOK();
    } else if (id == DialogId::kCancel) {
        OnCancel();
    } else {
        OnButtonClicked(id);
    }
}

void Dialog::OnOK()
{
    EndDialog(DialogId::kOk);
}

void Dialog::OnCancel()
{
    EndDialog(DialogId::kCancel);
}

void Dialog::OnButtonClicked(std::int32_t) {}

void Dialog::OnTimer(std::uint32_t) {}

std::intptr_t Dialog::OnMessage(MessageId, std::uintptr_t, std::intptr_t)
{
    return 0;
}

bool Dialog::OnInitDialog()
{
    return true;
}

void Dialog::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        auto* focused = qobject_cast<QPushButton*>(focusWidget());
        if (focused != nullptr && focused->parentWidget() == this && ControlId(focused) != 0) {
            event->accept();
            OnCommand(ControlId(focused));
            return;
        }
        // A row or view embedded in another dialog is one of that dialog's controls: Enter
        // is the enclosing dialog's (the panel reflects it back to the focused edit's row).
        if (IsEmbeddedInDialog()) {
            event->ignore();
            return;
        }
        event->accept();
        if (m_defaultId != 0) {
            if (QWidget* defaultButton = Item(m_defaultId)) {
                if (defaultButton->isEnabled()) {
                    OnCommand(m_defaultId);
                }
                return;
            }
        }
        OnCommand(DialogId::kOk);
        return;
    }
    case Qt::Key_Escape:
        if (IsEmbeddedInDialog()) {
            event->ignore();
            return;
        }
        event->accept();
        OnCommand(DialogId::kCancel);
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
}

bool Dialog::IsEmbeddedInDialog() const
{
    if (m_kind != Kind::Child) {
        return false;
    }
    for (const QWidget* up = parentWidget(); up != nullptr; up = up->parentWidget()) {
        if (qobject_cast<const Dialog*>(up) != nullptr) {
            return true;
        }
    }
    return false;
}

void Dialog::closeEvent(QCloseEvent* event)
{
    if (event->spontaneous()) {
        // The close box: the dialog decides in OnCancel.
        event->ignore();
        OnCommand(DialogId::kCancel);
        return;
    }
    if (m_loop != nullptr) {
        EndDialog(DialogId::kCancel);
    }
    event->accept();
}

void Dialog::done(int code)
{
    EndDialog(code);
}

QWidget* FindDlgItem(const QWidget* window, std::int32_t id)
{
    if (auto* dialog = qobject_cast<const Dialog*>(window)) {
        return dialog->Item(id);
    }
    return window != nullptr ? ChildWithId(*window, id) : nullptr;
}

}  // namespace platform

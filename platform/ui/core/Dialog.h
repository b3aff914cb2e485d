// A dialog built from a template: modal (DoModal returns the end code as given to
// EndDialog, negative codes included), modeless top-level, or a child dialog inside another
// window (a panel: no frame, part of its parent). Controls are found by id and in template
// order; their notices arrive as the virtual calls of IControlNotify, which tests may also
// call directly without showing anything. Enter sends the focused push button's id, else
// the default button's (nothing when that one is disabled), else OK (1); Escape and the
// close box send Cancel (2). OnCommand turns 1 into OnOK and 2 into OnCancel, which end the
// dialog unless a subclass overrides them (panels make both do nothing). Every dialog is a
// message window (registered messages reach OnMessage) and has timers by id (OnTimer).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <QDialog>
#include <QPointer>

#include "platform/ui/core/ControlNotify.h"
#include "platform/ui/core/DialogUnits.h"
#include "platform/ui/core/MessageWindow.h"
#include "platform/ui/core/WindowTimers.h"
#include "resources/templates/DialogTemplate.h"

class QEventLoop;

namespace platform {

class Dialog : public QDialog, public IControlNotify {
    Q_OBJECT

public:
    enum class Kind { Modal, Modeless, Child };

    // A modal or modeless dialog without a parent is owned by the main window. The template
    // must outlive the dialog (templates are static tables).
    Dialog(const DialogTemplate& dialogTemplate, Kind kind, QWidget* parent = nullptr);
    ~Dialog() override;

    const DialogTemplate& Template() const { return m_template; }
    std::uint32_t TemplateId() const { return m_template.id; }
    const DialogBaseUnits& BaseUnits() const { return m_units; }

    // Modal: builds the controls, runs OnInitDialog and, unless that ended the dialog, runs
    // it (or hands it to the test's modal hook) until EndDialog. Returns the end code.
    int DoModal();
    // Modeless and child: builds the controls and runs OnInitDialog; the dialog shows when
    // its template style has the visible bit (or when the caller shows it). False when the
    // initialisation ended it.
    bool Create();
    // Runs the modal loop of a built modal dialog until EndDialog (used by DoModal and by a
    // test's modal hook).
    void RunModalLoop();
    // Shows a built modal dialog as its modal loop does before it runs: application-modal,
    // the focus on the first control (unless the initialisation placed it), raised and
    // active. RunModalLoop does it; a test's modal hook does it before it answers.
    void ShowModal();
    // Ends a modal dialog's loop with `code`; hides a modeless or child dialog.
    void EndDialog(int code);
    bool IsEnded() const { return m_ended; }
    int EndCode() const { return m_endCode; }
    // Builds the controls once (DoModal and Create do it).
    void Build();

    // Controls by id: the first in template order, else a direct child with that id.
    QWidget* Item(std::int32_t id) const;
    template <typename T>
    T* ItemAs(std::int32_t id) const
    {
        return qobject_cast<T*>(Item(id));
    }
    // Controls in template order (replaced ones in their place).
    std::vector<QWidget*> Items() const;
    // The control after (before) `control` in template order, else null.
    QWidget* NextInTemplateOrder(const QWidget* control) const;
    QWidget* PreviousInTemplateOrder(const QWidget* control) const;
    // Puts `replacement` in the place of control `id` (geometry, id, class name unless the
    // replacement has its own, styles, visibility, enabled state, template order) and
    // deletes the old control. The dialog takes ownership. False when no control has `id`.
    bool ReplaceItem(std::int32_t id, QWidget* replacement);

    std::string ItemText(std::int32_t id) const;
    void SetItemText(std::int32_t id, std::string_view text);
    // 0 unchecked, 1 checked, 2 indeterminate; -1 for a control that is no check box or radio.
    int ItemCheckState(std::int32_t id) const;
    void CheckItem(std::int32_t id, int state);
    // Checks `id` and unchecks the other buttons of first..last.
    void CheckRadio(std::int32_t first, std::int32_t last, std::int32_t id);
    void EnableItem(std::int32_t id, bool enable);
    void ShowItem(std::int32_t id, bool show);
    // The default push button (from the template, else 0 for none).
    std::int32_t DefaultButtonId() const { return m_defaultId; }
    void SetDefaultButtonId(std::int32_t id);

    // This dialog as a message window.
    MessageWindow& Messages() { return m_messages; }
    WindowId Id() const { return m_messages.Id(); }

    // Timers of this dialog (periodic until killed; OnTimer gets them).
    void SetTimer(std::uint32_t timerId, std::uint32_t intervalMs) { m_timers.Set(timerId, intervalMs); }
    bool KillTimer(std::uint32_t timerId) { return m_timers.Kill(timerId); }
    bool IsTimerSet(std::uint32_t timerId) const { return m_timers.IsSet(timerId); }

    // The main window's accelerators also act while this dialog has the focus.
    void SetForwardAccelerators(bool forward);

    // Notices (IControlNotify); public so that tests can call them.
    void OnCommand(std::int32_t id) override;
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnButtonClicked(std::int32_t id);
    virtual void OnTimer(std::uint32_t timerId);
    // Registered and other messages posted or sent to this dialog; 0 by default.
    virtual std::intptr_t OnMessage(MessageId message, std::uintptr_t wParam, std::intptr_t lParam);

protected:
    // After the controls exist, before the dialog shows. True: the first focusable control
    // takes the focus when a modal or modeless dialog shows.
    virtual bool OnInitDialog();

    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int code) override;

private:
    void FocusFirstControl();
    // A child dialog inside another dialog (a panel's row or section view) leaves Enter and
    // Escape to the enclosing dialog, as the controls of one dialog.
    bool IsEmbeddedInDialog() const;

    const DialogTemplate& m_template;
    Kind m_kind;
    DialogBaseUnits m_units;
    std::vector<QPointer<QWidget>> m_items;
    std::int32_t m_defaultId = 0;
    bool m_built = false;
    bool m_ended = false;
    bool m_focusOnShow = true;
    int m_endCode = 0;
    QEventLoop* m_loop = nullptr;
    MessageWindow m_messages;
    WindowTimers m_timers;
};

// Controls of any window by id: a dialog's Item, else the first direct child with the id.
QWidget* FindDlgItem(const QWidget* window, std::int32_t id);

}  // namespace platform

#include "tests/support/ModalDriver.h"

#include <utility>

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QComboBox>
#include <QCoreApplication>
#include <QListWidget>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include "platform/ui/core/ControlIds.h"
#include "platform/ui/core/ManualTimerService.h"
#include "platform/ui/core/MessageWindow.h"

using platform::Dialog;
using platform::MessageAnswer;
using platform::MessageButtons;

namespace {

MessageAnswer RefusingAnswer(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::OkCancel:
    case MessageButtons::YesNoCancel:
        return MessageAnswer::Cancel;
    case MessageButtons::YesNo:
        return MessageAnswer::No;
    default:
        return MessageAnswer::Ok;
    }
}

// Enough for any chain of posts that ends; a source that never stops posting is cut here.
constexpr int kMaxPostedRounds = 1000;

// A user reads a box or dialog only after its modal loop has handled what was posted
// before and while it came up: the UI layer's posted messages, Qt's posted events, and
// whatever those post in turn, until nothing is left waiting.
void HandlePostedEvents()
{
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(QThread::currentThread());
    for (int round = 0; round < kMaxPostedRounds; ++round) {
        platform::DeliverPostedMessages();
        QCoreApplication::sendPostedEvents();
        const bool handled = dispatcher != nullptr && dispatcher->processEvents(QEventLoop::AllEvents);
        if (!handled && !platform::HasPostedMessages()) {
            return;
        }
    }
}

QWidget* RequireItem(Dialog& dialog, std::int32_t id)
{
    QWidget* item = dialog.Item(id);
    if (item == nullptr) {
        ADD_FAILURE() << "dialog " << dialog.TemplateId() << " has no control " << id;
    }
    return item;
}

}  // namespace

DialogScript& DialogScript::SetText(std::int32_t id, std::string text)
{
    Add([id, text = std::move(text)](Dialog& dialog) {
        if (QWidget* item = RequireItem(dialog, id)) {
            platform::SetWindowText(item, text);
        }
    });
    return *this;
}

DialogScript& DialogScript::LeaveField(std::int32_t id)
{
    Add([id](Dialog& dialog) { dialog.OnEditKillFocus(id); });
    return *this;
}

DialogScript& DialogScript::Choose(std::int32_t id, int index)
{
    Add([id, index](Dialog& dialog) {
        QWidget* item = RequireItem(dialog, id);
        if (auto* combo = qobject_cast<QComboBox*>(item)) {
            combo->setCurrentIndex(index);
            dialog.OnComboSelChange(id);
        } else if (auto* list = qobject_cast<QListWidget*>(item)) {
            list->setCurrentRow(index);
            dialog.OnListSelChange(id);
        } else if (item != nullptr) {
            ADD_FAILURE() << "control " << id << " is no combo or list box";
        }
    });
    return *this;
}

DialogScript& DialogScript::Click(std::int32_t id)
{
    Add([id](Dialog& dialog) {
        QWidget* item = RequireItem(dialog, id);
        auto* button = qobject_cast<QAbstractButton*>(item);
        if (button == nullptr) {
            if (item != nullptr) {
                ADD_FAILURE() << "control " << id << " is no button";
            }
            return;
        }
        if (!button->isEnabled()) {
            ADD_FAILURE() << "button " << id << " of dialog " << dialog.TemplateId() << " is disabled";
            return;
        }
        button->click();
    });
    return *this;
}

DialogScript& DialogScript::Advance(std::uint64_t ms)
{
    Add([ms](Dialog&) {
        auto* timers = dynamic_cast<platform::ManualTimerService*>(&platform::CurrentTimerService());
        if (timers == nullptr) {
            ADD_FAILURE() << "Advance needs a ManualTimerService installed";
            return;
        }
        timers->Advance(ms);
    });
    return *this;
}

DialogScript& DialogScript::Do(std::function<void(Dialog&)> step)
{
    Add(std::move(step));
    return *this;
}

DialogScript& DialogScript::End(int code)
{
    Add([code](Dialog& dialog) { dialog.EndDialog(code); });
    return *this;
}

DialogScript& DialogScript::RunUntilEnds(std::chrono::milliseconds limit)
{
    const auto run = [limit](Dialog& dialog) {
        bool timedOut = false;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &dialog, [&] {
            timedOut = true;
            dialog.EndDialog(DialogId::kCancel);
        });
        guard.start(static_cast<int>(limit.count()));
        dialog.RunModalLoop();
        if (timedOut) {
            ADD_FAILURE() << "dialog " << dialog.TemplateId() << " did not end within " << limit.count() << " ms";
        }
    };
    return Add(run, true);
}

DialogScript& DialogScript::Add(std::function<void(Dialog&)> run, bool waitsForEnd)
{
    m_steps.push_back({std::move(run), waitsForEnd});
    return *this;
}

ModalDriver::ModalDriver() : m_install(*this) {}

ModalDriver::~ModalDriver()
{
    for (const Expectation& expected : m_expected) {
        if (expected.isBox) {
            ADD_FAILURE() << "expected message box " << expected.stringId << " never came";
        } else {
            ADD_FAILURE() << "expected dialog " << expected.script->TemplateId() << " never came";
        }
    }
}

ModalDriver& ModalDriver::AnswerBox(MessageAnswer answer)
{
    return AnswerBox(0, answer);
}

ModalDriver& ModalDriver::AnswerBox(std::uint32_t stringId, MessageAnswer answer)
{
    Expectation expected;
    expected.stringId = stringId;
    expected.answer = answer;
    m_expected.push_back(std::move(expected));
    return *this;
}

DialogScript& ModalDriver::ExpectDialog(std::uint32_t templateId)
{
    Expectation expected;
    expected.isBox = false;
    expected.script = std::make_unique<DialogScript>(templateId);
    DialogScript& script = *expected.script;
    m_expected.push_back(std::move(expected));
    return script;
}

MessageAnswer ModalDriver::OnMessageBox(const platform::MessageBoxRequest& request)
{
    m_boxes.push_back({request.stringId, request.text, request.caption, request.icon, request.buttons,
                       request.secondButtonDefault});
    if (m_expected.empty() || !m_expected.front().isBox) {
        ADD_FAILURE() << "unscripted message box " << request.stringId << ": \"" << request.text << "\"";
        return RefusingAnswer(request.buttons);
    }
    // Taken before the posted events run: a box they bring up comes after this one.
    Expectation expected = std::move(m_expected.front());
    m_expected.pop_front();
    if (expected.stringId != 0 && expected.stringId != request.stringId) {
        ADD_FAILURE() << "message box " << request.stringId << " (\"" << request.text << "\") came where box "
                      << expected.stringId << " was expected";
    }
    HandlePostedEvents();
    return expected.answer;
}

int ModalDriver::OnModalDialog(Dialog& dialog)
{
    m_dialogs.push_back(dialog.TemplateId());
    if (m_expected.empty() || m_expected.front().isBox || m_expected.front().script->TemplateId() != dialog.TemplateId()) {
        ADD_FAILURE() << "unscripted dialog " << dialog.TemplateId();
        return DialogId::kCancel;
    }
    const std::unique_ptr<DialogScript> script = std::move(m_expected.front().script);
    m_expected.pop_front();
    dialog.ShowModal();
    for (std::size_t i = 0; i < script->m_steps.size(); ++i) {
        // Each step at a user's pace: after what the dialog and its surroundings posted.
        HandlePostedEvents();
        const DialogScript::Step& step = script->m_steps[i];
        if (dialog.IsEnded() && step.waitsForEnd) {
            continue;
        }
        if (dialog.IsEnded()) {
            ADD_FAILURE() << "dialog " << dialog.TemplateId() << " ended before step " << i + 1 << " of its script";
            return dialog.EndCode();
        }
        step.run(dialog);
    }
    if (!dialog.IsEnded()) {
        ADD_FAILURE() << "the script of dialog " << dialog.TemplateId() << " left it open";
        return DialogId::kCancel;
    }
    return dialog.EndCode();
}

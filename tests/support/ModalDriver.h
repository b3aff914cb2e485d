// The scripted stand-in for the user at modal boxes and dialogs. Installed for its lifetime,
// it takes each message box and modal dialog in the order the test scripted them: a box is
// recorded (string id, text, caption, icon, buttons) and answered; a dialog (by template
// id) gets its steps: type into an edit, choose a combo or list item, click a button, move
// the manual timers, run any code, end it with a code, or let it run its own modal loop
// until it ends by itself (a time-out fails the test). It answers at a user's pace: a
// dialog is shown as its modal loop shows it, and before a box is answered and before each
// step of a dialog, the messages and events posted so far are handled, as the modal loop
// of the box or dialog would handle them while the user reads it. Anything that comes unscripted, a script that leaves a dialog open, and
// expectations never met fail the test loudly.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/core/Dialog.h"
#include "platform/ui/core/ModalHook.h"

class DialogScript {
public:
    explicit DialogScript(std::uint32_t templateId) : m_templateId(templateId) {}

    // Sets an edit's text as typing does (the dialog hears the change).
    DialogScript& SetText(std::int32_t id, std::string text);
    // The focus leaves an edit (the dialog hears the loss of focus).
    DialogScript& LeaveField(std::int32_t id);
    // Chooses item `index` of a combo box or row `index` of a list box, as the user does.
    DialogScript& Choose(std::int32_t id, int index);
    // Clicks a button (check boxes and radio buttons change as a click changes them).
    DialogScript& Click(std::int32_t id);
    // Advances the current timer service, which must be a ManualTimerService.
    DialogScript& Advance(std::uint64_t ms);
    DialogScript& Do(std::function<void(platform::Dialog& dialog)> step);
    DialogScript& End(int code);
    // Shows the dialog and runs its modal loop until it ends by itself; fails the test and
    // ends it with Cancel after `limit`.
    DialogScript& RunUntilEnds(std::chrono::milliseconds limit = std::chrono::seconds(10));

    std::uint32_t TemplateId() const { return m_templateId; }

private:
    friend class ModalDriver;

    struct Step {
        std::function<void(platform::Dialog&)> run;
        // RunUntilEnds: a dialog that ended by itself before the step came has done it.
        bool waitsForEnd = false;
    };

    DialogScript& Add(std::function<void(platform::Dialog&)> run, bool waitsForEnd = false);

    std::uint32_t m_templateId;
    std::vector<Step> m_steps;
};

class ModalDriver final : public platform::IModalHook {
public:
    struct Box {
        std::uint32_t stringId = 0;
        std::string text;
        std::string caption;
        platform::MessageIcon icon = platform::MessageIcon::Default;
        platform::MessageButtons buttons = platform::MessageButtons::Ok;
        bool secondButtonDefault = false;
    };

    ModalDriver();
    // Fails the test for every expectation left.
    ~ModalDriver() override;
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    // The next modal thing is a box (showing string `stringId`, when given) answered so.
    ModalDriver& AnswerBox(platform::MessageAnswer answer);
    ModalDriver& AnswerBox(std::uint32_t stringId, platform::MessageAnswer answer);
    // The next modal thing is dialog `templateId`; its steps are added to the result.
    DialogScript& ExpectDialog(std::uint32_t templateId);

    // What came, in order.
    const std::vector<Box>& Boxes() const { return m_boxes; }
    const std::vector<std::uint32_t>& Dialogs() const { return m_dialogs; }
    // Expectations not met yet.
    std::size_t Pending() const { return m_expected.size(); }

    platform::MessageAnswer OnMessageBox(const platform::MessageBoxRequest& request) override;
    int OnModalDialog(platform::Dialog& dialog) override;

private:
    struct Expectation {
        bool isBox = true;
        std::uint32_t stringId = 0;  // box: 0 accepts any
        platform::MessageAnswer answer = platform::MessageAnswer::Ok;
        std::unique_ptr<DialogScript> script;
    };

    std::deque<Expectation> m_expected;
    std::vector<Box> m_boxes;
    std::vector<std::uint32_t> m_dialogs;
    platform::ScopedModalHook m_install;
};

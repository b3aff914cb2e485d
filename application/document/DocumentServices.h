// What the document needs from the rest of the editor, kept abstract so that the core holds
// no window: the views it informs, the messages and questions it puts to the user, the
// application it lives in, and the device manager's list of amplifiers.
#pragma once

#include <cstdint>
#include <string>

#include "device_manager/interfaces/ICobaltAmplifier.h"
#include "dsp_blocks/blocks/BlockTypes.h"
#include "platform/base/MessageBoxKinds.h"

class CCorvantEditorDoc;

// The lHint of UpdateAllViews. There is no hint 3.
enum class UpdateHint : std::uint32_t {
    Reset = 1,               // block view drops its drag state; control view closes the panel
    RedrawDiagram = 2,       // block view repaints
    AmplifierChanged = 4,    // amplifier attached (pHint) or detached (null): meter view
    DisableControlView = 5,  // CONFIG switch not in software mode, or locked
    EnableControlView = 6,
};

// A view of the document. Views learn about changes only through this call.
class IDocumentObserver {
public:
    // amplifier is the pHint of hint 4 (null when detached) and null for every other hint.
    virtual void OnUpdate(CCorvantEditorDoc& document, UpdateHint hint,
                          CobaltDeviceManager::ICobaltAmplifier* amplifier) = 0;

protected:
    ~IDocumentObserver() = default;
};

// Icons and buttons of a message box. A box whose caller names no icon gets the exclamation
// icon for OK and OK/Cancel and the question icon for Yes/No.
using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

// The document's user-facing messages and questions. The editor's windows show them as
// boxes titled with the application's name; tests script the answers.
class IDocumentPrompts {
public:
    // A string-table text by id.
    virtual MessageAnswer ShowMessage(std::uint32_t stringId, MessageIcon icon, MessageButtons buttons) = 0;
    // A text that is fixed in the code (UTF-8), not in the string table.
    virtual MessageAnswer ShowText(const std::string& text, MessageIcon icon, MessageButtons buttons) = 0;
    // The model selection dialog preset to `preset`; Unknown when cancelled.
    virtual ModelType ChooseModel(ModelType preset) = 0;

protected:
    ~IDocumentPrompts() = default;
};

// The application object and its main window as the document uses them.
class IDocumentApplication {
public:
    // The model chosen by a new-design command, reset to Unknown by taking it.
    virtual ModelType TakePendingNewDesignModel() = 0;
    // True while the first document is being created at start-up.
    virtual bool IsStartUpInProgress() = 0;
    // Posts a command id to the main window (handled after the current one returns).
    virtual void PostCommand(std::uint32_t commandId) = 0;
    // Runs one idle pass of the application at once (the document's idle poll among it).
    virtual void RunIdlePass() = 0;
    // The window that the amplifier's status callback wakes (the main frame).
    virtual CobaltDeviceManager::WindowId MainWindow() = 0;
    // Posts an empty message to `window` so that an idle pass follows. Called on the
    // amplifier's worker thread: it may only post.
    virtual void PostWakeUp(CobaltDeviceManager::WindowId window) = 0;
    // Shows the lock notice with a string-table text after delayMs, or hides it for (0, 0).
    // Does nothing while there is no main window.
    virtual void ShowLockDialog(std::uint32_t stringId, std::uint32_t delayMs) = 0;

protected:
    ~IDocumentApplication() = default;
};

// The device manager's list of connected amplifiers.
class IAmplifierDirectory {
public:
    // The number of present amplifiers; for the first of them *first receives a reference
    // that the caller releases. *first is untouched when the count is 0.
    virtual std::uint32_t ForFirstActiveAmplifier(CobaltDeviceManager::ICobaltAmplifier** first) = 0;
    // suspend 1 holds rescans, 0 resumes them; clearList 1 forgets the amplifiers first.
    virtual void SetScanMode(std::uint32_t suspend, std::uint32_t clearList) = 0;

protected:
    ~IAmplifierDirectory() = default;
};

// The parts of the editor the document talks to; all must outlive the document.
struct DocumentServices {
    IDocumentPrompts& prompts;
    IDocumentApplication& application;
    IAmplifierDirectory& amplifiers;
};

// Command ids the document posts to the main window.
namespace DocumentCommand {
inline constexpr std::uint32_t kGoOnline = 32831;
inline constexpr std::uint32_t kDelayedGoOnline = 32853;
}  // namespace DocumentCommand

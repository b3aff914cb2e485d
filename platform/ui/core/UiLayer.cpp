#include "platform/ui/core/UiLayer.h"

#include <cassert>

#include "platform/messages/ProgramMessages.h"
#include "platform/ui/core/Accelerators.h"
#include "platform/ui/core/CommandActions.h"
#include "platform/ui/core/Commands.h"
#include "platform/ui/core/IdlePass.h"
#include "platform/ui/core/KeyState.h"
#include "platform/ui/core/MessageWindow.h"
#include "platform/ui/core/QtTimerService.h"
#include "platform/ui/core/UiLocale.h"
#include "platform/ui/core/UiMessageIds.h"
#include "platform/ui/core/UiThread.h"

namespace platform {
namespace {

bool g_up = false;

}  // namespace

struct UiLayer::Parts {
    QtTimerService timers;
    // Posted commands arrive here and run through the command chain.
    MessageWindow commandWindow{[](MessageId message, std::uintptr_t wParam, std::intptr_t) -> std::intptr_t {
        if (message == kMsgCommand) {
            SendCommand(static_cast<std::uint32_t>(wParam));
        }
        return 0;
    }};
};

UiLayer::UiLayer()
{
    assert(IsUiThread() && !g_up && "one UI layer, made on the UI thread after the QApplication");
    InitUiLocale();
    RegisterProgramMessages();
    m_parts = std::make_unique<Parts>();
    SetDefaultTimerService(&m_parts->timers);
    SetCommandWindow(m_parts->commandWindow.Id());
    CreateCommandActions();
    SetAccelerators(MainAccelerators());
    InstallKeyStateFilter();
    InstallAcceleratorFilter();
    StartIdleOnEventLoop();
    g_up = true;
}

UiLayer::~UiLayer()
{
    g_up = false;
    StopIdleOnEventLoop();
    RemoveAcceleratorFilter();
    RemoveKeyStateFilter();
    DestroyCommandActions();
    SetCommandWindow(kNoWindow);
    SetDefaultTimerService(nullptr);
    m_parts.reset();
    DetachMessagePump();
}

bool UiLayer::IsUp()
{
    return g_up;
}

}  // namespace platform

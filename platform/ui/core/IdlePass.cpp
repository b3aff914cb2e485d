#include "platform/ui/core/IdlePass.h"

#include <utility>
#include <vector>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QMetaObject>

#include "platform/ui/core/CommandActions.h"
#include "platform/ui/core/ModalState.h"

namespace platform {
namespace {

// UI thread only.
struct IdleState {
    std::vector<std::pair<int, std::function<void()>>> hooks;
    int nextHook = 1;
    bool running = false;
    int passes = 0;
    QMetaObject::Connection loop;
};

IdleState& State()
{
    static IdleState state;
    return state;
}

}  // namespace

int AddIdleHook(std::function<void()> hook)
{
    IdleState& state = State();
    const int handle = state.nextHook++;
    state.hooks.emplace_back(handle, std::move(hook));
    return handle;
}

void RemoveIdleHook(int handle)
{
    std::erase_if(State().hooks, [handle](const auto& entry) { return entry.first == handle; });
}

bool RunIdlePass()
{
    IdleState& state = State();
    if (state.running) {
        return false;
    }
    state.running = true;
    ++state.passes;
    // A copy: a hook may add or remove hooks.
    const auto hooks = state.hooks;
    for (const auto& [handle, hook] : hooks) {
        hook();
    }
    UpdateCommandUis();
    state.running = false;
    return true;
}

int IdlePassCount()
{
    return State().passes;
}

void StartIdleOnEventLoop()
{
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(QCoreApplication::instance()->thread());
    if (dispatcher == nullptr || State().loop) {
        return;
    }
    State().loop = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, dispatcher, [] {
        if (!IsModalRunning()) {
            RunIdlePass();
        }
    });
}

void StopIdleOnEventLoop()
{
    QObject::disconnect(State().loop);
    State().loop = {};
}

}  // namespace platform

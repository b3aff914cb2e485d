#include "platform/ui/core/KeyState.h"

#include <memory>
#include <set>

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QObject>

namespace platform {
namespace {

// UI thread only.
std::set<int>& DownKeys()
{
    static std::set<int> keys;
    return keys;
}

class KeyStateFilter final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
            DownKeys().insert(static_cast<QKeyEvent*>(event)->key());
            break;
        case QEvent::KeyRelease: {
            auto* key = static_cast<QKeyEvent*>(event);
            // With key repeat the window system sends release-press pairs; the key stays down.
            if (!key->isAutoRepeat()) {
                DownKeys().erase(key->key());
            }
            break;
        }
        case QEvent::ApplicationDeactivate:
            DownKeys().clear();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }
};

std::unique_ptr<KeyStateFilter>& Filter()
{
    static std::unique_ptr<KeyStateFilter> filter;
    return filter;
}

}  // namespace

bool IsKeyDown(int key)
{
    return DownKeys().count(key) != 0;
}

void ResetKeyState()
{
    DownKeys().clear();
}

void InstallKeyStateFilter()
{
    if (!Filter()) {
        Filter() = std::make_unique<KeyStateFilter>();
        QCoreApplication::instance()->installEventFilter(Filter().get());
    }
}

void RemoveKeyStateFilter()
{
    Filter().reset();
    ResetKeyState();
}

}  // namespace platform

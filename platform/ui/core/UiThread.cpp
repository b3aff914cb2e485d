#include "platform/ui/core/UiThread.h"

#include <QCoreApplication>
#include <QThread>

namespace platform {

bool IsUiThread()
{
    const QCoreApplication* application = QCoreApplication::instance();
    return application != nullptr && QThread::currentThread() == application->thread();
}

}  // namespace platform

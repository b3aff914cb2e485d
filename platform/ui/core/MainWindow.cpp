#include "platform/ui/core/MainWindow.h"

#include <QPointer>
#include <QWidget>

namespace platform {
namespace {

QPointer<QWidget>& Stored()
{
    static QPointer<QWidget> window;
    return window;
}

}  // namespace

void SetMainWindow(QWidget* window)
{
    Stored() = window;
}

QWidget* MainWindow()
{
    return Stored().data();
}

}  // namespace platform

#include "platform/ui/core/ModalState.h"

#include <QApplication>

namespace platform {
namespace {

int g_depth = 0;  // UI thread only

}  // namespace

bool IsModalRunning()
{
    return g_depth > 0 || QApplication::activeModalWidget() != nullptr;
}

int ModalDepth()
{
    return g_depth;
}

ModalScope::ModalScope()
{
    ++g_depth;
}

ModalScope::~ModalScope()
{
    --g_depth;
}

}  // namespace platform

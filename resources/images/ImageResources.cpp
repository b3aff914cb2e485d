#include "resources/images/ImageResources.h"

#include <mutex>

#include <QtCore/qglobal.h>

// Q_INIT_RESOURCE must be used outside any namespace.
static void RegisterProgramImages()
{
    Q_INIT_RESOURCE(ProgramImages);
}

void InitImageResources()
{
    static std::once_flag once;
    std::call_once(once, RegisterProgramImages);
}

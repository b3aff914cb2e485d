#include "platform/ui/core/ControlNotify.h"

#include <QWidget>

namespace platform {

IControlNotify* NotifyTargetOf(const QWidget* control)
{
    if (control == nullptr) {
        return nullptr;
    }
    // dynamic_cast sees the parent's current dynamic type, so a parent in its destructor
    // no longer answers as a notice target.
    return dynamic_cast<IControlNotify*>(control->parentWidget());
}

}  // namespace platform

#include "platform/ui/core/PlaceholderControl.h"

namespace platform {

PlaceholderControl::PlaceholderControl(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

}  // namespace platform

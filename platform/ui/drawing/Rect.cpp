#include "platform/ui/drawing/Rect.h"

#include <QRect>

namespace platform {

Rect Rect::FromQRect(const QRect& rect)
{
    return Rect{rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

QRect Rect::ToQRect() const
{
    return QRect(left, top, Width(), Height());
}

}  // namespace platform

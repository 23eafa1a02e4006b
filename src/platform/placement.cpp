#include "platform/placement.h"

#include <algorithm>

namespace vb {

QPoint StartUpPlace(const QRect& area, QSize window, const QRect& screen)
{
    // Centred by the difference in size, so that a window the size of its area lies on it.
    const QPoint centred =
        area.topLeft() + QPoint((area.width() - window.width()) / 2, (area.height() - window.height()) / 2);
    // Too big for the screen: its top-left corner stays on it, where a window is grasped to be moved.
    return {std::max(screen.left(), std::min(centred.x(), screen.right() + 1 - window.width())),
            std::max(screen.top(), std::min(centred.y(), screen.bottom() + 1 - window.height()))};
}

} // namespace vb

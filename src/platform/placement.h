#pragma once
// Where a window opens on the screen, for the forms and the help viewer alike.
#include <QPoint>
#include <QRect>
#include <QSize>

namespace vb {

// Where a window of `window` size centred on `area` goes: kept on the
// `screen`'s available area, its top-left corner on it when it is bigger.
QPoint StartUpPlace(const QRect& area, QSize window, const QRect& screen);

} // namespace vb

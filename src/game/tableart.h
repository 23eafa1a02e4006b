// The table window's background and the end-of-match panel, painted at a device
// pixel ratio.
#pragma once

#include <QPixmap>
#include <QRgb>
#include <QSize>

namespace tableart {

// Grey of the table's panel, title strip, score box and stake box: opaque labels
// placed there blend in when they take this back colour.
inline constexpr QRgb PanelColour = qRgb(212, 208, 200);

inline constexpr QSize TableSize(796, 513);

QPixmap Table(qreal dpr);        // TableSize, the table window's background
QPixmap WinnerPanel(qreal dpr);  // 403 x 185, the end-of-match announcement

}  // namespace tableart

// What faces and backs share: the rounded white body with keyed corners and the
// gold of the court figures and of some backs.
#pragma once

#include <QColor>
#include <QPainter>
#include <QPixmap>
#include <QRgb>

#include <functional>

namespace art {

inline constexpr QColor Gold(227, 178, 60), GoldDark(138, 106, 16);

// Paints a card body at `dpr`, then `paint` over it in logical units, and keys
// its corners with `key`.
QPixmap PaintCard(qreal dpr, QRgb key, const std::function<void(QPainter&)>& paint);

}  // namespace art

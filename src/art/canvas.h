// The canvas the program's pictures are painted on, at a device pixel ratio so
// that they stay sharp on high-density screens, and the four suit symbols that
// cards, backs and the table share.
#pragma once

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPixmap>

namespace art {

enum Suit { Clubs, Hearts, Spades, Diamonds };

inline constexpr QColor Ink(20, 20, 20);
inline constexpr QColor SuitRed(200, 18, 40);

// A ratio of zero or less (no screen) paints at 1.
qreal SaneRatio(qreal dpr);

// An image of `logical` pixels at `dpr`, filled with `fill`.
QImage NewImage(QSize logical, qreal dpr, QImage::Format format, QColor fill);

// Sets the painter up to draw in logical units that cover the whole image.
void BeginLogical(QPainter& p, QImage& image, QSize logical);

// The finished picture, carrying its ratio.
QPixmap Finish(QImage image, qreal dpr);

QColor SuitColour(int suit);

// Fills a suit symbol `height` tall centred on `centre`, upside down when `inverted`.
void FillSuit(QPainter& p, int suit, QPointF centre, qreal height, const QBrush& brush,
              bool inverted = false);

}  // namespace art

#include "art/cardbody.h"
#include "art/cards.h"

#include "art/canvas.h"

#include <QtMath>

namespace art {
namespace {

constexpr qreal CardRadius = 4.0;

QRectF CardRect() { return QRectF(0, 0, CardWidth, CardHeight); }

// True when the centre of physical pixel (x, y) lies on the rounded card.
bool OnCard(int x, int y, qreal sx, qreal sy)
{
    const qreal cx = (x + 0.5) / sx, cy = (y + 0.5) / sy;
    const qreal dx = qMax(0.0, qMax(CardRadius - cx, cx - (CardWidth - CardRadius)));
    const qreal dy = qMax(0.0, qMax(CardRadius - cy, cy - (CardHeight - CardRadius)));
    return dx * dx + dy * dy <= CardRadius * CardRadius;
}

// Forces every pixel off the rounded card to the exact key, and moves any pixel of
// the card that happens to equal a key colour off it, so that a mask made from the
// key cuts the card exactly round.
void KeyCorners(QImage& image, QRgb key)
{
    const qreal sx = qreal(image.width()) / CardWidth, sy = qreal(image.height()) / CardHeight;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            QRgb& px = line[x];
            if (!OnCard(x, y, sx, sy))
                px = key;
            else if (px == FaceKey || px == BackKey)
                px = qRgb(qRed(px), qGreen(px) + 1, qBlue(px));
        }
    }
}

// The device pixels a card's box shows wherever it lies: at a fractional ratio
// the box covers one pixel fewer at some places than at others (106 or 107 at 1.5).
QSize AlwaysShown(qreal dpr)
{
    constexpr qreal slack = 1e-9; // a product meant to be whole may come out a hair under it
    return QSize(qMax(1, qFloor(CardWidth * dpr + slack)), qMax(1, qFloor(CardHeight * dpr + slack)));
}

// `full` filled with `card` from its top left, the card's last column and row
// repeated where it is smaller.
void RepeatEdges(const QImage& card, QImage& full)
{
    for (int y = 0; y < full.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(card.constScanLine(qMin(y, card.height() - 1)));
        auto* to = reinterpret_cast<QRgb*>(full.scanLine(y));
        for (int x = 0; x < full.width(); ++x)
            to[x] = from[qMin(x, card.width() - 1)];
    }
}

}  // namespace

QPixmap PaintCard(qreal dpr, QRgb key, const std::function<void(QPainter&)>& paint)
{
    dpr = SaneRatio(dpr);
    // Painted on the outline's colour, so that the smoothed rim blends with the
    // outline and never with the key.
    const QColor outline(120, 120, 120);
    // The card fills the pixels that every box shows; a box that shows one more
    // sees the outline's column or row again, so the outline is whole in either.
    QImage card(AlwaysShown(dpr), QImage::Format_RGB32);
    card.fill(outline);
    QPainter p;
    BeginLogical(p, card, QSize(CardWidth, CardHeight));
    p.setPen(QPen(outline, 0.8));
    p.setBrush(Qt::white);
    p.drawRoundedRect(CardRect().adjusted(0.4, 0.4, -0.4, -0.4), CardRadius - 0.4, CardRadius - 0.4);
    paint(p);
    p.end();
    KeyCorners(card, key);
    QImage image = NewImage(QSize(CardWidth, CardHeight), dpr, QImage::Format_RGB32, outline);
    RepeatEdges(card, image);
    return Finish(std::move(image), dpr);
}

QPixmap Shadow(qreal dpr)
{
    dpr = SaneRatio(dpr);
    const QSize size(77, 103);
    QImage image = NewImage(size, dpr, QImage::Format_ARGB32_Premultiplied, Qt::transparent);
    // Alpha falls off smoothly with the distance from a rounded card outline.
    const qreal sx = qreal(image.width()) / size.width(), sy = qreal(image.height()) / size.height();
    const QRectF core(4, 4, size.width() - 8, size.height() - 8);
    const qreal radius = 4, soft = 3.5, strongest = 0.55;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const qreal cx = (x + 0.5) / sx, cy = (y + 0.5) / sy;
            const qreal dx = qMax(0.0, qMax(core.left() + radius - cx, cx - (core.right() - radius)));
            const qreal dy = qMax(0.0, qMax(core.top() + radius - cy, cy - (core.bottom() - radius)));
            const qreal outside = qSqrt(dx * dx + dy * dy) - radius;
            const qreal t = qBound(0.0, 1.0 - outside / soft, 1.0);
            const int a = qRound(255 * strongest * t * t * (3 - 2 * t));
            line[x] = qPremultiply(qRgba(0, 40, 8, a));
        }
    }
    return Finish(std::move(image), dpr);
}

}  // namespace art

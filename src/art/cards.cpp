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

}  // namespace

QPixmap PaintCard(qreal dpr, QRgb key, const std::function<void(QPainter&)>& paint)
{
    dpr = SaneRatio(dpr);
    // Painted on the outline's colour, so that the smoothed rim blends with the
    // outline and never with the key.
    const QColor outline(120, 120, 120);
    QImage image = NewImage(QSize(CardWidth, CardHeight), dpr, QImage::Format_RGB32, outline);
    QPainter p;
    BeginLogical(p, image, QSize(CardWidth, CardHeight));
    p.setPen(QPen(outline, 0.8));
    p.setBrush(Qt::white);
    p.drawRoundedRect(CardRect().adjusted(0.4, 0.4, -0.4, -0.4), CardRadius - 0.4, CardRadius - 0.4);
    paint(p);
    p.end();
    KeyCorners(image, key);
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

#include "art/canvas.h"

#include <QPainterPath>
#include <QTransform>

#include <array>

namespace art {
namespace {

// ---------------------------------------------------------------- suit shapes

// Each shape fits a unit box centred on the origin, point or stem downwards.

// Union of two unit shapes; done at a large scale, since the union flattens
// curves into lines at a fixed tolerance.
QPainterPath Unite(const QPainterPath& a, const QPainterPath& b)
{
    const QTransform up = QTransform::fromScale(1000, 1000);
    return QTransform::fromScale(0.001, 0.001).map(up.map(a).united(up.map(b)));
}

QPainterPath HeartShape()
{
    QPainterPath s;
    s.moveTo(0, 0.5);
    s.cubicTo(-0.12, 0.32, -0.5, 0.1, -0.5, -0.17);
    s.cubicTo(-0.5, -0.38, -0.36, -0.5, -0.24, -0.5);
    s.cubicTo(-0.11, -0.5, -0.03, -0.42, 0, -0.3);
    s.cubicTo(0.03, -0.42, 0.11, -0.5, 0.24, -0.5);
    s.cubicTo(0.36, -0.5, 0.5, -0.38, 0.5, -0.17);
    s.cubicTo(0.5, 0.1, 0.12, 0.32, 0, 0.5);
    return s;
}

QPainterPath DiamondShape()
{
    QPainterPath s;
    s.moveTo(0, -0.5);
    s.quadTo(0.2, -0.21, 0.4, 0);
    s.quadTo(0.2, 0.21, 0, 0.5);
    s.quadTo(-0.2, 0.21, -0.4, 0);
    s.quadTo(-0.2, -0.21, 0, -0.5);
    return s;
}

// The flared stem shared by spades and clubs.
QPainterPath StemShape()
{
    QPainterPath s;
    s.moveTo(-0.05, 0.1);
    s.lineTo(0.05, 0.1);
    s.cubicTo(0.05, 0.32, 0.12, 0.45, 0.22, 0.5);
    s.lineTo(-0.22, 0.5);
    s.cubicTo(-0.12, 0.45, -0.05, 0.32, -0.05, 0.1);
    return s;
}

QPainterPath SpadeShape()
{
    QPainterPath s;
    s.moveTo(0, -0.5);
    s.cubicTo(0.1, -0.34, 0.47, -0.14, 0.47, 0.1);
    s.cubicTo(0.47, 0.27, 0.35, 0.36, 0.23, 0.36);
    s.cubicTo(0.13, 0.36, 0.05, 0.3, 0, 0.22);
    s.cubicTo(-0.05, 0.3, -0.13, 0.36, -0.23, 0.36);
    s.cubicTo(-0.35, 0.36, -0.47, 0.27, -0.47, 0.1);
    s.cubicTo(-0.47, -0.14, -0.1, -0.34, 0, -0.5);
    return Unite(s, StemShape());
}

QPainterPath ClubShape()
{
    QPainterPath s;
    const qreal r = 0.225;
    for (const QPointF c : {QPointF(0, -0.275), QPointF(-0.255, 0.09), QPointF(0.255, 0.09)}) {
        QPainterPath leaf;
        leaf.addEllipse(c, r, r);
        s = Unite(s, leaf);
    }
    QPainterPath heart;
    heart.addEllipse(QPointF(0, 0.02), 0.13, 0.13);
    return Unite(Unite(s, heart), StemShape());
}

const QPainterPath& SuitShape(int suit)
{
    static const std::array<QPainterPath, 4> shapes{ClubShape(), HeartShape(), SpadeShape(),
                                                   DiamondShape()};
    return shapes[suit];
}

}  // namespace

qreal SaneRatio(qreal dpr) { return dpr > 0 ? dpr : 1.0; }

QImage NewImage(QSize logical, qreal dpr, QImage::Format format, QColor fill)
{
    QImage image(qMax(1, qRound(logical.width() * dpr)), qMax(1, qRound(logical.height() * dpr)),
                 format);
    image.fill(fill);
    return image;
}

void BeginLogical(QPainter& p, QImage& image, QSize logical)
{
    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(qreal(image.width()) / logical.width(), qreal(image.height()) / logical.height());
}

QPixmap Finish(QImage image, qreal dpr)
{
    image.setDevicePixelRatio(dpr);
    return QPixmap::fromImage(std::move(image));
}

QColor SuitColour(int suit) { return suit == Hearts || suit == Diamonds ? SuitRed : Ink; }

void FillSuit(QPainter& p, int suit, QPointF centre, qreal height, const QBrush& brush,
              bool inverted)
{
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.scale(height, height);
    if (inverted)
        t.rotate(180);
    p.fillPath(t.map(SuitShape(suit)), brush);
}

}  // namespace art

#include "shell/dialogart.h"

#include "art/cards.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace dialogart {
namespace {

// A transparent picture of `logical` pixels, drawn in logical units.
template <class Painter>
QPixmap Paint(QSize logical, qreal dpr, QColor fill, Painter paint)
{
    dpr = dpr > 0 ? dpr : 1.0;
    QImage image(qRound(logical.width() * dpr), qRound(logical.height() * dpr),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.scale(qreal(image.width()) / logical.width(), qreal(image.height()) / logical.height());
    paint(p);
    p.end();
    image.setDevicePixelRatio(dpr);
    return QPixmap::fromImage(image);
}

// The speaker of both sound icons: a box and its cone, facing right.
void Speaker(QPainter& p)
{
    QPainterPath body;
    body.moveTo(2.5, 7.5);
    body.lineTo(6, 7.5);
    body.lineTo(10.5, 3);
    body.lineTo(10.5, 17);
    body.lineTo(6, 12.5);
    body.lineTo(2.5, 12.5);
    body.closeSubpath();
    QLinearGradient shade(0, 3, 0, 17);
    shade.setColorAt(0, QColor(0x70, 0x78, 0x80));
    shade.setColorAt(1, QColor(0x30, 0x36, 0x3C));
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(shade);
    p.drawPath(body);
}

} // namespace

QPixmap HelpMark(qreal dpr)
{
    return Paint(QSize(17, 17), dpr, Qt::transparent, [](QPainter& p) {
        QRadialGradient disc(QPointF(6.5, 5.5), 10);
        disc.setColorAt(0, QColor(0x6C, 0xA8, 0xF0));
        disc.setColorAt(1, QColor(0x10, 0x4C, 0xB8));
        p.setPen(QPen(QColor(0x0A, 0x32, 0x80), 1));
        p.setBrush(disc);
        p.drawEllipse(QRectF(0.5, 0.5, 16, 16));
        QFont font("Liberation Sans");
        font.setPixelSize(13);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(0.5, 0.5, 16, 16), Qt::AlignCenter, "?");
    });
}

QPixmap SoundOn(qreal dpr)
{
    return Paint(QSize(20, 20), dpr, Qt::transparent, [](QPainter& p) {
        Speaker(p);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0x18, 0x8A, 0x3C), 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(8, 6, 6, 8), -50 * 16, 100 * 16);
        p.drawArc(QRectF(7, 3, 10, 14), -55 * 16, 110 * 16);
        p.drawArc(QRectF(6, 0.5, 13, 19), -58 * 16, 116 * 16);
    });
}

QPixmap SoundOff(qreal dpr)
{
    return Paint(QSize(20, 20), dpr, Qt::transparent, [](QPainter& p) {
        Speaker(p);
        p.setPen(QPen(QColor(0xD0, 0x18, 0x18), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(13, 7), QPointF(18.5, 13));
        p.drawLine(QPointF(18.5, 7), QPointF(13, 13));
    });
}

QPixmap AboutPicture(qreal dpr)
{
    const QSize size(150, 124);
    return Paint(size, dpr, Qt::white, [&](QPainter& p) {
        // The four old manilhas, the strongest on the left, turned about a
        // point below the picture like cards held in a hand.
        const int cards[] = {1, 14, 31, 16};
        const qreal angles[] = {-15, -5, 5, 15};
        const QPointF pivot(size.width() / 2.0, 190);
        const qreal scale = 0.85;
        for (int i = 0; i < 4; ++i) {
            const QPixmap face = art::Face(cards[i], dpr * 2);
            p.save();
            p.translate(pivot);
            p.rotate(angles[i]);
            p.scale(scale, scale);
            const QRectF body(-art::CardWidth / 2.0, -212, art::CardWidth, art::CardHeight);
            // The key-coloured corners stay out of the picture.
            QPainterPath round;
            round.addRoundedRect(body.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
            p.setClipPath(round);
            p.drawPixmap(body, face, QRectF(face.rect()));
            p.setClipping(false);
            p.setPen(QPen(QColor(0x60, 0x60, 0x60), 0.8));
            p.setBrush(Qt::NoBrush);
            p.drawPath(round);
            p.restore();
        }
    });
}

} // namespace dialogart

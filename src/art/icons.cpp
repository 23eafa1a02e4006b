#include "art/icons.h"

#include "art/cache.h"
#include "art/canvas.h"

#include <QGuiApplication>
#include <QPainterPath>
#include <QRadialGradient>
#include <QScreen>

namespace art {
namespace {

// A white pointing glove with a black outline, its fingertip at (11, 1).
QPixmap HandPixmap(qreal dpr)
{
    QImage image = NewImage(QSize(32, 32), dpr, QImage::Format_ARGB32_Premultiplied, Qt::transparent);
    QPainter p;
    BeginLogical(p, image, QSize(32, 32));
    QPainterPath hand;
    const auto add = [&hand](const QRectF& r, qreal radius) {
        QPainterPath part;
        part.addRoundedRect(r, radius, radius);
        hand = hand.united(part);
    };
    add(QRectF(8.5, 1, 5, 17), 2.5);
    add(QRectF(13.5, 9, 5, 10), 2.5);
    add(QRectF(18.5, 10, 5, 10), 2.5);
    add(QRectF(23.5, 12, 4.5, 9), 2.2);
    add(QRectF(8.5, 14, 19.5, 13), 4);
    add(QRectF(10.5, 25, 16, 5), 1);
    QPainterPath thumb;
    thumb.addRoundedRect(QRectF(-3, -2.5, 10, 5), 2.5, 2.5);
    hand = hand.united(QTransform().translate(7, 18.5).rotate(55).map(thumb));
    p.setPen(QPen(Qt::black, 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(hand);
    for (qreal x : {13.5, 18.5, 23.5})
        p.drawLine(QPointF(x, 12), QPointF(x, 17));
    p.drawLine(QPointF(10.5, 25), QPointF(26.5, 25));
    p.end();
    image.setDevicePixelRatio(dpr);
    return QPixmap::fromImage(image);
}

}  // namespace

// Two fanned cards, the 7 of hearts and the 4 of clubs, on a rounded felt tile.
QPixmap ProgramIconPicture(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    QRadialGradient felt(QPointF(32, 28), 40);
    felt.setColorAt(0, QColor(30, 160, 40));
    felt.setColorAt(1, QColor(6, 96, 14));
    p.setPen(QPen(QColor(4, 60, 10), 1.5));
    p.setBrush(felt);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    const struct { qreal angle; int suit; } cards[] = {{-24, Hearts}, {10, Clubs}};
    for (const auto& card : cards) {
        p.save();
        p.translate(32, 56);
        p.rotate(card.angle);
        const QRectF body(-13, -44, 26, 36);
        p.setPen(QPen(QColor(90, 90, 90), 1));
        p.setBrush(Qt::white);
        p.drawRoundedRect(body, 3, 3);
        FillSuit(p, card.suit, body.center() - QPointF(card.angle < 0 ? 3 : 0, 2), 15,
                 SuitColour(card.suit));
        p.restore();
    }
    p.end();
    return QPixmap::fromImage(image);
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(
            Cached(QStringLiteral("icon"), QSize(size, size), 1, [size] { return ProgramIconPicture(size); }));
    return icon;
}

QCursor HandCursor()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal dpr = screen ? screen->devicePixelRatio() : 1.0;
    return QCursor(Cached(QStringLiteral("hand"), QSize(32, 32), dpr, [dpr] { return HandPixmap(dpr); }), 11, 1);
}

}  // namespace art

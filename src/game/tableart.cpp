#include "game/tableart.h"

#include "art/canvas.h"
#include "game/tablelayout.h"
#include "platform/forms/twips.h"

#include <QLinearGradient>

namespace tableart {
namespace {

using art::BeginLogical;
using art::FillSuit;
using art::Finish;
using art::Ink;
using art::NewImage;
using art::SaneRatio;

constexpr int FeltRight = 660;
constexpr int TitleHeight = 26;
const QColor Panel = QColor::fromRgb(PanelColour);
constexpr QColor FeltColour(8, 128, 10);

constexpr qreal Tw(int twips) { return qreal(twips) / vb::TwipsPerPixel; }

QRectF InPixels(const tablelayout::TwipRect& r)
{
    return QRectF(Tw(r.Left), Tw(r.Top), Tw(r.Width), Tw(r.Height));
}

// A raised (or, with `sunken`, lowered) two-tone edge inside `r`.
void Bevel(QPainter& p, const QRectF& r, bool sunken)
{
    const QColor light(255, 255, 255, 220), dark(96, 96, 96, 220);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(sunken ? dark : light, 1));
    p.drawPolyline(QPolygonF({r.bottomLeft(), r.topLeft(), r.topRight()}));
    p.setPen(QPen(sunken ? light : dark, 1));
    p.drawPolyline(QPolygonF({r.topRight(), r.bottomRight(), r.bottomLeft()}));
}

// Deterministic grain of the felt, -1..1 per physical pixel.
qreal Grain(int x, int y)
{
    quint32 h = quint32(x) * 374761393u + quint32(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return ((h ^ (h >> 16)) & 0xFF) / 127.5 - 1.0;
}

void PaintFeltGrain(QImage& image, const QRectF& felt, qreal sx, qreal sy)
{
    const QRect area = QRectF(felt.left() * sx, felt.top() * sy, felt.width() * sx,
                              felt.height() * sy).toAlignedRect() & image.rect();
    const QPointF centre = felt.center();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const qreal dx = (x / sx - centre.x()) / felt.width();
            const qreal dy = (y / sy - centre.y()) / felt.height();
            const qreal shade = 1.0 - 0.35 * (dx * dx + dy * dy) + 0.025 * Grain(x, y);
            line[x] = qRgb(qBound(0, qRound(FeltColour.red() * shade), 255),
                           qBound(0, qRound(FeltColour.green() * shade), 255),
                           qBound(0, qRound(FeltColour.blue() * shade), 255));
        }
    }
}

void PaintFeltSymbols(QPainter& p, const QRectF& felt)
{
    const QRectF inner = felt.adjusted(18, 18, -18, -18);
    int row = 0;
    for (qreal y = felt.top() + 30; y < inner.bottom(); y += 44, ++row) {
        int col = 0;
        for (qreal x = felt.left() + (row % 2 ? 48 : 24); x < inner.right(); x += 48, ++col)
            FillSuit(p, (row + col) % 4, QPointF(x, y), 13, QColor(255, 255, 255, 13));
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(170, 230, 150, 50), 1));
    p.drawRoundedRect(felt.adjusted(7.5, 7.5, -7.5, -7.5), 10, 10);
}

void PaintGreenButton(QPainter& p, const QRectF& r)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(140, 212, 128));
    g.setColorAt(0.5, QColor(84, 168, 80));
    g.setColorAt(1, QColor(48, 132, 50));
    p.setPen(QPen(QColor(26, 76, 30), 1));
    p.setBrush(g);
    p.drawRoundedRect(r, 4, 4);
    p.setPen(QPen(QColor(255, 255, 255, 110), 1));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(r.left() + 4, r.top() + 1.5), QPointF(r.right() - 4, r.top() + 1.5));
}

// A face around a label: a little wider and taller than its text, which sits at
// the label's top.
QRectF FaceAround(const QRectF& label, qreal grow)
{
    return QRectF(label.left() - grow, label.top() - 3.5, label.width() + 2 * grow,
                  label.height() + 5.5).adjusted(0.5, 0.5, -0.5, 0);
}

void PaintMenuFaces(QPainter& p)
{
    for (const tablelayout::TwipRect& label : tablelayout::lblMenu)
        PaintGreenButton(p, FaceAround(InPixels(label), 4).adjusted(0, 0, 0, 1));
}

void PaintEtchedBox(QPainter& p, const QRectF& r)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(140, 136, 128), 1));
    p.drawRoundedRect(r, 3, 3);
    p.setPen(QPen(Qt::white, 1));
    p.drawRoundedRect(r.translated(1, 1), 3, 3);
}

void PaintScoreBox(QPainter& p)
{
    using namespace tablelayout;
    const TwipRect& title = lblPartidas;
    const TwipRect& lastScore = lblTotal[1];
    const QRectF box(Tw(title.Left) - 5.5, Tw(title.Top) - 5.5, Tw(lastScore.Right()) - Tw(title.Left) + 14,
                     Tw(lastScore.Bottom()) - Tw(title.Top) + 9);
    PaintEtchedBox(p, box);
    // The rule runs between the hand's scores and the match's.
    const qreal split = (Tw(lblNome[2].Bottom()) + Tw(Label3.Top)) / 2 + 0.5;
    p.setPen(QPen(QColor(140, 136, 128), 1));
    p.drawLine(QPointF(box.left() + 5, split), QPointF(box.right() - 5, split));
    p.setPen(QPen(Qt::white, 1));
    p.drawLine(QPointF(box.left() + 5, split + 1), QPointF(box.right() - 5, split + 1));
}

// The raised grey box on the felt holding the stake and the raise and run faces.
void PaintStakeBox(QPainter& p)
{
    const QRectF vorla = InPixels(tablelayout::lblVorla), correr = InPixels(tablelayout::lblCorrer);
    const qreal top = Tw(tablelayout::lblValendo.Top);
    const QRectF box = QRectF(correr.left() - 10.5, top - 7.5, vorla.right() - correr.left() + 21,
                              correr.bottom() - top + 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 30, 0, 70));
    p.drawRoundedRect(box.translated(2, 2), 6, 6);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Panel);
    p.drawRoundedRect(box, 6, 6);
    p.setPen(QPen(QColor(255, 255, 255, 200), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(box.adjusted(1, 1, -1, -1), 5, 5);
    PaintGreenButton(p, FaceAround(vorla, 4));
    PaintGreenButton(p, FaceAround(correr, 4));
}

void PaintWindowButton(QPainter& p, const QRectF& r, bool close)
{
    p.setPen(QPen(QColor(64, 64, 64), 1));
    p.setBrush(Panel);
    p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
    Bevel(p, r.adjusted(1.5, 1.5, -1.5, -1.5), false);
    p.setPen(QPen(Ink, 1.6, Qt::SolidLine, Qt::SquareCap));
    const QPointF c = r.center();
    if (close) {
        p.drawLine(c + QPointF(-3, -3), c + QPointF(3, 3));
        p.drawLine(c + QPointF(-3, 3), c + QPointF(3, -3));
    } else {
        p.drawLine(c + QPointF(-3.5, 3), c + QPointF(3.5, 3));
    }
}

void PaintTitleStrip(QPainter& p)
{
    // Engraved stripes after the title text read as the window's title bar.
    for (qreal y = 7.5; y < 20; y += 2) {
        p.setPen(QPen(QColor(160, 156, 148), 1));
        p.drawLine(QPointF(86, y), QPointF(732, y));
        p.setPen(QPen(Qt::white, 1));
        p.drawLine(QPointF(86, y + 1), QPointF(732, y + 1));
    }
    PaintWindowButton(p, InPixels(tablelayout::imgMini), false);
    PaintWindowButton(p, InPixels(tablelayout::imgClose), true);
}

// Four embossed suit symbols fill the empty foot of the panel.
void PaintPanelFoot(QPainter& p)
{
    for (int suit = 0; suit < 4; ++suit) {
        const QPointF at(FeltRight + 27.5 + 27 * suit, 446);
        FillSuit(p, suit, at + QPointF(1, 1), 16, Qt::white);
        FillSuit(p, suit, at, 16, QColor(170, 166, 158));
    }
}


}  // namespace

QPixmap Table(qreal dpr)
{
    dpr = SaneRatio(dpr);
    QImage image = NewImage(TableSize, dpr, QImage::Format_RGB32, Panel);
    const QRectF felt(3, TitleHeight + 1, FeltRight - 3, TableSize.height() - TitleHeight - 4);
    PaintFeltGrain(image, felt, qreal(image.width()) / TableSize.width(),
                   qreal(image.height()) / TableSize.height());
    QPainter p;
    BeginLogical(p, image, TableSize);
    PaintFeltSymbols(p, felt);
    Bevel(p, felt.adjusted(-0.5, -0.5, 0.5, 0.5), true);
    Bevel(p, QRectF(0.5, 0.5, TableSize.width() - 1, TableSize.height() - 1), false);
    PaintTitleStrip(p);
    PaintMenuFaces(p);
    PaintScoreBox(p);
    PaintPanelFoot(p);
    PaintStakeBox(p);
    p.end();
    return Finish(std::move(image), dpr);
}

// A green frame headed "FIM DE JOGO" around a dark panel, a "VENCEDOR:" tab at
// its upper left and a large "X" between the two score places.
QPixmap WinnerPanel(qreal dpr)
{
    dpr = SaneRatio(dpr);
    const QSize size(403, 185);
    QImage image = NewImage(size, dpr, QImage::Format_RGB32, QColor(0x80, 0x80, 0x80));
    QPainter p;
    BeginLogical(p, image, size);
    const QRectF frame(0, 0, size.width(), size.height());
    p.setPen(Qt::NoPen);
    QLinearGradient green(0, 0, 0, size.height());
    green.setColorAt(0, QColor(0x2E, 0x9A, 0x4E));
    green.setColorAt(1, QColor(0x12, 0x5E, 0x2C));
    p.setBrush(green);
    p.drawRoundedRect(frame, 8, 8);
    const QRectF panel(18, 34, size.width() - 36, size.height() - 50);
    p.setBrush(QColor(0x1C, 0x24, 0x1F));
    p.drawRoundedRect(panel, 6, 6);
    Bevel(p, panel, true);

    QFont heading("Liberation Sans", 1, QFont::Bold);
    heading.setPixelSize(20);
    p.setFont(heading);
    p.setPen(QColor(0xFF, 0xE0, 0x70));
    p.drawText(QRectF(0, 4, size.width(), 28), Qt::AlignCenter, "FIM DE JOGO");

    const QRectF tab(24, 40, 134, 24);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2E, 0x9A, 0x4E));
    p.drawRoundedRect(tab, 4, 4);
    QFont small("Liberation Sans", 1, QFont::Bold);
    small.setPixelSize(15);
    p.setFont(small);
    p.setPen(Qt::white);
    p.drawText(tab, Qt::AlignCenter, "VENCEDOR:");

    QFont cross("Liberation Sans", 1, QFont::Bold);
    cross.setPixelSize(40);
    p.setFont(cross);
    p.drawText(QRectF(176, 88, 51, 50), Qt::AlignCenter, "X");
    p.end();
    return Finish(std::move(image), dpr);
}

}  // namespace tableart

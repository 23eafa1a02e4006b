#include "game/cardart.h"

#include "platform/forms/twips.h"

#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QScreen>
#include <QtMath>

#include <array>
#include <functional>

namespace cardart {
namespace {

// ---------------------------------------------------------------- canvas

constexpr qreal CardRadius = 4.0;
constexpr QColor Ink(20, 20, 20);
constexpr QColor SuitRed(200, 18, 40);

enum Suit { Clubs, Hearts, Spades, Diamonds };

qreal SaneRatio(qreal dpr) { return dpr > 0 ? dpr : 1.0; }

QImage NewImage(QSize logical, qreal dpr, QImage::Format format, QColor fill)
{
    QImage image(qMax(1, qRound(logical.width() * dpr)), qMax(1, qRound(logical.height() * dpr)),
                 format);
    image.fill(fill);
    return image;
}

// Sets the painter up to draw in logical units that cover the whole image.
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

// Glyph outlines are filled as paths, so that the pixels do not depend on the
// font hinting or subpixel settings of the desktop.
QFont OutlineFont(const QString& family, bool bold)
{
    QFont font(family);
    font.setPixelSize(100);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::NoFontMerging);
    return font;
}

// Fills `text` with its capital height scaled to `capHeight`, centred on `centre`.
void FillText(QPainter& p, const QString& text, const QFont& font, QPointF centre, qreal capHeight,
              const QBrush& brush)
{
    QPainterPath cap;
    cap.addText(0, 0, font, QStringLiteral("H"));
    QPainterPath path;
    path.addText(0, 0, font, text);
    const qreal k = capHeight / cap.boundingRect().height();
    const QRectF box = path.boundingRect();
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.scale(k, k);
    t.translate(-box.center().x(), -cap.boundingRect().center().y());
    p.fillPath(t.map(path), brush);
}

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

QColor SuitColour(int suit) { return suit == Hearts || suit == Diamonds ? SuitRed : Ink; }

// Fills a suit symbol `height` tall centred on `centre`, upside down when `inverted`.
void FillSuit(QPainter& p, int suit, QPointF centre, qreal height, const QBrush& brush,
              bool inverted = false)
{
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.scale(height, height);
    if (inverted)
        t.rotate(180);
    p.fillPath(t.map(SuitShape(suit)), brush);
}

// ---------------------------------------------------------------- card outline

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

// Paints a card body by `paint` and keys its corners.
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

// ---------------------------------------------------------------- faces

constexpr std::array<char, 10> RankLetters{'4', '5', '6', '7', 'Q', 'J', 'K', 'A', '2', '3'};
constexpr int RankQueen = 4, RankKing = 6, RankAce = 7;
constexpr QPointF CardCentre(CardWidth / 2.0, CardHeight / 2.0);

// Draws `paint` once as it is and once turned half round the card's centre.
void BothEnds(QPainter& p, const std::function<void()>& paint)
{
    paint();
    p.save();
    p.translate(CardWidth, CardHeight);
    p.rotate(180);
    paint();
    p.restore();
}

void PaintIndex(QPainter& p, int rank, int suit)
{
    static const QFont font = OutlineFont(QStringLiteral("Liberation Serif"), true);
    const QColor colour = SuitColour(suit);
    BothEnds(p, [&] {
        FillText(p, QString(QChar(RankLetters[rank])), font, QPointF(7.5, 9.5), 9.5, colour);
        FillSuit(p, suit, QPointF(7.5, 21), 8, colour);
    });
}

// Pip places for the number cards, by count of pips.
QList<QPointF> PipPlaces(int count)
{
    constexpr qreal L = 24, C = 35.5, R = 47, T = 21, M = 48, B = 75;
    switch (count) {
    case 2: return {{C, T}, {C, B}};
    case 3: return {{C, T}, {C, M}, {C, B}};
    case 4: return {{L, T}, {R, T}, {L, B}, {R, B}};
    case 5: return {{L, T}, {R, T}, {C, M}, {L, B}, {R, B}};
    case 6: return {{L, T}, {R, T}, {L, M}, {R, M}, {L, B}, {R, B}};
    case 7: return {{L, T}, {R, T}, {C, 35}, {L, M}, {R, M}, {L, B}, {R, B}};
    }
    return {};
}

int PipCount(int rank) { return rank < RankQueen ? rank + 4 : rank - 6; }

void PaintPips(QPainter& p, int rank, int suit)
{
    for (const QPointF& at : PipPlaces(PipCount(rank)))
        FillSuit(p, suit, at, 14, SuitColour(suit), at.y() > CardCentre.y());
}

void PaintAce(QPainter& p, int suit)
{
    if (suit != Spades) {
        FillSuit(p, suit, CardCentre, 32, SuitColour(suit));
        return;
    }
    // The ace of spades gets the grander, ringed pip it traditionally has.
    p.setPen(QPen(Ink, 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(CardCentre, 24, 24);
    p.drawEllipse(CardCentre, 22, 22);
    for (int i = 0; i < 8; ++i) {
        const qreal a = qDegreesToRadians(22.5 + 45.0 * i);
        p.setBrush(Ink);
        p.drawEllipse(CardCentre + QPointF(23 * qCos(a), 23 * qSin(a)), 1.1, 1.1);
    }
    FillSuit(p, suit, CardCentre, 36, Ink);
    FillSuit(p, suit, CardCentre + QPointF(0, -1.5), 9, Qt::white);
}

// ---- court cards: a framed double-ended figure

struct CourtLook {
    QColor robe, trim, hair;
};

CourtLook LookOf(int rank)
{
    if (rank == RankQueen)
        return {QColor(36, 86, 166), QColor(200, 32, 46), QColor(201, 139, 43)};
    if (rank == RankKing)
        return {QColor(184, 32, 44), QColor(36, 86, 166), QColor(150, 150, 150)};
    return {QColor(46, 125, 58), QColor(200, 32, 46), QColor(122, 74, 30)};
}

const QRectF CourtFrame(14.5, 10.5, 42, 75);
constexpr qreal Cx = 35.5;  // the figure's axis
const QColor Gold(227, 178, 60), GoldDark(138, 106, 16), Skin(246, 214, 176);

void PaintCrown(QPainter& p, int rank, const CourtLook& look)
{
    p.setPen(QPen(GoldDark, 0.6));
    p.setBrush(Gold);
    if (rank == RankKing) {
        p.drawPolygon(QPolygonF({{Cx - 6, 22.5}, {Cx - 6.5, 15.5}, {Cx - 3, 19}, {Cx, 13.5},
                                 {Cx + 3, 19}, {Cx + 6.5, 15.5}, {Cx + 6, 22.5}}));
        p.setBrush(SuitRed);
        p.drawEllipse(QPointF(Cx, 20.3), 1.1, 1.1);
    } else if (rank == RankQueen) {
        p.drawPolygon(QPolygonF({{Cx - 5, 22.5}, {Cx - 5.2, 18.5}, {Cx - 2.6, 20}, {Cx, 17},
                                 {Cx + 2.6, 20}, {Cx + 5.2, 18.5}, {Cx + 5, 22.5}}));
        for (const QPointF tip : {QPointF(Cx - 5.2, 18), QPointF(Cx, 16.4), QPointF(Cx + 5.2, 18)})
            p.drawEllipse(tip, 0.9, 0.9);
        p.setBrush(look.robe);
        p.drawEllipse(QPointF(Cx, 20.8), 0.9, 0.9);
    } else {  // the knave's cap with a feather
        p.setPen(QPen(Ink, 0.5));
        p.setBrush(look.trim);
        QPainterPath cap;
        cap.moveTo(Cx - 7, 23);
        cap.cubicTo(Cx - 7, 16, Cx + 7, 15, Cx + 6.5, 22.5);
        cap.closeSubpath();
        p.drawPath(cap);
        p.setPen(QPen(Gold, 1.4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath feather;
        feather.moveTo(Cx + 3, 18.5);
        feather.quadTo(Cx + 7, 16, Cx + 9, 12);
        p.drawPath(feather);
    }
}

void PaintHead(QPainter& p, int rank, const CourtLook& look)
{
    p.setPen(Qt::NoPen);
    p.setBrush(look.hair);
    if (rank == RankQueen)
        p.drawEllipse(QPointF(Cx, 31), 7.5, 9);
    else
        p.drawEllipse(QPointF(Cx, 27), 6.3, 6.5);
    p.setBrush(Skin);
    p.drawRect(QRectF(Cx - 1.8, 32, 3.6, 5));
    p.setPen(QPen(Ink, 0.5));
    p.drawEllipse(QPointF(Cx, 28.2), 5, 5.8);
    if (rank == RankKing) {
        p.setPen(Qt::NoPen);
        p.setBrush(look.hair);
        p.drawPolygon(QPolygonF({{Cx - 5, 29}, {Cx - 2, 30.5}, {Cx + 2, 30.5}, {Cx + 5, 29},
                                 {Cx + 3.5, 33.5}, {Cx, 37}, {Cx - 3.5, 33.5}}));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawEllipse(QPointF(Cx - 2, 27.3), 0.65, 0.65);
    p.drawEllipse(QPointF(Cx + 2, 27.3), 0.65, 0.65);
    p.setPen(QPen(QColor(170, 40, 40), 0.7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(Cx - 1.2, 31.4), QPointF(Cx + 1.2, 31.4));
}

void PaintRobe(QPainter& p, const CourtLook& look)
{
    p.setPen(QPen(Ink, 0.6));
    p.setBrush(look.robe);
    QPainterPath robe;
    robe.moveTo(Cx - 6, 35.8);
    robe.cubicTo(Cx - 13, 36, Cx - 16.5, 39, Cx - 17, 49);
    robe.lineTo(Cx + 17, 49);
    robe.cubicTo(Cx + 16.5, 39, Cx + 13, 36, Cx + 6, 35.8);
    robe.closeSubpath();
    p.drawPath(robe);
    p.setPen(QPen(look.trim, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{Cx - 5.5, 37.2}, {Cx, 42}, {Cx + 5.5, 37.2}}));
    p.drawLine(QPointF(Cx, 42), QPointF(Cx, 49));
    p.setPen(QPen(Gold, 0.9));
    for (const qreal y : {42.5, 45.5}) {
        p.drawLine(QPointF(Cx - 14, y), QPointF(Cx - 4, y));
        p.drawLine(QPointF(Cx + 4, y), QPointF(Cx + 14, y));
    }
}

// What the figure holds: a sceptre, a flower or a halberd.
void PaintEmblem(QPainter& p, int rank)
{
    if (rank == RankQueen) {
        p.setPen(QPen(QColor(40, 120, 50), 0.9));
        p.drawLine(QPointF(Cx - 7, 46), QPointF(Cx - 12.5, 33));
        p.setPen(QPen(Ink, 0.4));
        p.setBrush(SuitRed);
        p.drawEllipse(QPointF(Cx - 12.8, 31.6), 2.4, 2.4);
        p.setBrush(Gold);
        p.drawEllipse(QPointF(Cx - 12.8, 31.6), 0.9, 0.9);
        return;
    }
    const qreal x = 48;
    p.setPen(QPen(GoldDark, 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(x, 48), QPointF(x, rank == RankKing ? 23 : 19));
    p.setPen(QPen(GoldDark, 0.5));
    p.setBrush(Gold);
    if (rank == RankKing)
        p.drawEllipse(QPointF(x, 21.5), 2, 2);
    else
        p.drawPolygon(QPolygonF({{x, 14}, {x + 1.5, 19.5}, {x + 4, 18}, {x + 3.5, 22.5},
                                 {x, 21}, {x - 1.5, 20}}));
}

void PaintCourtHalf(QPainter& p, int rank, int suit)
{
    const CourtLook look = LookOf(rank);
    p.save();
    p.setClipRect(QRectF(CourtFrame.left(), CourtFrame.top(), CourtFrame.width(),
                         CardCentre.y() - CourtFrame.top()));
    p.fillRect(CourtFrame, QColor(252, 244, 223));
    FillSuit(p, suit, QPointF(19.5, 16), 7, SuitColour(suit));
    PaintRobe(p, look);
    PaintEmblem(p, rank);
    PaintHead(p, rank, look);
    PaintCrown(p, rank, look);
    p.restore();
}

void PaintCourt(QPainter& p, int rank, int suit)
{
    BothEnds(p, [&] { PaintCourtHalf(p, rank, suit); });
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(SuitColour(suit), 0.8));
    p.drawLine(QPointF(CourtFrame.left(), CardCentre.y()), QPointF(CourtFrame.right(), CardCentre.y()));
    p.setPen(QPen(Ink, 1));
    p.drawRect(CourtFrame);
    p.setPen(QPen(Gold, 0.8));
    p.drawRect(CourtFrame.adjusted(1.4, 1.4, -1.4, -1.4));
}

// ---------------------------------------------------------------- backs

const QRectF BackPanel(4.5, 4.5, 62, 87);
const QPointF PanelCentre = BackPanel.center();

void FillPanel(QPainter& p, QColor colour) { p.fillRect(BackPanel, colour); }

// Lines at 45 degrees both ways over the panel, `gap` apart.
void Crosshatch(QPainter& p, qreal gap)
{
    for (qreal d = -BackPanel.height(); d < BackPanel.width() + BackPanel.height(); d += gap) {
        const qreal x = BackPanel.left() + d, y0 = BackPanel.top(), y1 = BackPanel.bottom();
        p.drawLine(QPointF(x, y0), QPointF(x + (y1 - y0), y1));
        p.drawLine(QPointF(x, y0), QPointF(x - (y1 - y0), y1));
    }
}

// Calls `at` for the points of a grid over the panel, every other row shifted by half a step.
void Staggered(qreal dx, qreal dy, const std::function<void(QPointF, int, int)>& at)
{
    int row = 0;
    for (qreal y = BackPanel.top(); y < BackPanel.bottom() + dy; y += dy, ++row) {
        int col = 0;
        for (qreal x = BackPanel.left() - (row % 2 ? dx / 2 : 0); x < BackPanel.right() + dx;
             x += dx, ++col)
            at(QPointF(x, y), row, col);
    }
}

void BackLattice(QPainter& p)
{
    FillPanel(p, QColor(30, 60, 136));
    p.setPen(QPen(QColor(120, 150, 225), 0.9));
    Crosshatch(p, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 236, 255));
    Staggered(6, 3, [&](QPointF at, int, int) { p.drawEllipse(at, 0.9, 0.9); });
}

void BackLozenges(QPainter& p)
{
    FillPanel(p, QColor(176, 22, 42));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 240, 232));
    Staggered(10, 7, [&](QPointF at, int, int) {
        p.drawPolygon(QPolygonF({at + QPointF(0, -3.4), at + QPointF(2.6, 0), at + QPointF(0, 3.4),
                                 at + QPointF(-2.6, 0)}));
    });
}

void BackPlaid(QPainter& p)
{
    FillPanel(p, QColor(27, 110, 54));
    const QColor band(0, 45, 20, 110), thread(245, 205, 70, 200), red(210, 40, 40, 170);
    for (qreal t = 0; t < 96; t += 12) {
        p.fillRect(QRectF(BackPanel.left(), BackPanel.top() + t, BackPanel.width(), 5), band);
        p.fillRect(QRectF(BackPanel.left() + t, BackPanel.top(), 5, BackPanel.height()), band);
        p.fillRect(QRectF(BackPanel.left(), BackPanel.top() + t + 8, BackPanel.width(), 0.8), thread);
        p.fillRect(QRectF(BackPanel.left() + t + 8, BackPanel.top(), 0.8, BackPanel.height()), thread);
        p.fillRect(QRectF(BackPanel.left(), BackPanel.top() + t + 2, BackPanel.width(), 0.6), red);
        p.fillRect(QRectF(BackPanel.left() + t + 2, BackPanel.top(), 0.6, BackPanel.height()), red);
    }
}

void BackConcentric(QPainter& p)
{
    FillPanel(p, QColor(75, 37, 119));
    p.setPen(Qt::NoPen);
    for (int i = 1; i < 7; ++i) {
        const qreal inset = 4.0 * i;
        p.setBrush(i % 2 ? QColor(138, 92, 192) : QColor(75, 37, 119));
        p.drawRoundedRect(BackPanel.adjusted(inset - 2, inset - 2, 2 - inset, 2 - inset), 4, 4);
    }
    FillSuit(p, Hearts, PanelCentre, 12, QColor(250, 220, 120));
}

void BackPolka(QPainter& p)
{
    FillPanel(p, QColor(229, 118, 27));
    p.setPen(Qt::NoPen);
    Staggered(8, 7, [&](QPointF at, int row, int) {
        p.setBrush(row % 2 ? QColor(255, 244, 214) : QColor(140, 60, 10));
        p.drawEllipse(at, 2.2, 2.2);
    });
}

void BackSunburst(QPainter& p)
{
    FillPanel(p, QColor(21, 36, 82));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 64, 130));
    for (int i = 0; i < 24; ++i) {
        const qreal a0 = qDegreesToRadians(15.0 * i), a1 = qDegreesToRadians(15.0 * i + 7.5);
        p.drawPolygon(QPolygonF({PanelCentre, PanelCentre + 80 * QPointF(qCos(a0), qSin(a0)),
                                 PanelCentre + 80 * QPointF(qCos(a1), qSin(a1))}));
    }
    p.setPen(QPen(GoldDark, 0.8));
    p.setBrush(Gold);
    p.drawEllipse(PanelCentre, 12, 12);
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const qreal a = qDegreesToRadians(-90 + 36.0 * i), r = i % 2 ? 3.6 : 9;
        star << PanelCentre + QPointF(r * qCos(a), r * qSin(a));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(21, 36, 82));
    p.drawPolygon(star);
}

void BackWaves(QPainter& p)
{
    FillPanel(p, QColor(15, 127, 134));
    p.setPen(QPen(QColor(225, 250, 248), 1.0));
    p.setBrush(Qt::NoBrush);
    for (qreal y = BackPanel.top() + 2; y < BackPanel.bottom() + 3; y += 6) {
        QPainterPath wave;
        wave.moveTo(BackPanel.left() - 3, y);
        for (qreal x = BackPanel.left() - 3; x < BackPanel.right() + 3; x += 12) {
            wave.quadTo(x + 3, y - 3, x + 6, y);
            wave.quadTo(x + 9, y + 3, x + 12, y);
        }
        p.drawPath(wave);
    }
}

void BackSuits(QPainter& p)
{
    FillPanel(p, QColor(122, 22, 48));
    Staggered(11, 11, [&](QPointF at, int row, int col) {
        FillSuit(p, (row + col) % 4, at, 6.5, QColor(240, 190, 200));
    });
}

void BackStripes(QPainter& p)
{
    FillPanel(p, QColor(22, 22, 22));
    p.setPen(QPen(QColor(201, 164, 58), 2.6));
    for (qreal d = -BackPanel.height(); d < BackPanel.width(); d += 8)
        p.drawLine(QPointF(BackPanel.left() + d, BackPanel.bottom()),
                   QPointF(BackPanel.left() + d + BackPanel.height(), BackPanel.top()));
    p.setPen(QPen(QColor(201, 164, 58), 1.2));
    p.setBrush(QColor(22, 22, 22));
    p.drawEllipse(PanelCentre, 15, 22);
    FillSuit(p, Spades, PanelCentre, 20, QColor(201, 164, 58));
}

void BackScales(QPainter& p)
{
    FillPanel(p, QColor(47, 134, 208));
    p.setPen(QPen(QColor(240, 248, 255), 0.8));
    Staggered(8, 5, [&](QPointF at, int row, int) {
        p.setBrush(row % 2 ? QColor(47, 134, 208) : QColor(86, 165, 228));
        p.drawEllipse(at, 4, 4);
    });
}

using BackPattern = void (*)(QPainter&);
constexpr std::array<BackPattern, 10> BackPatterns{BackLattice,   BackLozenges, BackPlaid,
                                                   BackConcentric, BackPolka,   BackSunburst,
                                                   BackWaves,     BackSuits,    BackStripes,
                                                   BackScales};

void PaintBack(QPainter& p, int design)
{
    QPainterPath panel;
    panel.addRoundedRect(BackPanel, 2.5, 2.5);
    p.save();
    p.setClipPath(panel);
    BackPatterns[design](p);
    p.restore();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(60, 60, 60), 0.7));
    p.drawPath(panel);
}

// ---------------------------------------------------------------- table

constexpr QSize TableSize(796, 513);
constexpr int FeltRight = 660;
constexpr int TitleHeight = 26;
const QColor Panel = QColor::fromRgb(PanelColour);
constexpr QColor FeltColour(8, 128, 10);

constexpr qreal Tw(int twips) { return qreal(twips) / vb::TwipsPerPixel; }

QRectF TwipRect(int left, int top, int width, int height)
{
    return QRectF(Tw(left), Tw(top), Tw(width), Tw(height));
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
    for (int top : {480, 945, 1395, 1830, 2265, 2700})
        PaintGreenButton(p, FaceAround(TwipRect(10035, top, 1740, 270), 4).adjusted(0, 0, 0, 1));
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
    const QRectF box(Tw(10095) - 5.5, Tw(3555) - 5.5, Tw(11715) - Tw(10095) + 14, Tw(5505) - Tw(3555) + 9);
    PaintEtchedBox(p, box);
    const qreal split = (Tw(4380 + 240) + Tw(4815)) / 2 + 0.5;
    p.setPen(QPen(QColor(140, 136, 128), 1));
    p.drawLine(QPointF(box.left() + 5, split), QPointF(box.right() - 5, split));
    p.setPen(QPen(Qt::white, 1));
    p.drawLine(QPointF(box.left() + 5, split + 1), QPointF(box.right() - 5, split + 1));
}

// The raised grey box on the felt holding the stake and the raise and run faces.
void PaintStakeBox(QPainter& p)
{
    const QRectF vorla = TwipRect(7755, 6285, 1485, 210), correr = TwipRect(7740, 6735, 1485, 210);
    const QRectF box = QRectF(correr.left() - 10.5, Tw(5955) - 7.5, vorla.right() - correr.left() + 21,
                              correr.bottom() - Tw(5955) + 16);
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
    PaintWindowButton(p, TwipRect(11100, 90, 270, 210), false);
    PaintWindowButton(p, TwipRect(11505, 90, 270, 210), true);
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

// ---------------------------------------------------------------- public

QPixmap Face(int card, qreal dpr)
{
    if (card < 1 || card > 40)
        return {};
    const int rank = (card - 1) / 4, suit = (card - 1) % 4;
    return PaintCard(dpr, FaceKey, [&](QPainter& p) {
        PaintIndex(p, rank, suit);
        if (rank == RankAce)
            PaintAce(p, suit);
        else if (rank >= RankQueen && rank <= RankKing)
            PaintCourt(p, rank, suit);
        else
            PaintPips(p, rank, suit);
    });
}

QPixmap Back(int back, qreal dpr)
{
    if (back < 1 || back > 10)
        return {};
    return PaintCard(dpr, BackKey, [&](QPainter& p) { PaintBack(p, back - 1); });
}

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

namespace {

// Two fanned cards, the 7 of hearts and the 4 of clubs, on a rounded felt tile.
QPixmap IconPixmap(int size)
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

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(IconPixmap(size));
    return icon;
}

QCursor HandCursor()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return QCursor(HandPixmap(screen ? screen->devicePixelRatio() : 1.0), 11, 1);
}

}  // namespace cardart

namespace cardart {

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

} // namespace cardart

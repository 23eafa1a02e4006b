#include "art/cards.h"

#include "art/canvas.h"
#include "art/cardbody.h"

#include <QPainterPath>
#include <QtMath>

#include <array>
#include <functional>

namespace art {
namespace {

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
const QColor Skin(246, 214, 176);

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

}  // namespace

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

}  // namespace art

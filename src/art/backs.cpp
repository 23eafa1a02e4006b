#include "art/cards.h"

#include "art/canvas.h"
#include "art/cardbody.h"

#include <QPainterPath>
#include <QtMath>

#include <array>
#include <functional>

namespace art {
namespace {

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

}  // namespace

QPixmap Back(int back, qreal dpr)
{
    if (back < 1 || back > 10)
        return {};
    return PaintCard(dpr, BackKey, [&](QPainter& p) { PaintBack(p, back - 1); });
}

}  // namespace art

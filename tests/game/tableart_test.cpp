#include "art/cards.h"
#include "game/tableart.h"
#include "support/pictures.h"
#include "platform/forms/twips.h"
#include "tablefixture.h"

#include <QtMath>

#include <gtest/gtest.h>

namespace {

TEST(TableArt, PicturesHaveTheirSizesAtEveryRatio)
{
    for (qreal dpr : {1.0, 2.0, 1.5}) {
        SCOPED_TRACE(dpr);
        EXPECT_EQ(tableart::Table(dpr).size(), QSize(qRound(796 * dpr), qRound(513 * dpr)));
        EXPECT_EQ(tableart::WinnerPanel(dpr).size(), QSize(qRound(403 * dpr), qRound(185 * dpr)));
        EXPECT_EQ(tableart::Table(dpr).devicePixelRatio(), dpr);
    }
}

bool IsGreen(QRgb px) { return qGreen(px) > qRed(px) + 40 && qGreen(px) > qBlue(px) + 40; }

class TableArtUnderTheWindow : public TableTest {};

// The labels and buttons of the table window, where the window places them, sit
// on the parts of the background painted for them.
TEST_F(TableArtUnderTheWindow, ControlsStandOnTheirPaintedParts)
{
    frmVorla& t = table();
    for (qreal dpr : {1.0, 2.0}) {
        SCOPED_TRACE(dpr);
        const QImage image = Pixels(tableart::Table(dpr));
        const auto at = [&](QPointF p) { return Opaque(image.pixel(qFloor(p.x() * dpr), qFloor(p.y() * dpr))); };
        const auto centre = [](const vb::Control& c) {
            return QPointF(c.Left + c.Width / 2.0, c.Top + c.Height / 2.0) / vb::TwipsPerPixel;
        };
        for (int i = 0; i <= 5; ++i) {
            const vb::Label& item = t.lblMenu(i);
            EXPECT_TRUE(IsGreen(at(centre(item)))) << "menu face " << i;
            EXPECT_FALSE(IsGreen(at(QPointF(centre(item).x(), item.Top / vb::TwipsPerPixel - 7))))
                << "gap above menu face " << i;
        }
        EXPECT_TRUE(IsGreen(at(centre(t.lblVorla))));
        EXPECT_TRUE(IsGreen(at(centre(t.lblCorrer))));
        EXPECT_GT(qGray(at(centre(t.lblValendo))), 150);  // the stake's text is dark grey
        for (int i = 0; i <= 3; ++i)
            EXPECT_GT(qGray(at(centre(t.lblNome(i)))), 150) << "score name " << i;  // names are black
        EXPECT_LT(qGray(at(centre(t.imgMini) + QPointF(0, 3))), 100);  // the bar of the minimise button
        EXPECT_LT(qGray(at(centre(t.imgClose))), 100);                 // the cross of the close button
    }
}

// The cards lying on the table, faces and backs, show no key colour at their
// corners.
TEST_F(TableArtUnderTheWindow, CardsShowNoKeyColour)
{
    frmVorla& t = table();
    t.picJog(1).Picture = t.Frente(1).Picture;
    t.picMac(1).Picture = t.Verso(1).Picture;
    t.picJog(1).Visible = true;
    t.picMac(1).Visible = true;
    const QImage shown = t.grab().toImage();
    const auto isKey = [](QRgb px) { return px == Opaque(art::FaceKey) || px == Opaque(art::BackKey); };
    for (const vb::PictureBox* card : {&t.picJog(1), &t.picMac(1)})
        EXPECT_EQ(CountIn(shown, card->x(), card->y(), card->width(), card->height(), isKey), 0);
}

// Outside the controls' parts: a dark felt under the white texts and a plain
// strip under the title.
TEST(TableArt, FeltAndTitleStripLetTheirTextsRead)
{
    for (qreal dpr : {1.0, 2.0}) {
        SCOPED_TRACE(dpr);
        const QImage table = Pixels(tableart::Table(dpr));
        const auto at = [&](QPoint p) { return Opaque(table.pixel(qRound(p.x() * dpr), qRound(p.y() * dpr))); };
        EXPECT_GT(qGray(at(QPoint(40, 12))), 150);  // black title text
        for (const QPoint felt : {QPoint(350, 491), QPoint(60, 250), QPoint(354, 40), QPoint(354, 420)}) {
            EXPECT_TRUE(IsGreen(at(felt))) << felt.x() << "," << felt.y();
            EXPECT_LT(qGray(at(felt)), 110) << "white text must read at " << felt.x() << "," << felt.y();
        }
        EXPECT_FALSE(IsGreen(at(QPoint(700, 400))));  // the panel right of the felt
        // The title label may be opaque: the strip behind it is plain panel grey.
        const int plain = CountIn(table, qRound(4 * dpr), qRound(3 * dpr), qRound(76 * dpr), qRound(20 * dpr),
                                  [](QRgb px) { return px == tableart::PanelColour; });
        EXPECT_EQ(plain, qRound(76 * dpr) * qRound(20 * dpr));
    }
}

TEST(TableArt, HighDensityTableIsPaintedAtItsRatio)
{
    ExpectPaintedAtRatio(tableart::Table);
}

}  // namespace

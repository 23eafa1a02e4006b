#include "game/tableart.h"
#include "support/pictures.h"

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

QPoint TwipPoint(int left, int top) { return QPoint(left / 15, top / 15); }
bool IsGreen(QRgb px) { return qGreen(px) > qRed(px) + 40 && qGreen(px) > qBlue(px) + 40; }

// The labels of the table window sit on the parts of the background made for them.
TEST(TableArt, TableHasItsPartsUnderTheLabels)
{
    for (qreal dpr : {1.0, 2.0}) {
        SCOPED_TRACE(dpr);
        const QImage table = Pixels(tableart::Table(dpr));
        const auto at = [&](QPoint p) { return Opaque(table.pixel(qRound(p.x() * dpr), qRound(p.y() * dpr))); };
        const QPoint labelCentre(1740 / 30, 270 / 30);
        for (int top : {480, 945, 1395, 1830, 2265, 2700}) {
            EXPECT_TRUE(IsGreen(at(TwipPoint(10035, top) + labelCentre))) << "menu face at " << top;
            EXPECT_FALSE(IsGreen(at(TwipPoint(10035, top) + QPoint(58, -7)))) << "gap above " << top;
        }
        EXPECT_TRUE(IsGreen(at(TwipPoint(7755 + 742, 6285 + 105))));  // raise
        EXPECT_TRUE(IsGreen(at(TwipPoint(7740 + 742, 6735 + 105))));  // run
        EXPECT_GT(qGray(at(TwipPoint(8040 + 440, 5955 + 97))), 150);  // stake text is dark grey
        EXPECT_GT(qGray(at(TwipPoint(10095 + 300, 4125 + 120))), 150);  // score names are black
        EXPECT_GT(qGray(at(QPoint(40, 12))), 150);                      // black title text
        for (const QPoint felt : {QPoint(350, 491), QPoint(60, 250), QPoint(354, 40), QPoint(354, 420)}) {
            EXPECT_TRUE(IsGreen(at(felt))) << felt.x() << "," << felt.y();
            EXPECT_LT(qGray(at(felt)), 110) << "white text must read at " << felt.x() << "," << felt.y();
        }
        EXPECT_FALSE(IsGreen(at(QPoint(700, 400))));  // the panel right of the felt
        // The title label may be opaque: the strip behind it is plain panel grey.
        const int plain = CountIn(table, qRound(4 * dpr), qRound(3 * dpr), qRound(76 * dpr), qRound(20 * dpr),
                                  [](QRgb px) { return px == tableart::PanelColour; });
        EXPECT_EQ(plain, qRound(76 * dpr) * qRound(20 * dpr));
        EXPECT_LT(qGray(at(QPoint(749, 16))), 100);  // the bar of the minimise button
        EXPECT_LT(qGray(at(QPoint(776, 13))), 100);  // the cross of the close button
    }
}

TEST(TableArt, HighDensityTableIsPaintedAtItsRatio)
{
    ExpectPaintedAtRatio(tableart::Table);
}

}  // namespace

#include "art/cards.h"
#include "art/icons.h"
#include "support/pictures.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

using art::BackKey;
using art::FaceKey;

// True when (x, y) lies in one of the four corner squares as wide as the corner radius.
bool InCornerSquare(const QImage& image, int x, int y, qreal dpr)
{
    const int side = int(std::ceil(4 * dpr));
    const bool nearX = x < side || x >= image.width() - side;
    const bool nearY = y < side || y >= image.height() - side;
    return nearX && nearY;
}

// Checks the corners of a card picture: exactly `key` at the corners, the same
// number of keyed pixels in each corner, and no pixel of either key elsewhere.
void ExpectKeyedCorners(const QImage& image, QRgb key, qreal dpr, const std::string& what)
{
    SCOPED_TRACE(what + " at ratio " + std::to_string(dpr));
    const int w = image.width(), h = image.height();
    for (const QPoint c : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(w - 1, 0),
                           QPoint(0, h - 1), QPoint(w - 1, h - 1)})
        EXPECT_EQ(Opaque(image.pixel(c)), key) << c.x() << "," << c.y();
    const QRgb other = key == FaceKey ? BackKey : FaceKey;
    int strays = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb px = Opaque(image.pixel(x, y));
            strays += px == other || (px == key && !InCornerSquare(image, x, y, dpr));
        }
    EXPECT_EQ(strays, 0);
    const int side = int(std::ceil(4 * dpr));
    const auto isKey = [key](QRgb px) { return px == key; };
    const int topLeft = CountIn(image, 0, 0, side, side, isKey);
    EXPECT_GE(topLeft, dpr > 1 ? 6 : 3);
    EXPECT_EQ(CountIn(image, w - side, 0, side, side, isKey), topLeft);
    EXPECT_EQ(CountIn(image, 0, h - side, side, side, isKey), topLeft);
    EXPECT_EQ(CountIn(image, w - side, h - side, side, side, isKey), topLeft);
}

TEST(CardArt, PicturesHaveTheirSizesAtEveryRatio)
{
    for (qreal dpr : {1.0, 2.0, 1.5}) {
        SCOPED_TRACE(dpr);
        const auto expect = [dpr](const QPixmap& pixmap, int w, int h) {
            ASSERT_FALSE(pixmap.isNull());
            EXPECT_EQ(pixmap.size(), QSize(qRound(w * dpr), qRound(h * dpr)));
            EXPECT_EQ(pixmap.devicePixelRatio(), dpr);
        };
        expect(art::Face(1, dpr), 71, 96);
        expect(art::Face(40, dpr), 71, 96);
        expect(art::Back(10, dpr), 71, 96);
        expect(art::Shadow(dpr), 77, 103);
    }
    for (int card : {0, 41, -1})
        EXPECT_TRUE(art::Face(card, 1).isNull()) << card;
    for (int back : {0, 11})
        EXPECT_TRUE(art::Back(back, 1).isNull()) << back;
}

TEST(CardArt, CornersAreExactlyTheKeyAndTheBodyNever)
{
    for (qreal dpr : {1.0, 2.0}) {
        for (int card = 1; card <= 40; ++card)
            ExpectKeyedCorners(Pixels(art::Face(card, dpr)), FaceKey, dpr, "face " + std::to_string(card));
        for (int back = 1; back <= 10; ++back)
            ExpectKeyedCorners(Pixels(art::Back(back, dpr)), BackKey, dpr, "back " + std::to_string(back));
    }
}

TEST(CardArt, EveryFaceAndEveryBackIsDifferent)
{
    QList<QImage> faces, backs;
    for (int card = 1; card <= 40; ++card)
        faces << Pixels(art::Face(card, 1));
    for (int back = 1; back <= 10; ++back)
        backs << Pixels(art::Back(back, 1));
    for (int a = 0; a < faces.size(); ++a)
        for (int b = a + 1; b < faces.size(); ++b)
            EXPECT_NE(faces[a], faces[b]) << "faces " << a + 1 << " and " << b + 1;
    for (int a = 0; a < backs.size(); ++a)
        for (int b = a + 1; b < backs.size(); ++b)
            EXPECT_NE(backs[a], backs[b]) << "backs " << a + 1 << " and " << b + 1;
}

bool IsRedInk(QRgb px) { return qRed(px) > 150 && qGreen(px) < 90 && qBlue(px) < 110; }
bool IsInk(QRgb px) { return qGray(px) < 200; }

// Suits follow clubs, hearts, spades, diamonds and ranks 4, 5, 6, 7, Q, J, K, A, 2, 3:
// red ink only on hearts and diamonds, and more pips mean more ink.
TEST(CardArt, FacesFollowTheSuitAndRankOrder)
{
    const auto count = [](int card, const std::function<bool(QRgb)>& pred) {
        return CountIn(Pixels(art::Face(card, 1)), 0, 0, 71, 96, pred);
    };
    for (int rank : {0, 1, 2, 3, 7, 8, 9}) {
        for (int suit = 0; suit < 4; ++suit) {
            const int card = rank * 4 + suit + 1;
            const int red = count(card, IsRedInk);
            if (suit == 1 || suit == 3)
                EXPECT_GT(red, 40) << "card " << card;
            else
                EXPECT_EQ(red, 0) << "card " << card;
        }
    }
    for (int suit = 0; suit < 4; ++suit) {
        SCOPED_TRACE(suit);
        const auto ink = [&](int rank) { return count(rank * 4 + suit + 1, IsInk); };
        EXPECT_LT(ink(8), ink(9));  // 2 < 3
        EXPECT_LT(ink(9), ink(0));  // 3 < 4
        EXPECT_LT(ink(0), ink(1));
        EXPECT_LT(ink(1), ink(2));
        EXPECT_LT(ink(2), ink(3));  // 6 < 7
    }
}

QString GoldenPath(const QString& name) { return QStringLiteral(SOURCE_DIR "/tests/art/golden/") + name + ".png"; }

// Compares pixel for pixel with the committed picture; MIRVO_UPDATE_GOLDENS=1 rewrites
// the goldens after a deliberate change of the art.
void ExpectGolden(const QPixmap& pixmap, const QString& name)
{
    const QImage actual = Pixels(pixmap);
    if (qEnvironmentVariableIsSet("MIRVO_UPDATE_GOLDENS")) {
        ASSERT_TRUE(actual.save(GoldenPath(name)));
        return;
    }
    const QImage golden(GoldenPath(name));
    ASSERT_FALSE(golden.isNull()) << GoldenPath(name).toStdString();
    if (golden.convertToFormat(QImage::Format_ARGB32) != actual) {
        QDir().mkpath(BINARY_DIR "/golden-actual");
        actual.save(QStringLiteral(BINARY_DIR "/golden-actual/") + name + ".png");
        ADD_FAILURE() << name.toStdString() << " differs from its golden; the rendering is in "
                      << BINARY_DIR << "/golden-actual";
    }
}

TEST(CardArt, PicturesMatchTheirGoldens)
{
    for (int card : {1, 14, 23, 26, 31, 40})
        ExpectGolden(art::Face(card, 1), QStringLiteral("face%1").arg(card, 2, 10, QLatin1Char('0')));
    for (int back : {1, 6})
        ExpectGolden(art::Back(back, 1), QStringLiteral("back%1").arg(back, 2, 10, QLatin1Char('0')));
}

// At a ratio of 2 the same design is painted with twice the detail, not blown up.
TEST(CardArt, HighDensityPicturesArePaintedAtTheirRatio)
{
    const std::pair<std::string, std::function<QPixmap(qreal)>> pictures[] = {
        {"face 26", [](qreal dpr) { return art::Face(26, dpr); }},
        {"face 31", [](qreal dpr) { return art::Face(31, dpr); }},
        {"back 8", [](qreal dpr) { return art::Back(8, dpr); }},
    };
    for (const auto& [name, paint] : pictures) {
        SCOPED_TRACE(name);
        ExpectPaintedAtRatio(paint);
    }
}

TEST(CardArt, ShadowIsADarkGreenTranslucentCard)
{
    const QImage shadow = Pixels(art::Shadow(1));
    const QRgb middle = shadow.pixel(38, 51);
    EXPECT_GT(qAlpha(middle), 100);
    EXPECT_LT(qAlpha(middle), 255);
    const QColor colour = QColor::fromRgba(middle);
    EXPECT_GT(colour.green(), colour.red());
    EXPECT_LT(colour.value(), 80);
    EXPECT_LT(qAlpha(shadow.pixel(0, 0)), 10);
    EXPECT_LT(qAlpha(shadow.pixel(76, 102)), 10);
}

TEST(CardArt, IconAndHandPointerArePainted)
{
    const QIcon icon = art::ProgramIcon();
    ASSERT_TRUE(icon.availableSizes().contains(QSize(256, 256)));
    const QImage big = icon.pixmap(QSize(256, 256)).toImage();
    EXPECT_EQ(big.size(), QSize(256, 256));
    EXPECT_EQ(qAlpha(big.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(big.pixel(128, 128)), 255);

    const QCursor hand = art::HandCursor();
    EXPECT_EQ(hand.shape(), Qt::BitmapCursor);
    EXPECT_EQ(hand.hotSpot(), QPoint(11, 1));
    const QImage glove = hand.pixmap().toImage();
    EXPECT_GT(qAlpha(glove.pixel(11, 3)), 200);   // the fingertip under the hot spot
    EXPECT_EQ(qAlpha(glove.pixel(1, 1)), 0);
}

}  // namespace

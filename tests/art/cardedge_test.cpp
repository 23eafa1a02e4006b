// The rim of a cut-out card is its own grey outline: the key colour that cuts the
// corners never tints it, and a card's box shows the whole outline, at any density.
#include "art/cards.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

bool IsKey(QRgb c)
{
    return (c | 0xFF000000u) == (art::FaceKey | 0xFF000000u) || (c | 0xFF000000u) == (art::BackKey | 0xFF000000u);
}

// Counts the card's pixels beside a key pixel that are not a neutral grey.
int TintedRimPixels(const QPixmap& card)
{
    const QImage image = card.toImage().convertToFormat(QImage::Format_RGB32);
    int tinted = 0;
    for (int y = 1; y + 1 < image.height(); ++y) {
        for (int x = 1; x + 1 < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            const bool besideKey = IsKey(image.pixel(x - 1, y)) || IsKey(image.pixel(x + 1, y)) ||
                                   IsKey(image.pixel(x, y - 1)) || IsKey(image.pixel(x, y + 1));
            if (!IsKey(c) && besideKey && !(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c)))
                ++tinted;
        }
    }
    return tinted;
}

TEST(CardEdge, TheKeyNeverTintsTheRimOfAFaceOrABack)
{
    for (qreal ratio : {1.0, 1.5, 2.0}) {
        EXPECT_EQ(TintedRimPixels(art::Face(1, ratio)), 0) << "ratio " << ratio;
        EXPECT_EQ(TintedRimPixels(art::Back(3, ratio)), 0) << "ratio " << ratio;
    }
}

// At 1.5 a card's box is 106.5 pixels across: it shows 106 or 107 columns, as it lies.
TEST(CardEdge, TheOutlineClosesEveryBoxACardIsShownIn)
{
    const struct { qreal ratio; int widths[2]; } cases[] = {{1.0, {71, 71}}, {1.5, {106, 107}}, {2.0, {142, 142}}};
    for (const auto& c : cases)
        for (const QPixmap& card : {art::Face(1, c.ratio), art::Back(3, c.ratio)}) {
            const QImage image = card.toImage();
            const auto outline = [&](int x, int y) { return qGray(image.pixel(x, y)) <= 180; }; // the rim is light
            const int midX = image.width() / 2, midY = image.height() / 2;
            for (int w : c.widths)
                EXPECT_TRUE(w <= image.width() && outline(0, midY) && outline(w - 1, midY) && outline(midX, 0) &&
                            outline(midX, image.height() - 1)) << w << " columns at ratio " << c.ratio;
        }
}

} // namespace

// The rim of a cut-out card is its own grey outline: the key colour that cuts the
// corners never tints it, and a card's box shows the whole outline, at any density.
#include "art/cards.h"

#include <QImage>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

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

// The dark grey outline; the rim just inside it is a light grey, 227 and up.
bool IsOutline(QRgb c)
{
    return qRed(c) == qGreen(c) && qGreen(c) == qBlue(c) && qRed(c) <= 180;
}

// A card's box covers a fractional number of device pixels at 1.5 (106.5 across), so
// it shows 106 or 107 columns depending on where it lies: the outline closes either box.
TEST(CardEdge, TheOutlineClosesEveryBoxACardIsShownIn)
{
    const struct {
        qreal ratio;
        std::vector<int> widths, heights;
    } cases[] = {{1.0, {71}, {96}}, {1.5, {106, 107}, {144}}, {2.0, {142}, {192}}};
    for (const auto& c : cases) {
        for (const auto& [what, card] : {std::pair{"face 1", art::Face(1, c.ratio)}, {"back 3", art::Back(3, c.ratio)}}) {
            SCOPED_TRACE(std::string(what) + " at ratio " + std::to_string(c.ratio));
            const QImage image = card.toImage();
            const int midX = image.width() / 2, midY = image.height() / 2;
            EXPECT_TRUE(IsOutline(image.pixel(0, midY)));
            EXPECT_TRUE(IsOutline(image.pixel(midX, 0)));
            for (int w : c.widths)
                EXPECT_TRUE(w <= image.width() && IsOutline(image.pixel(w - 1, midY))) << w << " columns";
            for (int h : c.heights)
                EXPECT_TRUE(h <= image.height() && IsOutline(image.pixel(midX, h - 1))) << h << " rows";
        }
    }
}

} // namespace

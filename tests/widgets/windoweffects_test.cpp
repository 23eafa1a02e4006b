#include "platform/forms/form.h"
#include "platform/forms/pace.h"
#include "widgets/mdlBorder.h"
#include "widgets/modAutoShap.h"
#include "widgets/modTrans.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

constexpr QRgb kKey = qRgb(4, 130, 4);
constexpr QRgb kOtherKey = qRgb(4, 126, 4);

// A 71 x 96 card with its four corners (3 x 3 pixels each) in the key colour.
QPixmap cardWithKeyCorners(qreal ratio, QRgb key = kKey)
{
    QPixmap pixmap(static_cast<int>(71 * ratio), static_cast<int>(96 * ratio));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    for (QPoint corner : {QPoint(0, 0), QPoint(68, 0), QPoint(0, 93), QPoint(68, 93)})
        painter.fillRect(QRect(corner, QSize(3, 3)), QColor(key));
    return pixmap;
}

// What a black window holding `control` shows, at a density of `ratio`.
QImage Shown(QWidget& window, qreal ratio)
{
    QImage image(window.size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    window.render(&image);
    return image;
}

int Count(const QImage& image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) | 0xFF000000u) == colour;
    return n;
}

TEST(AutoShapeTest, CutsExactlyTheKeyPixelsAtAnyDensity)
{
    for (qreal ratio : {1.0, 2.0}) {
        const QRegion region = RegionWithoutKey(cardWithKeyCorners(ratio), kKey);
        EXPECT_FALSE(region.contains(QPoint(0, 0)));
        EXPECT_FALSE(region.contains(QPoint(70, 95)));
        EXPECT_TRUE(region.contains(QPoint(3, 0)));
        EXPECT_TRUE(region.contains(QPoint(35, 48)));
        int area = 0;
        for (const QRect& r : region)
            area += r.width() * r.height();
        EXPECT_EQ(area, 71 * 96 - 4 * 9) << "ratio " << ratio;
    }
    // At density 2 a key speck of one device pixel takes its whole pixel away.
    QImage speck = cardWithKeyCorners(2).toImage();
    speck.setPixel(7, 1, kKey); // the lower right quarter of the pixel (3, 0)
    QPixmap picture = QPixmap::fromImage(speck);
    picture.setDevicePixelRatio(2);
    const QRegion region = RegionWithoutKey(picture, kKey);
    EXPECT_FALSE(region.contains(QPoint(3, 0)));
    EXPECT_TRUE(region.contains(QPoint(4, 0)));
}

TEST(AutoShapeTest, OnlyExactMatchesAreCut)
{
    QPixmap nearly(10, 10);
    nearly.fill(QColor(4, 131, 4));
    EXPECT_EQ(RegionWithoutKey(nearly, kKey), QRegion(0, 0, 10, 10));
    QPixmap all(10, 10);
    all.fill(QColor(kKey));
    EXPECT_TRUE(RegionWithoutKey(all, kKey).isEmpty());
}

TEST(AutoShapeTest, SizesTheControlToItsPictureAndMasksIt)
{
    QWidget container;
    vb::PictureBox card(&container);
    card.BorderStyle = 1;
    card.Move(0, 0, 300, 300);
    card.Picture = vb::MakePicture(cardWithKeyCorners(1));
    AutoShapeFromPicture(card, kKey);
    EXPECT_EQ(card.Width(), 1065);
    EXPECT_EQ(card.Height(), 1440);
    EXPECT_EQ(card.BorderStyle(), 0);
    EXPECT_FALSE(card.mask().contains(QPoint(1, 1)));
    EXPECT_TRUE(card.mask().contains(QPoint(35, 48)));
}

// A card box on the table shows faces and backs in turn: whichever it holds, no
// pixel of either key reaches the screen, at any density.
TEST(AutoShapeTest, AKeptShapeFollowsItsPicture)
{
    for (qreal ratio : {1.0, 1.5, 2.0}) {
        SCOPED_TRACE(ratio);
        QWidget window;
        window.resize(80, 100);
        window.setPalette(QPalette(Qt::black));
        window.setAutoFillBackground(true);
        vb::PictureBox card(&window);
        card.Move(0, 0, 1065, 1440);
        KeepShapedToPicture(card, {kKey, kOtherKey});
        for (QRgb key : {kKey, kOtherKey}) {
            card.Picture = vb::MakePicture(cardWithKeyCorners(ratio, key));
            const QImage shown = Shown(window, ratio);
            EXPECT_EQ(Count(shown, kKey) + Count(shown, kOtherKey), 0);
            EXPECT_GT(Count(shown, qRgb(255, 255, 255)), 60 * 90 * ratio * ratio);
        }
        card.Picture = nullptr;
        EXPECT_TRUE(card.mask().isEmpty());
    }
}

class frmPlain : public vb::FormBase<frmPlain> {
public:
    frmPlain()
    {
        ScaleWidth = 3000;
        ScaleHeight = 1500;
    }
};

TEST(BorderTest, TrimmedWindowKeepsItsClientAreaInPlace)
{
    frmPlain& form = frmPlain::Get();
    form.move(100, 80);
    form.Show();
    vb::DoEvents();
    const QRect client(form.mapToGlobal(QPoint(0, 0)), form.size());
    TrimFormToClient(form);
    vb::DoEvents();
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(QRect(form.mapToGlobal(QPoint(0, 0)), form.size()), client);
    SetFormTransparency(form, 220);
    EXPECT_NEAR(form.windowOpacity(), 220 / 255.0, 0.01);
    form.Unload();
}

} // namespace

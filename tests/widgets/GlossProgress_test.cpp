#include "widgets/GlossProgress.h"

#include "platform/forms/pace.h"

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// A row of the strong green half of the fill.
constexpr int kFillRow = 10;

bool IsGreen(QRgb c)
{
    return qGreen(c) > qRed(c) + 40 && qGreen(c) > qBlue(c) + 20;
}

class GlossProgressTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.resize(400, 100);
        bar = new GlossProgress(&host);
        bar->Move(0, 0, 4140, 225);
        host.show();
        vb::DoEvents();
    }

    QImage picture()
    {
        vb::DoEvents();
        return bar->grab().toImage();
    }

    // The last column of the bar's fill row that shows green, -1 for none.
    int lastGreenColumn()
    {
        const QImage image = picture();
        int last = -1;
        for (int x = 0; x < image.width(); ++x)
            if (IsGreen(image.pixel(x, kFillRow)))
                last = x;
        return last;
    }

    QWidget host;
    GlossProgress* bar = nullptr;
};

TEST_F(GlossProgressTest, LoadsIdleAtItsDefaultsAndKeepsItsHeight)
{
    EXPECT_EQ(bar->Max, 100);
    EXPECT_EQ(bar->Value, 0);
    EXPECT_EQ(bar->Height, 230) << "the host asked for 225";
    EXPECT_FALSE(bar->tmrAnimate.Enabled) << "the first tick stops the timer while Value is 0";
    EXPECT_EQ(lastGreenColumn(), -1);

    bar->Move(135, 2715, 3000, 1000);
    EXPECT_EQ(bar->Height, 230);
    EXPECT_EQ(bar->ImgBack.Width, 2985);
    EXPECT_EQ(bar->ImgBackRight.Left, 2985);
}

TEST_F(GlossProgressTest, FillsTheFractionOfTheWidthAndAnimatesOnlyWithAValue)
{
    bar->Max = 254; // as the search sets it, after Value 0
    EXPECT_FALSE(bar->tmrAnimate.Enabled) << "Max alone starts nothing";
    EXPECT_EQ(lastGreenColumn(), -1);

    bar->Value = 127;
    EXPECT_TRUE(bar->tmrAnimate.Enabled);
    EXPECT_FLOAT_EQ(bar->ImgBase.Width, 4140.0f / 254 * 127 - 15);
    EXPECT_FLOAT_EQ(bar->picTemp.Width, 4140.0f / 2);
    const int half = lastGreenColumn();
    EXPECT_NEAR(half, 4140 / 2 / 15, 6) << "the fill ends at half the width";

    bar->Value = 254;
    const int full = lastGreenColumn();
    const int width = bar->grab().width();
    EXPECT_GE(full, width - 6) << "a full bar reaches the right edge";
    EXPECT_LT(full, width - 1) << "the track's right end is drawn over the fill";

    // Resizing moves the fill at once in size, at the next tick in picture.
    bar->Width = 3000;
    EXPECT_FLOAT_EQ(bar->ImgBase.Width, 2985);

    bar->Value = 0;
    EXPECT_FALSE(bar->tmrAnimate.Enabled);
    EXPECT_FALSE(bar->ImgBase.Visible);
    EXPECT_EQ(lastGreenColumn(), -1);
}

TEST_F(GlossProgressTest, ValueAboveMaxShowsAFullBarAndReadsBackAsMax)
{
    bar->Value = 500;
    EXPECT_EQ(bar->Value, 100);
    EXPECT_GE(lastGreenColumn(), bar->grab().width() - 6);
}

TEST_F(GlossProgressTest, OneHundredthOfMaxStillShowsTheFill)
{
    bar->Width = 30000; // wide enough for a hundredth of the width to show
    bar->Max = 1000;
    bar->Value = 10;
    EXPECT_GE(lastGreenColumn(), 15);
}

TEST_F(GlossProgressTest, HighlightSweepsTheWholeWidthThenPausesAndReentersFromTheLeft)
{
    bar->Value = 10;
    bar->tmrAnimate.Enabled = false; // the ticks by hand
    bar->ImgCrystal.Left = 600;
    bar->tmrAnimate_Timer();
    EXPECT_EQ(bar->ImgCrystal.Left, 675);
    EXPECT_EQ(bar->tmrAnimate.Interval, 1);

    bar->ImgCrystal.Left = 4140 - 75; // one step from the right edge: not yet past it
    bar->tmrAnimate_Timer();
    EXPECT_EQ(bar->ImgCrystal.Left, 4140);
    EXPECT_EQ(bar->tmrAnimate.Interval, 1);
    bar->tmrAnimate_Timer();
    EXPECT_EQ(bar->ImgCrystal.Left, -3330);
    EXPECT_EQ(bar->tmrAnimate.Interval, 500);
    bar->tmrAnimate_Timer();
    EXPECT_EQ(bar->tmrAnimate.Interval, 1) << "the pause is one tick long";

    // The running timer keeps sweeping, and the position survives a change of value.
    bar->tmrAnimate.Enabled = true;
    vb::WaitUntil([&] { return bar->ImgCrystal.Left > 0; });
    vb::WaitUntil([&] { return bar->ImgCrystal.Left < 0; });
    const float kept = bar->ImgCrystal.Left;
    bar->tmrAnimate.Enabled = false;
    bar->Value = 20;
    EXPECT_EQ(bar->ImgCrystal.Left, kept);
}

TEST_F(GlossProgressTest, HighlightReturnsAfterItsPauseWhileTheValueKeepsChanging)
{
    bar->Width = 1500; // a short sweep
    vb::SetPaceFactor(1);
    QTimer search; // a search moves the value every 75 ms
    QObject::connect(&search, &QTimer::timeout, [&] { bar->Value = bar->Value == 50 ? 60 : 50; });
    search.start(75);
    bool tooLong = false;
    QTimer::singleShot(60000, [&] { tooLong = true; });
    bar->Value = 50;
    vb::WaitUntil([&] { return tooLong || bar->ImgCrystal.Left < 0; });
    vb::WaitUntil([&] { return tooLong || bar->ImgCrystal.Left > 0; });
    vb::SetPaceFactor(0);
    EXPECT_FALSE(tooLong) << "the pause after a sweep must end although Value keeps changing";
}

TEST_F(GlossProgressTest, HighlightShowsOnlyWhereItCrossesTheFill)
{
    bar->Value = 50;
    bar->tmrAnimate.Enabled = false;
    auto brightnessAt = [&](float highlight, int column) {
        bar->ImgCrystal.Left = highlight;
        bar->tmrAnimate_Timer();
        return qRed(picture().pixel(column, kFillRow));
    };
    const int plain = brightnessAt(3000, 40);
    EXPECT_GT(brightnessAt(300, 40), plain + 30) << "over the fill the highlight lightens it";
    EXPECT_EQ(brightnessAt(-3330, 40), plain);
    EXPECT_EQ(brightnessAt(3000, 200), brightnessAt(-3330, 200)) << "beyond the fill the track shows";
}

} // namespace

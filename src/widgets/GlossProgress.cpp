#include "widgets/GlossProgress.h"

#include "platform/forms/twips.h"

#include <QImage>
#include <algorithm>
#include <QPainter>
#include <cmath>
#include <vector>

namespace {

using Rows = std::vector<QRgb>;

// The bands of the fill, top to bottom: pale green above, strong green below.
const Rows kFillRows = {0xD0FDD4, 0xCAFFC0, 0xC6F9D0, 0xA9F5B5, 0xA6EEAE, 0x9BEEAA, 0x00D42F,
                        0x00D226, 0x10D432, 0x2BDF48, 0x47E260, 0x58E36C, 0x62ED76};

QRgb Scaled(QRgb c, double factor)
{
    auto part = [factor](int v) { return std::clamp(static_cast<int>(std::lround(v * factor)), 0, 255); };
    return qRgb(part(qRed(c)), part(qGreen(c)), part(qBlue(c)));
}

QRgb TowardsWhite(QRgb c, double amount)
{
    auto part = [amount](int v) { return static_cast<int>(std::lround(v + (255 - v) * amount)); };
    return qRgb(part(qRed(c)), part(qGreen(c)), part(qBlue(c)));
}

// A picture whose pixel (x, y) is colour(x, y).
template <class Colour>
vb::Picture Painted(int width, int height, Colour colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, colour(x, y));
    return vb::MakePicture(QPixmap::fromImage(image));
}

vb::Picture TrackBody()
{
    static const Rows rows = {0xB3B3B3, 0xF3F3F3, 0xFCFCFC, 0xF0F0F0, 0xE5E5E5, 0xDBDBDB, 0xDBDBDB, 0xD5D5D5,
                              0xDBDBDB, 0xDCDCDC, 0xDEDEDE, 0xDFDFDF, 0xE1E1E1, 0xF7F7F7, 0xACACAC};
    return Painted(229, 15, [](int, int y) { return rows[y]; });
}

// Grey between from and to over the 13 middle rows.
QRgb Grey(int y, int from, int to)
{
    const int v = from + (to - from) * (y - 1) / 12;
    return qRgb(v, v, v);
}

vb::Picture TrackLeftEnd()
{
    return Painted(2, 15, [](int x, int y) -> QRgb {
        if (y == 0)
            return 0xF7F7F7;
        if (y == 14)
            return 0xF6F6F6;
        return x == 0 ? Grey(y, 0xBD, 0x90) : Grey(y, 0xC9, 0xF4);
    });
}

vb::Picture TrackRightEnd()
{
    return Painted(1, 15, [](int, int y) -> QRgb {
        if (y == 0)
            return 0xF8F8F8;
        if (y == 14)
            return 0xF3F3F3;
        return Grey(y, 0xBD, 0x90);
    });
}

vb::Picture FillBody()
{
    return Painted(29, 13, [](int, int y) { return kFillRows[y]; });
}

// An end of the fill: a light outer edge, then darker towards the outside.
QRgb FillEndShade(int fromOuter, int y)
{
    if (fromOuter == 0)
        return TowardsWhite(Scaled(kFillRows[y], 0.93), 0.12);
    return Scaled(kFillRows[y], 0.82 + 0.14 * (fromOuter - 1) / 17.0);
}

vb::Picture FillLeftEnd()
{
    return Painted(19, 13, [](int x, int y) { return FillEndShade(x, y); });
}

vb::Picture FillRightEnd()
{
    return Painted(19, 13, [](int x, int y) { return FillEndShade(18 - x, y); });
}

// The highlight: the fill's bands, lightest over its middle seventh.
vb::Picture Highlight()
{
    return Painted(74, 13, [](int x, int y) {
        const double fromMiddle = std::abs(x - 36.5) / 37.0;
        const double amount = fromMiddle < 1.0 / 14 ? 0.45 : 0.45 - 0.33 * (fromMiddle - 1.0 / 14) / (13.0 / 14);
        return TowardsWhite(kFillRows[y], amount);
    });
}

vb::Picture Line()
{
    return Painted(25, 1, [](int, int) -> QRgb { return 0xB3B3B3; });
}

GlossProgress::Element Designed(float left, float top, float width, float height, vb::Picture picture = {},
                                bool visible = true)
{
    return {left, top, width, height, visible, std::move(picture)};
}

// A width that cannot be set (negative, or not a number) is skipped.
void SetWidth(GlossProgress::Element& element, double width)
{
    if (std::isfinite(width) && width >= 0)
        element.Width = static_cast<float>(width);
}

int Px(double twips)
{
    return vb::ToPixels(twips);
}

} // namespace

GlossProgress::GlossProgress(QWidget* container)
    : vb::Control(container),
      Max([this] { return m_Max; },
          [this](const std::int32_t& v) {
              m_Max = v;
              SizeFill();
          }),
      Value([this] { return m_Value; }, [this](const std::int32_t& v) { SetValue(v); }),
      ImgBack(Designed(0, 0, 3435, 225, TrackBody())),
      ImgBackLeft(Designed(0, 0, 30, 225, TrackLeftEnd())),
      ImgBase(Designed(15, 15, 5400, 315)),
      ImgBackRight(Designed(5400, 0, 15, 225, TrackRightEnd())),
      ImgMid(Designed(600, 1680, 330, 225, FillBody(), false)),
      ImgBarLeft(Designed(240, 1680, 285, 195, FillLeftEnd(), false)),
      ImgBarRight(Designed(1920, 1680, 285, 195, FillRightEnd(), false)),
      ImgCrystal(Designed(600, 1920, 1110, 195, Highlight(), false)),
      ImgLine(Designed(4080, 2040, 375, 15, Line())),
      picTemp(Designed(0, 720, 5415, 375, {}, false)),
      tmrAnimate(this)
{
    tmrAnimate.Enabled = false;
    tmrAnimate.Interval = 1;
    tmrAnimate.OnTimer = [this] { tmrAnimate_Timer(); };
    Move(0, 0, 5415, 230);
    // Loaded as a running program.
    tmrAnimate.Enabled = true;
    m_Max = 100;
    m_Value = 0;
    SizeFill();
}

double GlossProgress::FillEnd() const
{
    return static_cast<double>(Width()) / m_Max * m_Value;
}

void GlossProgress::SizeFill()
{
    SetWidth(ImgBase, FillEnd() - 15);
    SetWidth(picTemp, FillEnd());
    update();
}

void GlossProgress::UserControl_Resize()
{
    SetWidth(ImgBack, Width() - 15.0);
    ImgBackRight.Left = static_cast<float>(Width() - 15);
    SizeFill();
    if (Height() != 230)
        Height = 230;
}

// A value that equals Max x 0.01 is shown like any other: the toolkit's branch
// for it blanked the fill.
void GlossProgress::SetValue(std::int32_t v)
{
    m_Value = v;
    SizeFill();
    if (v == 0) {
        tmrAnimate.Enabled = false;
        ImgBase.Visible = false;
        update();
        return;
    }
    if (v > m_Max)
        m_Value = m_Max;
    tmrAnimate.Enabled = true;
}

void GlossProgress::tmrAnimate_Timer()
{
    if (m_Value == 0 || !std::isfinite(FillEnd())) {
        tmrAnimate.Enabled = false;
        return;
    }
    tmrAnimate.Interval = 1;
    const QPixmap composed = ComposeFill();
    ImgCrystal.Left += 75;
    if (ImgCrystal.Left > Width()) {
        tmrAnimate.Interval = 500;
        ImgCrystal.Left = -(ImgCrystal.Width * 3);
    }
    ImgBase.Picture = vb::MakePicture(composed);
    ImgBase.Visible = true;
    update();
}

// The fill as it stands, painted into the buffer's drawing area; whatever
// lies beyond that area is cut off.
QPixmap GlossProgress::ComposeFill() const
{
    const int width = Px(picTemp.Width - 60);
    const int height = Px(picTemp.Height - 60);
    if (width <= 0 || height <= 0)
        return {};
    QPixmap buffer(width, height);
    buffer.fill(Qt::white);
    QPainter painter(&buffer);
    const QPixmap& mid = *ImgMid.Picture;
    painter.drawPixmap(QRect(Px(10), Px(10), Px(ImgBack.Left + ImgBack.Width), mid.height()), mid);
    painter.drawPixmap(Px(0), Px(10), *ImgBarLeft.Picture);
    painter.drawPixmap(Px(FillEnd() - ImgBarRight.Width), Px(10), *ImgBarRight.Picture);
    painter.drawPixmap(Px(ImgCrystal.Left), Px(10), *ImgCrystal.Picture);
    const QPixmap& line = *ImgLine.Picture;
    painter.drawPixmap(QRect(Px(0), Px(200), Px(Width()), line.height()), line);
    return buffer;
}

void GlossProgress::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (const Element* e : {&ImgBack, &ImgBackLeft, &ImgBase, &ImgBackRight}) {
        if (e->Visible && e->Picture && !e->Picture->isNull())
            painter.drawPixmap(QRect(Px(e->Left), Px(e->Top), Px(e->Width), Px(e->Height)), *e->Picture);
    }
}

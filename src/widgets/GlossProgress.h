#pragma once
// A glossy green progress bar in a grey track: the fill reaches the fraction
// Value / Max of the width, and while there is a value a bright highlight
// sweeps across it again and again. Each tick composes the fill off screen and
// shows it with one picture assignment, so the bar never flickers.
//
// Places and sizes are in twips; W is the control's width.
#include "platform/forms/control.h"
#include "platform/forms/picture.h"
#include "platform/forms/timer.h"

#include <QPixmap>
#include <cstdint>

class GlossProgress : public vb::Control {
    Q_OBJECT

public:
    // The control as a running program loads it: properties at their defaults,
    // the timer enabled (its first tick stops it again while Value is 0).
    explicit GlossProgress(QWidget* container);

    vb::Property<std::int32_t> Max;   // the value that fills the whole width; default 100
    vb::Property<std::int32_t> Value; // 0 shows nothing; above Max it reads back as Max

    // The control's inner elements. Sizes are single-precision twips as the
    // toolkit keeps them; a negative width cannot be set and is skipped.
    struct Element {
        float Left = 0, Top = 0, Width = 0, Height = 0;
        bool Visible = true;
        vb::Picture Picture;
    };
    // Drawn, back to front.
    Element ImgBack;      // the track's body, stretched
    Element ImgBackLeft;  // the track's left end
    Element ImgBase;      // the fill, showing what the last tick composed
    Element ImgBackRight; // the track's right end, over the fill
    // Never seen: they hold the pictures the fill is composed from; ImgCrystal's
    // Left is the highlight's position.
    Element ImgMid, ImgBarLeft, ImgBarRight, ImgCrystal, ImgLine;
    // The drawing buffer: a box with a 2-pixel sunken border, so its drawing
    // area is 60 twips narrower and lower than the box.
    Element picTemp;

    vb::Timer tmrAnimate;

    void tmrAnimate_Timer();

protected:
    void UserControl_Resize() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void SizeFill();
    void SetValue(std::int32_t v);
    // The fill's right end, W / Max x Value.
    double FillEnd() const;
    QPixmap ComposeFill() const;

    std::int32_t m_Max = 100;
    std::int32_t m_Value = 0;
};

#pragma once
// A rectangle drawn on its container: a border of a colour and width, filled
// or not. Like the original's shapes it takes no mouse events; the window
// under it gets them.
#include "platform/forms/control.h"

#include <QColor>

namespace vb {

enum FillStyleConstants { vbFSSolid = 0, vbFSTransparent = 1 };

class Shape : public Control {
    Q_OBJECT

public:
    explicit Shape(QWidget* container);

    Property<QColor> BorderColor;
    Property<int> BorderWidth; // pixels
    Property<QColor> FillColor;
    Property<int> FillStyle;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor borderColor_ = Qt::black;
    int borderWidth_ = 1;
    QColor fillColor_ = Qt::black;
    int fillStyle_ = vbFSTransparent;
};

} // namespace vb

#pragma once
// A rectangle drawn on its container: a border of a colour and width. Like the
// original's shapes it takes no mouse events; the window under it gets them.
#include "platform/forms/control.h"

#include <QColor>

namespace vb {

class Shape : public Control {
    Q_OBJECT

public:
    explicit Shape(QWidget* container);

    Property<QColor> BorderColor;
    Property<int> BorderWidth; // pixels

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor borderColor_ = Qt::black;
    int borderWidth_ = 1;
};

} // namespace vb

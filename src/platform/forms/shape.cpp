#include "platform/forms/shape.h"

#include <QPainter>

namespace vb {

Shape::Shape(QWidget* container)
    : Control(container),
      BorderColor([this] { return borderColor_; },
                  [this](const QColor& c) {
                      borderColor_ = c;
                      update();
                  }),
      BorderWidth([this] { return borderWidth_; },
                  [this](const int& w) {
                      borderWidth_ = w;
                      update();
                  }),
      FillColor([this] { return fillColor_; },
                [this](const QColor& c) {
                    fillColor_ = c;
                    update();
                }),
      FillStyle([this] { return fillStyle_; },
                [this](const int& s) {
                    fillStyle_ = s;
                    update();
                })
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Shape::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (fillStyle_ == vbFSSolid)
        painter.fillRect(rect(), fillColor_);
    if (borderWidth_ <= 0)
        return;
    // The border lies inside the shape's bounds, its last pixels included.
    const int w = borderWidth_;
    painter.fillRect(0, 0, width(), w, borderColor_);
    painter.fillRect(0, height() - w, width(), w, borderColor_);
    painter.fillRect(0, 0, w, height(), borderColor_);
    painter.fillRect(width() - w, 0, w, height(), borderColor_);
}

} // namespace vb

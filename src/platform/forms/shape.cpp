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
    QPen pen(borderColor_);
    pen.setWidth(borderWidth_);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    const int inset = borderWidth_ / 2;
    painter.drawRect(rect().adjusted(inset, inset, -inset - 1 + borderWidth_ % 2, -inset - 1 + borderWidth_ % 2));
}

} // namespace vb

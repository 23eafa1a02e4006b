#include "platform/forms/picturebox.h"

#include <QPainter>

namespace vb {

PictureControl::PictureControl(QWidget* container, bool opaque)
    : Control(container),
      Picture([this] { return picture_; },
              [this](const vb::Picture& p) {
                  picture_ = p;
                  update();
              }),
      BackColor([this] { return backColor_; },
                [this](const QColor& c) {
                    backColor_ = c;
                    update();
                }),
      BorderStyle([this] { return borderStyle_; },
                  [this](const int& b) {
                      borderStyle_ = b;
                      update();
                  }),
      opaque_(opaque)
{
    if (!opaque_)
        setAttribute(Qt::WA_TranslucentBackground);
}

void PictureControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (opaque_)
        painter.fillRect(rect(), backColor_);
    if (picture_)
        painter.drawPixmap(0, 0, *picture_);
    if (borderStyle_ == 1) {
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

} // namespace vb

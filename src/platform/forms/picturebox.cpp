#include "platform/forms/picturebox.h"

#include "platform/forms/twips.h"

#include <QPainter>

#include <utility>

namespace vb {

PictureControl::PictureControl(QWidget* container, bool opaque)
    : Control(container),
      Picture([this] { return picture(); },
              [this](const vb::Picture& p) {
                  picture_ = p;
                  source_ = nullptr;
                  fitPicture();
                  update();
                  emit PictureChanged();
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

void PictureControl::SetPictureSource(std::function<QPixmap()> paint)
{
    picture_ = nullptr;
    source_ = std::move(paint);
    update();
    emit PictureChanged();
}

const vb::Picture& PictureControl::picture()
{
    if (source_) {
        picture_ = MakePicture(std::exchange(source_, nullptr)());
        fitPicture();
    }
    return picture_;
}

void PictureControl::fitPicture()
{
    if (opaque_ || !picture_)
        return;
    const QSize size = picture_->deviceIndependentSize().toSize();
    if (size != this->size())
        Move(Left, Top, ToTwips(size.width()), ToTwips(size.height()));
}

void PictureControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (opaque_)
        painter.fillRect(rect(), backColor_);
    if (const vb::Picture& shown = picture())
        painter.drawPixmap(0, 0, *shown);
    if (borderStyle_ == 1) {
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

} // namespace vb

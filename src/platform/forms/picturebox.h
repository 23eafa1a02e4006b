#pragma once
// Controls that show a picture at its own size from their top left corner: the
// picture box (a window of its own with a back colour and an optional border)
// and the image (transparent where it has no picture, and sized to its picture
// as soon as it has one, so that it always shows the whole picture).
#include "platform/forms/control.h"
#include "platform/forms/picture.h"

#include <QColor>

#include <functional>

namespace vb {

class PictureControl : public Control {
    Q_OBJECT

public:
    Property<vb::Picture> Picture;
    Property<QColor> BackColor;
    Property<int> BorderStyle; // 0 none, 1 a single line

    // Gives the control a picture that `paint` makes the first time the picture
    // is read or shown, so that pictures never looked at cost nothing.
    void SetPictureSource(std::function<QPixmap()> paint);

signals:
    void PictureChanged();

protected:
    PictureControl(QWidget* container, bool opaque);
    void paintEvent(QPaintEvent* event) override;

private:
    const vb::Picture& picture();
    void fitPicture();

    vb::Picture picture_;
    std::function<QPixmap()> source_;
    QColor backColor_ = QColor(0xC0, 0xC0, 0xC0);
    int borderStyle_ = 0;
    bool opaque_;
};

class PictureBox : public PictureControl {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* container) : PictureControl(container, true) {}
};

class Image : public PictureControl {
    Q_OBJECT

public:
    explicit Image(QWidget* container) : PictureControl(container, false) {}
};

} // namespace vb

#pragma once
// Containers and outlines: the frame (a captioned border that holds other
// controls, placed relative to it) and the shape (a rectangle drawn behind the
// controls in front of it, never taking the mouse).
#include "platform/forms/control.h"

#include <QColor>

namespace vb {

class Frame : public Control {
    Q_OBJECT

public:
    explicit Frame(QWidget* container);

    Property<QString> Caption;
    Property<QColor> ForeColor;
    Property<QColor> BackColor;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
    QColor foreColor_ = Qt::black;
    QColor backColor_ = QColor(0xF0, 0xF0, 0xF0);
};

enum FillStyleConstants { vbFSSolid = 0, vbFSTransparent = 1 };

class Shape : public Control {
    Q_OBJECT

public:
    explicit Shape(QWidget* container);

    Property<QColor> BorderColor;
    Property<int> BorderWidth; // in pixels
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

// Moves a control into another container (a frame, a picture box, the form),
// keeping its place in twips, now relative to the new container.
void SetContainer(Control& control, QWidget& container);

} // namespace vb

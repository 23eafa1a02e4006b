#pragma once
// The frame: a captioned border that holds other controls, placed relative
// to it.
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

// Moves a control into another container (a frame, a picture box, the form),
// keeping its place in twips, now relative to the new container.
void SetContainer(Control& control, QWidget& container);

} // namespace vb

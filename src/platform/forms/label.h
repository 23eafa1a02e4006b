#pragma once
// A label: a caption painted in its font and colour, transparent or on its
// back colour, aligned left, right or centred, wrapping inside its width.
// "&" marks an access key, as in every caption of the game's windows. A caption
// that its box cannot hold shows whole in a bigger box (see ShownRect); the
// game still reads the place and size it gave.
#include "platform/forms/control.h"
#include "platform/forms/font.h"

#include <QColor>

namespace vb {

enum AlignmentConstants { vbLeftJustify = 0, vbRightJustify = 1, vbCenter = 2 };

class Label : public Control {
    Q_OBJECT

public:
    explicit Label(QWidget* container);

    Property<QString> Caption;
    Property<QColor> ForeColor;
    Property<QColor> BackColor;
    Property<bool> Transparent; // the original's back style 0
    Property<int> Alignment;
    Property<bool> WordWrap;
    // The label takes the width and height of its caption on one line.
    Property<bool> AutoSize;

    void SetFont(const Font& font);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    QRect ShownRect(const QRect& designed) const override;

private:
    void fit();
    int textFlags() const;

    QString caption_;
    QColor foreColor_ = Qt::black;
    QColor backColor_ = QColor(0xF0, 0xF0, 0xF0);
    bool transparent_ = false;
    int alignment_ = vbLeftJustify;
    bool wordWrap_ = true;
    bool autoSize_ = false;
};

} // namespace vb

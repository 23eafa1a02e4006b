#pragma once
// A multi-line text box with a vertical scroll bar, as a history that the
// program appends to: the caret is put at the end (SelStart) and text inserted
// there (SelText). Lines are separated by carriage return and line feed.
#include "platform/forms/control.h"

#include <QColor>
#include <QPalette>

class QPlainTextEdit;

namespace vb {

class MultiLineTextBox : public Control {
    Q_OBJECT

public:
    explicit MultiLineTextBox(QWidget* container);

    Property<QString> Text;
    Property<int> SelStart;
    Property<QString> SelText; // setting it replaces the selection, or inserts at the caret
    Property<QColor> BackColor;
    Property<QColor> ForeColor;
    Property<bool> Locked;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void setColour(QPalette::ColorRole role, const QColor& colour);

    QPlainTextEdit* edit_;
};

} // namespace vb

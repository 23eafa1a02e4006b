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

    // Inserts text at the end, or before the end of the last line (its CR LF)
    // when beforeLineEnd, and puts the caret after it; the text already there
    // is not read again.
    void Append(const QString& text, bool beforeLineEnd = false);
    // Keeps the last lines that fit in `characters` (a line end counting as
    // one); the lines before them are dropped whole.
    void KeepTail(int characters);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void setColour(QPalette::ColorRole role, const QColor& colour);

    QPlainTextEdit* edit_;
};

} // namespace vb

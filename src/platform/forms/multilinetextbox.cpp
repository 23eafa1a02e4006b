#include "platform/forms/multilinetextbox.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextCursor>

namespace vb {

namespace {
// The box keeps "\n" inside; the program reads and writes CR LF.
QString toBox(QString text)
{
    return text.replace("\r\n", "\n");
}
QString fromBox(QString text)
{
    return text.replace("\n", "\r\n");
}
} // namespace

MultiLineTextBox::MultiLineTextBox(QWidget* container)
    : Control(container),
      Text([this] { return fromBox(edit_->toPlainText()); },
           [this](const QString& t) { edit_->setPlainText(toBox(t)); }),
      SelStart([this] { return fromBox(edit_->toPlainText().left(edit_->textCursor().position())).size(); },
               [this](const int& v) {
                   QTextCursor cursor = edit_->textCursor();
                   const QString text = edit_->toPlainText();
                   // Positions count CR LF as two characters, the box as one.
                   int inBox = 0;
                   for (int counted = 0; inBox < text.size() && counted < v; ++inBox)
                       counted += text.at(inBox) == '\n' ? 2 : 1;
                   cursor.setPosition(inBox);
                   edit_->setTextCursor(cursor);
               }),
      SelText([this] { return fromBox(edit_->textCursor().selectedText().replace(QChar::ParagraphSeparator, '\n')); },
              [this](const QString& t) {
                  edit_->textCursor().insertText(toBox(t));
                  edit_->ensureCursorVisible();
              }),
      BackColor([this] { return edit_->palette().color(QPalette::Base); },
                [this](const QColor& c) { setColour(QPalette::Base, c); }),
      ForeColor([this] { return edit_->palette().color(QPalette::Text); },
                [this](const QColor& c) { setColour(QPalette::Text, c); }),
      Locked([this] { return edit_->isReadOnly(); }, [this](const bool& v) { edit_->setReadOnly(v); }),
      edit_(new QPlainTextEdit(this))
{
    edit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The program appends to the box for as long as it lives: no undo history grows with it.
    edit_->setUndoRedoEnabled(false);
    setFocusProxy(edit_);
}

void MultiLineTextBox::Append(const QString& text, bool beforeLineEnd)
{
    QTextCursor cursor(edit_->document());
    cursor.movePosition(QTextCursor::End);
    if (beforeLineEnd && cursor.atBlockStart())
        cursor.movePosition(QTextCursor::PreviousCharacter);
    cursor.insertText(toBox(text));
    edit_->setTextCursor(cursor);
    edit_->ensureCursorVisible();
}

void MultiLineTextBox::KeepTail(int characters)
{
    QTextDocument* document = edit_->document();
    const int length = document->characterCount() - 1; // without the document's own end
    if (length <= characters)
        return;
    const int dropped = length - characters;
    // The line of the last character that must go goes whole, unless it is the last line.
    const QTextBlock line = document->findBlock(dropped - 1);
    const int cut = line.next().isValid() ? line.position() + line.length() : dropped;
    QTextCursor cursor(document);
    cursor.setPosition(cut, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void MultiLineTextBox::setColour(QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = edit_->palette();
    palette.setColor(QPalette::Active, role, colour);
    palette.setColor(QPalette::Inactive, role, colour);
    palette.setColor(QPalette::Disabled, role, colour);
    edit_->setPalette(palette);
}

void MultiLineTextBox::resizeEvent(QResizeEvent* event)
{
    edit_->setGeometry(rect());
    Control::resizeEvent(event);
}

} // namespace vb

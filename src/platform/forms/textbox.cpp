#include "platform/forms/textbox.h"

#include "platform/forms/handlers.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>

namespace vb {

namespace {

constexpr int kNoLimit = 32767;

// The character code the original gave a key: none for the keys that move
// the focus or edit without typing.
int asciiOf(const QKeyEvent& event)
{
    if (event.text().isEmpty())
        return 0;
    switch (event.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        return 0;
    default:
        return event.text().at(0).unicode();
    }
}

Qt::Key keyOf(QChar c)
{
    if (c == '\r')
        return Qt::Key_Return;
    if (c == '\b')
        return Qt::Key_Backspace;
    const QChar upper = c.toUpper();
    if ((upper >= 'A' && upper <= 'Z') || (upper >= '0' && upper <= '9') || upper == ' ')
        return static_cast<Qt::Key>(upper.unicode());
    return Qt::Key_unknown;
}

} // namespace

TextBox::TextBox(QWidget* container)
    : Control(container),
      Text([this] { return edit_->text(); },
           [this](const QString& t) {
               edit_->setMaxLength(kNoLimit);
               edit_->setText(t);
               applyLimit();
           }),
      MaxLength([this] { return maxLength_; },
                [this](const int& n) {
                    maxLength_ = std::max(0, n);
                    applyLimit();
                }),
      Locked([this] { return edit_->isReadOnly(); }, [this](const bool& v) { edit_->setReadOnly(v); }),
      SelStart([this] { return edit_->hasSelectedText() ? edit_->selectionStart() : edit_->cursorPosition(); },
               [this](const int& v) { edit_->setCursorPosition(v); }),
      SelLength([this] { return static_cast<int>(edit_->selectedText().size()); },
                [this](const int& v) {
                    const int start = edit_->hasSelectedText() ? edit_->selectionStart() : edit_->cursorPosition();
                    edit_->setSelection(start, v);
                }),
      BorderStyle([this] { return edit_->hasFrame() ? 1 : 0; }, [this](const int& v) { edit_->setFrame(v != 0); }),
      ToolTipText([this] { return toolTip(); }, [this](const QString& t) { setToolTip(t); }),
      edit_(new QLineEdit(this))
{
    edit_->setMaxLength(kNoLimit);
    // A disabled box keeps its back colour; only its text greys.
    QPalette palette = edit_->palette();
    palette.setColor(QPalette::Disabled, QPalette::Base, palette.color(QPalette::Active, QPalette::Base));
    edit_->setPalette(palette);
    setFocusProxy(edit_); // the box itself is no stop of its own in the tab order
    edit_->installEventFilter(this);
    connect(edit_, &QLineEdit::textEdited, this, [this] { applyLimit(); });
    connect(edit_, &QLineEdit::textChanged, this, [this] {
        if (Change)
            RunHandler(Change);
    });
    // The focus can move on without a focus-out of this box: set in an
    // inactive window, it arrives elsewhere when the window is activated.
    focusChange_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (focused_ && now && now != edit_ && now->window() == window())
            loseFocus();
    });
}

// The widget base gives up the focus as it ends, after this box is gone.
TextBox::~TextBox()
{
    disconnect(focusChange_);
}

// The player types no further than the limit; a longer text set by code stays
// whole, and typing adds nothing to it. Setting the limit sets the text again
// and puts the caret at its end, so it is set only when it changes, and the
// caret stays where the player left it.
void TextBox::applyLimit()
{
    const int limit = maxLength_ > 0 ? maxLength_ : kNoLimit;
    const int wanted = std::max(limit, static_cast<int>(edit_->text().size()));
    if (edit_->maxLength() == wanted)
        return;
    const int caret = edit_->cursorPosition();
    edit_->setMaxLength(wanted);
    edit_->setCursorPosition(caret);
}

void TextBox::SetFocus()
{
    edit_->setFocus(Qt::OtherFocusReason);
}

void TextBox::gainFocus()
{
    if (focused_)
        return;
    // The box that had the focus loses it first.
    for (TextBox* other : window()->findChildren<TextBox*>())
        if (other != this)
            other->loseFocus();
    focused_ = true;
    if (GotFocus)
        RunHandler(GotFocus);
}

void TextBox::loseFocus()
{
    if (!focused_)
        return;
    focused_ = false;
    if (LostFocus)
        RunHandler(LostFocus);
}

bool TextBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != edit_)
        return Control::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        gainFocus();
        break;
    case QEvent::FocusOut: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            loseFocus();
        break;
    }
    case QEvent::KeyPress:
        return keyPressed(static_cast<QKeyEvent*>(event));
    default:
        break;
    }
    return false;
}

// True when the key is swallowed or replaced.
bool TextBox::keyPressed(QKeyEvent* event)
{
    const int code = asciiOf(*event);
    if (retyping_ || code == 0 || !KeyPress)
        return false;
    int KeyAscii = code;
    RunHandler([&] { KeyPress(KeyAscii); });
    if (KeyAscii == code)
        return false;
    if (KeyAscii != 0) {
        const QChar replaced(static_cast<char16_t>(KeyAscii));
        QKeyEvent other(QEvent::KeyPress, keyOf(replaced), event->modifiers(), QString(replaced));
        retyping_ = true;
        QApplication::sendEvent(edit_, &other);
        retyping_ = false;
    }
    return true;
}

void TextBox::resizeEvent(QResizeEvent* event)
{
    edit_->setGeometry(rect());
    Control::resizeEvent(event);
}

void TextBox::RaiseKeys(const QString& keys)
{
    for (const QChar c : keys) {
        QKeyEvent press(QEvent::KeyPress, keyOf(c), Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit_, &press);
        QKeyEvent release(QEvent::KeyRelease, keyOf(c), Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit_, &release);
    }
}

} // namespace vb

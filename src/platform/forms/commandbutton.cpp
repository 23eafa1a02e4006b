#include "platform/forms/commandbutton.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace vb {

CommandButton::CommandButton(QWidget* container)
    : ButtonControl(container),
      Default([this] { return default_; }, [this](const bool& v) { takeRole(&CommandButton::default_, v); }),
      Cancel([this] { return cancel_; }, [this](const bool& v) { takeRole(&CommandButton::cancel_, v); })
{
}

void CommandButton::takeRole(bool CommandButton::* role, bool value)
{
    if (value) {
        for (CommandButton* other : window()->findChildren<CommandButton*>())
            if (other != this && other->*role) {
                other->*role = false;
                other->update();
            }
    }
    this->*role = value;
    if (value && !watching_) {
        // Enter and Escape that no control took reach the window.
        window()->installEventFilter(this);
        watching_ = true;
    }
    update();
}

bool CommandButton::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !isVisible() || !isEnabled())
        return Control::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if ((enter && default_) || (key == Qt::Key_Escape && cancel_)) {
        RaiseClick();
        return true;
    }
    return Control::eventFilter(watched, event);
}

void CommandButton::keyPressEvent(QKeyEvent* event)
{
    // Enter on a focused button clicks that button, whichever is the default.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        RaiseClick();
        return;
    }
    ButtonControl::keyPressEvent(event);
}

void CommandButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOptionButton option;
    initStyleOption(option);
    if (default_)
        option.features |= QStyleOptionButton::DefaultButton;
    style()->drawControl(QStyle::CE_PushButton, &option, &painter, this);
}

} // namespace vb

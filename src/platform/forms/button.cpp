#include "platform/forms/button.h"

#include "platform/forms/handlers.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace vb {

namespace {
const QColor kDisabledText(0x80, 0x80, 0x80);
}

ButtonControl::ButtonControl(QWidget* container)
    : Control(container),
      Caption([this] { return caption_; }, [this](const QString& c) { setCaption(c); })
{
    setFocusPolicy(Qt::StrongFocus);
}

void ButtonControl::setCaption(const QString& caption)
{
    caption_ = caption;
    if (shortcut_)
        releaseShortcut(shortcut_);
    const QKeySequence key = QKeySequence::mnemonic(caption);
    shortcut_ = key.isEmpty() ? 0 : grabShortcut(key);
    update();
}

void ButtonControl::setDown(bool down)
{
    down_ = down;
    update();
}

void ButtonControl::initStyleOption(QStyleOptionButton& option) const
{
    option.initFrom(this);
    option.text = caption_;
    if (down_)
        option.state |= QStyle::State_Sunken;
    else
        option.state |= QStyle::State_Raised;
}

bool ButtonControl::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut) {
        setFocus(Qt::ShortcutFocusReason);
        RaiseClick();
        return true;
    }
    return Control::event(event);
}

void ButtonControl::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        setDown(true);
        return;
    }
    Control::keyPressEvent(event);
}

void ButtonControl::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat() && down_) {
        setDown(false);
        RaiseClick();
        return;
    }
    Control::keyReleaseEvent(event);
}

void ButtonControl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        setDown(true);
    Control::mousePressEvent(event);
}

void ButtonControl::mouseReleaseEvent(QMouseEvent* event)
{
    setDown(false);
    Control::mouseReleaseEvent(event);
}

void ButtonControl::focusInEvent(QFocusEvent* event)
{
    update();
    Control::focusInEvent(event);
}

void ButtonControl::focusOutEvent(QFocusEvent* event)
{
    setDown(false);
    Control::focusOutEvent(event);
}

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

StateButton::StateButton(QWidget* container)
    : ButtonControl(container),
      ForeColor([this] { return foreColor_; },
                [this](const QColor& c) {
                    foreColor_ = c;
                    update();
                }),
      BackColor([this] { return backColor_; },
                [this](const QColor& c) {
                    backColor_ = c;
                    update();
                })
{
}

void StateButton::paintState(bool on, int element)
{
    QPainter painter(this);
    painter.fillRect(rect(), backColor_);
    QStyleOptionButton option;
    initStyleOption(option);
    option.state &= ~QStyle::State_Raised;
    option.state |= on ? QStyle::State_On : QStyle::State_Off;
    option.palette.setColor(QPalette::WindowText, isEnabled() ? foreColor_ : kDisabledText);
    style()->drawControl(static_cast<QStyle::ControlElement>(element), &option, &painter, this);
}

void StateButton::raiseOwnClick()
{
    if (Click)
        RunHandler(Click);
}

CheckBox::CheckBox(QWidget* container)
    : StateButton(container),
      Value([this] { return value_; },
            [this](const int& v) {
                if (v == value_)
                    return;
                value_ = v;
                update();
                raiseOwnClick();
            })
{
    Control::Click = [this] { Value = value_ == vbChecked ? vbUnchecked : vbChecked; };
}

void CheckBox::paintEvent(QPaintEvent*)
{
    paintState(value_ == vbChecked, QStyle::CE_CheckBox);
}

OptionButton::OptionButton(QWidget* container)
    : StateButton(container),
      Value([this] { return value_; },
            [this](const bool& v) {
                if (v == value_)
                    return;
                if (v)
                    choose();
                else {
                    value_ = false;
                    update();
                }
            })
{
    // The player's click raises Click even on the option already chosen.
    Control::Click = [this] { value_ ? raiseOwnClick() : choose(); };
}

void OptionButton::choose()
{
    for (OptionButton* other : parentWidget()->findChildren<OptionButton*>(Qt::FindDirectChildrenOnly))
        if (other != this && other->value_) {
            other->value_ = false;
            other->update();
        }
    value_ = true;
    update();
    raiseOwnClick();
}

void OptionButton::paintEvent(QPaintEvent*)
{
    paintState(value_, QStyle::CE_RadioButton);
}

} // namespace vb

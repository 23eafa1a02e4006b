#include "platform/forms/button.h"

#include "platform/forms/handlers.h"

#include <QKeyEvent>
#include <QPainter>
#include <QShortcutEvent>
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

void ButtonControl::SetFont(const Font& font)
{
    setFont(ToQFont(font));
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
    if (event->type() == QEvent::Shortcut && static_cast<QShortcutEvent*>(event)->shortcutId() == shortcut_) {
        if (isEnabled()) {
            setFocus(Qt::ShortcutFocusReason);
            RaiseClick();
        }
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

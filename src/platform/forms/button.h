#pragma once
// Buttons with a state: the check box and the option button, and what they
// share with the command button (commandbutton.h). Each is drawn by the
// desktop's style, takes the focus, and answers the space bar and its access
// key ("&" in the caption marks it) as a click.
//
// A check box or an option button changes its Value on the player's click and
// then raises its own Click; setting Value from code raises Click as soon as the
// value changes, so handlers that set another box's value run that box's
// handler nested, as the game's dialogs rely on. Option buttons in the same
// container form one group: choosing one clears the others.
#include "platform/forms/control.h"
#include "platform/forms/font.h"

#include <QColor>

class QStyleOptionButton;

namespace vb {

enum CheckBoxConstants { vbUnchecked = 0, vbChecked = 1 };

class ButtonControl : public Control {
    Q_OBJECT

public:
    Property<QString> Caption;

    void SetFont(const Font& font);

protected:
    explicit ButtonControl(QWidget* container);

    bool down() const { return down_; }
    // The look every kind shares: the caption, the focus, the pressed state.
    void initStyleOption(QStyleOptionButton& option) const;

    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void setCaption(const QString& caption);
    void setDown(bool down);

    QString caption_;
    int shortcut_ = 0;
    bool down_ = false;
};

// The look and colours check and option boxes share.
class StateButton : public ButtonControl {
    Q_OBJECT

public:
    Property<QColor> ForeColor;
    Property<QColor> BackColor;

    // The box's own event, raised after its value changed (it hides the
    // control's Click, which here is the player's click on the box).
    std::function<void()> Click;

protected:
    explicit StateButton(QWidget* container);
    void paintState(bool on, int element);
    void raiseOwnClick();

private:
    QColor foreColor_ = Qt::black;
    QColor backColor_ = QColor(0xF0, 0xF0, 0xF0);
};

class CheckBox : public StateButton {
    Q_OBJECT

public:
    explicit CheckBox(QWidget* container);

    Property<int> Value; // vbUnchecked or vbChecked

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int value_ = vbUnchecked;
};

class OptionButton : public StateButton {
    Q_OBJECT

public:
    explicit OptionButton(QWidget* container);

    Property<bool> Value;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void choose();

    bool value_ = false;
};

} // namespace vb

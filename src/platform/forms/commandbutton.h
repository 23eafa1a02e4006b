#pragma once
// A push button: its caption ("&" marks the access key) on the desktop's
// button face; Click follows a left click, the space bar, Enter while it has
// the focus, or the access key.
#include "platform/forms/button.h"

namespace vb {

class CommandButton : public ButtonControl {
    Q_OBJECT

public:
    explicit CommandButton(QWidget* container);

    // Enter anywhere in the window clicks the default button (unless another
    // button has the focus); Escape clicks the cancel button. One of each per window.
    Property<bool> Default;
    Property<bool> Cancel;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Makes this the window's only button of a role (default or cancel).
    void takeRole(bool CommandButton::* role, bool value);

    bool default_ = false;
    bool cancel_ = false;
    bool watching_ = false;
};

} // namespace vb

#pragma once
// A push button: its caption ("&" marks the access key) on the desktop's
// button face; Click follows a left click, or the access key.
#include "platform/forms/control.h"
#include "platform/forms/font.h"

namespace vb {

class CommandButton : public Control {
    Q_OBJECT

public:
    explicit CommandButton(QWidget* container);

    Property<QString> Caption;

    void SetFont(const Font& font);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QString caption_;
    int shortcut_ = 0;
};

} // namespace vb

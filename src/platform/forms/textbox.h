#pragma once
// A one-line text box. Change follows every change of the text, by the player
// or by code. KeyPress sees each typed character as its code (13 for Enter, 8
// for backspace) before the box does, and may swallow it (KeyAscii = 0) or
// replace it. GotFocus and LostFocus follow the focus moving between the
// controls of the window, not the window's own activation: a message box
// opened over it and closed again raises neither.
#include "platform/forms/control.h"

class QKeyEvent;
class QLineEdit;

namespace vb {

class TextBox : public Control {
    Q_OBJECT

public:
    explicit TextBox(QWidget* container);
    ~TextBox() override;

    Property<QString> Text;
    Property<int> MaxLength; // 0: no limit; limits typing, not text set by code
    Property<bool> Locked;   // read only
    Property<int> SelStart;
    Property<int> SelLength;
    Property<int> BorderStyle; // 0 none, 1 a single line
    Property<QString> ToolTipText;

    std::function<void()> Change;
    std::function<void(int& KeyAscii)> KeyPress;
    std::function<void()> GotFocus;
    std::function<void()> LostFocus;

    void SetFocus();
    bool HasFocus() const { return focused_; }

    // Types the keys as the player does, one key event each ('\r' is Enter);
    // tests act as the player with it.
    void RaiseKeys(const QString& keys);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool keyPressed(QKeyEvent* event);
    void gainFocus();
    void loseFocus();

    void applyLimit();

    QLineEdit* edit_;
    QMetaObject::Connection focusChange_;
    int maxLength_ = 0;
    bool focused_ = false;
    bool retyping_ = false;
};

} // namespace vb

#pragma once
// The base of every control: place and size in twips, visibility, the enabled
// state, a tag, the z-order, the mouse pointer and the mouse events with the
// original's arguments (button 1 left, 2 right, 4 middle; shift 1, 2, 4 for
// shift, control, alt; X and Y in twips inside the control).
//
// A control takes its own mouse events, so the form under it sees a mouse move
// only over its bare surface. Click follows MouseDown and MouseUp of the left
// button released over the control.
#include "platform/forms/property.h"

#include <QCursor>
#include <QString>
#include <QWidget>
#include <functional>

namespace vb {

enum MouseButtonCode { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };

enum class MousePointer { Default = 0, Arrow = 1, SizeAll = 5, Custom = 99 };

using MouseHandler = std::function<void(int Button, int Shift, float X, float Y)>;

class Control : public QWidget {
    Q_OBJECT

public:
    explicit Control(QWidget* container);

    Property<int> Left;
    Property<int> Top;
    Property<int> Width;
    Property<int> Height;
    Property<bool> Visible;
    Property<bool> Enabled;
    QString Tag;

    void Move(int left, int top);
    void Move(int left, int top, int width, int height);
    // Places the control again, after what its shown box depends on has changed.
    void Replace();

    // 0 brings the control to the front of its siblings, 1 sends it to the back.
    void ZOrder(int position = 0);

    // Custom takes the icon given.
    void SetMousePointer(MousePointer pointer, const QCursor& icon = QCursor());
    MousePointer GetMousePointer() const { return pointer_; }

    MouseHandler MouseDown;
    MouseHandler MouseUp;
    MouseHandler MouseMove;
    std::function<void()> Click;
    std::function<void()> DblClick;

    // Raise the events as the toolkit does; tests use them to act as the player.
    void RaiseMouseDown(int button, int shift = 0, float x = 0, float y = 0);
    void RaiseMouseUp(int button, int shift = 0, float x = 0, float y = 0);
    void RaiseMouseMove(int button = 0, int shift = 0, float x = 0, float y = 0);
    void RaiseClick();
    // A player's whole click: MouseDown, MouseUp, and Click for the left button;
    // nothing on a disabled control.
    void ClickWith(int button = vbLeftButton);

protected:
    // A custom control's Resize: runs after every change of the control's width or height.
    virtual void UserControl_Resize() {}
    // Where the control shows for the place and size the game gave it, in pixels;
    // a control whose content needs more room returns a bigger box.
    virtual QRect ShownRect(const QRect& designed) const { return designed; }

    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void setGeometryTwips(int left, int top, int width, int height);

    // The exact twips the game wrote, read back unchanged whatever the rounding to pixels.
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;

    MousePointer pointer_ = MousePointer::Default;
    int pressedButton_ = 0;
};

// Converts the toolkit's mouse state to the original's codes.
int ButtonCode(Qt::MouseButton button);
int ButtonsCode(Qt::MouseButtons buttons);
int ShiftCode(Qt::KeyboardModifiers modifiers);

} // namespace vb

#include "platform/forms/control.h"

#include "platform/forms/handlers.h"
#include "platform/forms/twips.h"

#include <QMouseEvent>

namespace vb {

int ButtonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return vbLeftButton;
    case Qt::RightButton:
        return vbRightButton;
    case Qt::MiddleButton:
        return vbMiddleButton;
    default:
        return 0;
    }
}

int ButtonsCode(Qt::MouseButtons buttons)
{
    int code = 0;
    if (buttons & Qt::LeftButton)
        code |= vbLeftButton;
    if (buttons & Qt::RightButton)
        code |= vbRightButton;
    if (buttons & Qt::MiddleButton)
        code |= vbMiddleButton;
    return code;
}

int ShiftCode(Qt::KeyboardModifiers modifiers)
{
    int code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= 1;
    if (modifiers & Qt::ControlModifier)
        code |= 2;
    if (modifiers & Qt::AltModifier)
        code |= 4;
    return code;
}

Control::Control(QWidget* container)
    : QWidget(container),
      Left([this] { return left_; }, [this](const int& v) { setGeometryTwips(v, top_, width_, height_); }),
      Top([this] { return top_; }, [this](const int& v) { setGeometryTwips(left_, v, width_, height_); }),
      Width([this] { return width_; }, [this](const int& v) { setGeometryTwips(left_, top_, v, height_); }),
      Height([this] { return height_; }, [this](const int& v) { setGeometryTwips(left_, top_, width_, v); }),
      Visible([this] { return !isHidden(); }, [this](const bool& v) { setVisible(v); }),
      Enabled([this] { return isEnabled(); }, [this](const bool& v) { setEnabled(v); })
{
    setMouseTracking(true);
}

void Control::setGeometryTwips(int left, int top, int width, int height)
{
    const bool resized = width != width_ || height != height_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Replace();
    if (resized)
        UserControl_Resize();
}

void Control::Replace()
{
    setGeometry(ShownRect(QRect(ToPixels(left_), ToPixels(top_), ToPixels(width_), ToPixels(height_))));
}

void Control::Move(int left, int top)
{
    setGeometryTwips(left, top, width_, height_);
}

void Control::Move(int left, int top, int width, int height)
{
    setGeometryTwips(left, top, width, height);
}

void Control::ZOrder(int position)
{
    if (position == 0)
        raise();
    else
        lower();
}

void Control::SetMousePointer(MousePointer pointer, const QCursor& icon)
{
    pointer_ = pointer;
    switch (pointer) {
    case MousePointer::Default:
        unsetCursor();
        break;
    case MousePointer::Arrow:
        setCursor(Qt::ArrowCursor);
        break;
    case MousePointer::SizeAll:
        setCursor(Qt::SizeAllCursor);
        break;
    case MousePointer::Custom:
        setCursor(icon);
        break;
    }
}

void Control::RaiseMouseDown(int button, int shift, float x, float y)
{
    if (MouseDown)
        RunHandler([&] { MouseDown(button, shift, x, y); });
}

void Control::RaiseMouseUp(int button, int shift, float x, float y)
{
    if (MouseUp)
        RunHandler([&] { MouseUp(button, shift, x, y); });
}

void Control::RaiseMouseMove(int button, int shift, float x, float y)
{
    if (MouseMove)
        RunHandler([&] { MouseMove(button, shift, x, y); });
}

void Control::RaiseClick()
{
    if (Click)
        RunHandler([&] { Click(); });
}

void Control::ClickWith(int button)
{
    if (!isEnabled())
        return; // a disabled control takes no click
    RaiseMouseDown(button);
    RaiseMouseUp(button);
    if (button == vbLeftButton)
        RaiseClick();
}

void Control::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    pressedButton_ = ButtonCode(event->button());
    const QPointF p = event->position();
    RaiseMouseDown(pressedButton_, ShiftCode(event->modifiers()), ToTwips(1) * p.x(), ToTwips(1) * p.y());
}

void Control::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    const int button = ButtonCode(event->button());
    const QPointF p = event->position();
    const bool over = rect().contains(p.toPoint());
    HandlerScope scope; // the control outlives both events even if a handler unloads its form
    RaiseMouseUp(button, ShiftCode(event->modifiers()), ToTwips(1) * p.x(), ToTwips(1) * p.y());
    if (button == vbLeftButton && pressedButton_ == vbLeftButton && over)
        RaiseClick();
    pressedButton_ = 0;
}

void Control::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    const QPointF p = event->position();
    RaiseMouseMove(ButtonsCode(event->buttons()), ShiftCode(event->modifiers()), ToTwips(1) * p.x(),
                   ToTwips(1) * p.y());
}

void Control::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click is a press like any other; DblClick follows it.
    mousePressEvent(event);
    if (DblClick && event->button() == Qt::LeftButton)
        RunHandler([&] { DblClick(); });
}

} // namespace vb

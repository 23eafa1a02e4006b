#pragma once
// The borderless main window: it shows only its client area, and is moved by
// dragging a part of it.
#include "platform/forms/form.h"

// Moves the window with the mouse until the button is released, showing the
// move arrow meanwhile. The desktop's own move is used where it offers one.
void DragForm(vb::Form& form);

// Cuts the frame and title bar away; the client area stays where it was on the
// screen.
void TrimFormToClient(vb::Form& form);

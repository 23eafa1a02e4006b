#include "shell/dialoglook.h"

namespace look {

void Choice(vb::StateButton& box, int left, int top, int width, int height, const QString& caption)
{
    box.Move(left, top, width, height);
    box.Caption = caption;
    box.ForeColor = Text;
    box.BackColor = Face;
}

void Frame(vb::Frame& frame, int left, int top, int width, int height, const QString& caption)
{
    frame.Move(left, top, width, height);
    frame.Caption = caption;
    frame.ForeColor = FrameCaption;
    frame.BackColor = Face;
}

} // namespace look

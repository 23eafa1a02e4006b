#pragma once
// The look the game's dialogs share: their face, text and frame-caption colours,
// and check, option and frame boxes placed in them.
#include "platform/forms/button.h"
#include "platform/forms/frame.h"

#include <QColor>

namespace look {

inline const QColor Face(0xF1, 0xF1, 0xF1);
inline const QColor Text(0x40, 0x40, 0x40);
inline const QColor FrameCaption(0x00, 0x46, 0xD5);

// A check or option box at its place (twips) with its caption.
void Choice(vb::StateButton& box, int left, int top, int width, int height, const QString& caption);

// A frame at its place (twips) with its caption.
void Frame(vb::Frame& frame, int left, int top, int width, int height, const QString& caption);

} // namespace look

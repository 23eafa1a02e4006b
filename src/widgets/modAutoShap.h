#pragma once
// Cuts a picture control to the shape of its picture: every pixel of the key
// colour is left out, so a card shows without its corners.
#include "platform/forms/picturebox.h"

#include <QRegion>
#include <QRgb>

#include <initializer_list>

// Sizes the control to its picture and gives it the region of its non-key
// pixels, which it returns (empty when the whole picture is the key colour,
// which leaves nothing of the control to see).
QRegion AutoShapeFromPicture(vb::PictureBox& control, QRgb keyColor);

// The region of the pixels of a picture (in its device-independent pixels) none
// of whose device pixels is exactly the key colour.
QRegion RegionWithoutKey(const QPixmap& picture, QRgb keyColor);

// Cuts a control sized like its pictures to its picture, now and whenever the
// picture changes, leaving out the pixels of every key; without a picture it
// shows whole.
void KeepShapedToPicture(vb::PictureBox& control, std::initializer_list<QRgb> keys);

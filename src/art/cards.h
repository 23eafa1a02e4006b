// Card pictures: the 40 faces, the 10 backs and the shadow of a lifted card,
// each painted at a device pixel ratio.
#pragma once

#include <QPixmap>
#include <QRgb>

namespace art {

// Colours of the four corners outside the rounded card; the dialogs that show
// single cards cut them round with these keys. No pixel of a card's body has
// either colour.
inline constexpr QRgb FaceKey = qRgb(4, 130, 4);
inline constexpr QRgb BackKey = qRgb(4, 126, 4);

inline constexpr int CardWidth = 71;
inline constexpr int CardHeight = 96;

QPixmap Face(int card, qreal dpr);  // card 1..40: rank (card-1)/4 of 4,5,6,7,Q,J,K,A,2,3,
                                    // suit (card-1)%4 of clubs, hearts, spades, diamonds
QPixmap Back(int back, qreal dpr);  // back design 1..10
QPixmap Shadow(qreal dpr);          // 77 x 103, translucent dark green

}  // namespace art

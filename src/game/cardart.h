// The game's pictures, painted by code at a device pixel ratio so that they stay
// sharp on high-density screens: card faces and backs, the table background, the
// shadow of a lifted card, the program's icon and the hand pointer.
#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QRgb>

namespace cardart {

// Colours of the four corners outside the rounded card; the dialogs that show
// single cards cut them round with these keys. No pixel of a card's body has
// either colour.
inline constexpr QRgb FaceKey = qRgb(4, 130, 4);
inline constexpr QRgb BackKey = qRgb(4, 126, 4);

// Grey of the table's panel, title strip, score box and stake box: opaque labels
// placed there blend in when they take this back colour.
inline constexpr QRgb PanelColour = qRgb(212, 208, 200);

inline constexpr int CardWidth = 71;
inline constexpr int CardHeight = 96;

QPixmap Face(int card, qreal dpr);  // card 1..40: rank (card-1)/4 of 4,5,6,7,Q,J,K,A,2,3,
                                    // suit (card-1)%4 of clubs, hearts, spades, diamonds
QPixmap Back(int back, qreal dpr);  // back design 1..10
QPixmap Table(qreal dpr);           // 796 x 513, the table window's background
QPixmap Shadow(qreal dpr);          // 77 x 103, translucent dark green
QPixmap WinnerPanel(qreal dpr);     // 403 x 185, the end-of-match announcement
QIcon ProgramIcon();
QCursor HandCursor();

}  // namespace cardart

#pragma once
// Pictures of the options dialog and the about box, painted by code at a
// device pixel ratio like the cards: the help mark, the sound icons and the
// about box's fan of cards.
#include <QPixmap>

namespace dialogart {

QPixmap HelpMark(qreal dpr);     // 17 x 17: a blue disc with a white question mark
QPixmap SoundOn(qreal dpr);      // 20 x 20: a speaker giving out sound
QPixmap SoundOff(qreal dpr);     // 20 x 20: a speaker crossed out in red
QPixmap AboutPicture(qreal dpr); // 150 x 124: the four old manilhas fanned out, on white

} // namespace dialogart

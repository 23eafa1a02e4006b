// The program's icon and the hand pointer over what can be clicked.
#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

namespace art {

QPixmap ProgramIconPicture(int size);  // one size of the icon, painted
QIcon ProgramIcon();                   // every size, kept in the picture cache
QCursor HandCursor();                  // at the primary screen's ratio, kept likewise

}  // namespace art

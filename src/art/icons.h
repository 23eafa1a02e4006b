// The program's icon and the hand pointer over what can be clicked.
#pragma once

#include <QCursor>
#include <QIcon>

namespace art {

QIcon ProgramIcon();
QCursor HandCursor();  // painted at the primary screen's ratio

}  // namespace art

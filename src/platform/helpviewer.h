#pragma once
// The help viewer program. The game runs it as a process of its own (its own
// executable, started with ViewerArgument()), so that the help window neither
// closes with the dialog that opened it nor waits for the game's modal dialogs,
// and a help file that breaks the help library ends the viewer, never the game.
// The viewer reads requests, one a line, on its standard input, answers each
// on its standard output ("shown <page>" or "refused") and ends when its input
// closes, that is, when the game ends.
#include <QByteArray>
#include <QIcon>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>

namespace help {

// What the game asks of the viewer.
struct Request {
    QString file;  // full path of the help file
    QString topic; // the page inside it; empty for the help file's start page
    QRect beside;  // the game's windows on the screen; the viewer opens beside them
};

// One line, its newline included.
QByteArray EncodeRequest(const Request& request);
std::optional<Request> DecodeRequest(const QByteArray& line);

// Shows the page that `request` asks for in this process's help window, made
// when there is none and then placed beside the game, its frame on the screen
// once the window manager has framed it. Returns the page's name
// ("/NoEscuro.htm"); empty, leaving the window as it was, when the help file is
// damaged or holds no such page.
QString ShowRequest(const Request& request);

// Where a window of `size` opens beside `anchor` on `screen`, level with the
// anchor's top where the screen allows: to its right, else to its left, else
// narrowed (as far as it stays readable) to the room on the right, else at the
// screen's left edge, over the anchor where the room is too small.
QRect PlaceBeside(const QRect& anchor, const QSize& size, const QRect& screen);

// Where a window whose frame is at `frame` goes to lie wholly on `screen`: made
// no bigger than the screen and kept on it as every window is placed.
QRect FrameOnScreen(const QRect& frame, const QRect& screen);

// The program's argument that makes it the viewer.
const char* ViewerArgument();

// True when the program was started as the viewer.
bool IsViewerRun(int argc, char** argv);

// The viewer's whole run: serves requests until its input closes. Its window
// carries the icon given, made once the viewer's application is up.
int RunViewer(int argc, char** argv, const std::function<QIcon()>& icon = {});

} // namespace help

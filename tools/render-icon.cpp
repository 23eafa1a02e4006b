// Writes the program's icon as a 256 x 256 PNG for installing beside the program.
#include "art/icons.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: render-icon OUTPUT.png\n");
        return 2;
    }
    return art::ProgramIconPicture(256).save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}

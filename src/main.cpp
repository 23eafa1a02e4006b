#include "art/icons.h"
#include "platform/helpviewer.h"
#include "shell/modMain.h"

int main(int argc, char** argv)
{
    // The help viewer runs from the program's own executable, before and apart
    // from everything the game starts with (the single-copy check included).
    if (help::IsViewerRun(argc, argv))
        return help::RunViewer(argc, argv, art::ProgramIcon);
    return RunProgram(argc, argv);
}

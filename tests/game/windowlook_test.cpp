// What a task switcher shows of each window: its name and the program's icon.
#include "everywindow.h"
#include "gamefixture.h"

#include "art/icons.h"
#include "platform/forms/pace.h"
#include "platform/instance.h"
#include "shell/modMain.h"

#include <QApplication>

namespace {

using WindowLook = gametest::GameTest;

TEST_F(WindowLook, EveryWindowIsNamedByItsCaptionOrTheProgramAndCarriesItsIcon)
{
    instance::SetTitle("Mirvo Vorla");
    InstallProgramIcon();
    const QImage icon = art::ProgramIconPicture(32).toImage().convertToFormat(QImage::Format_ARGB32);
    gametest::UnloadDialogs(gametest::EveryWindow()); // loaded again under the title
    vb::DoEvents();
    const std::vector<vb::Form*> windows = gametest::EveryWindow();
    int untitled = 0;
    for (const vb::Form* form : windows) {
        const QString caption = form->Caption();
        untitled += caption.isEmpty();
        EXPECT_EQ(form->windowTitle(), caption.isEmpty() ? "Mirvo Vorla" : caption);
        EXPECT_EQ(form->windowIcon().pixmap(32).toImage().convertToFormat(QImage::Format_ARGB32), icon)
            << form->windowTitle().toStdString();
    }
    EXPECT_EQ(untitled, 3) << "the popup, the raise answer and the winner have no caption";
    gametest::UnloadDialogs(windows);
    vb::DoEvents();
    instance::SetTitle("fim do teste");
}

} // namespace

// What a task switcher shows of each window: its name and the program's icon;
// and the waiting window's beads, whole.
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
    QStringList untitled;
    for (const vb::Form* form : windows) {
        const QString caption = form->Caption();
        if (caption.isEmpty())
            untitled << form->metaObject()->className();
        EXPECT_EQ(form->windowTitle(), caption.isEmpty() ? "Mirvo Vorla" : caption);
        EXPECT_EQ(form->windowIcon().pixmap(32).toImage().convertToFormat(QImage::Format_ARGB32), icon)
            << form->windowTitle().toStdString();
    }
    EXPECT_EQ(untitled.size(), 3) << "the popup, the raise answer and the winner have no caption";
    gametest::UnloadDialogs(windows);
    vb::DoEvents();
    instance::SetTitle("fim do teste");
}

// The bead picture is 24 pixels wide, wider than the image's design box.
TEST_F(WindowLook, TheWaitingWindowsBeadsShowWhole)
{
    frmListen& waiting = frmListen::Get();
    waiting.AnimationTimer_Timer(); // the first tick gives the image its picture
    EXPECT_EQ(waiting.ImgGo.size(), waiting.imgRight.Picture()->deviceIndependentSize().toSize());
    waiting.Unload();
    vb::DoEvents();
}

} // namespace

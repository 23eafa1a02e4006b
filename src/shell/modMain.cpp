#include "shell/modMain.h"

#include "art/icons.h"
#include "game/frmVorla.h"
#include "game/modGame.h"
#include "netplay/frmIniciar.h"
#include "platform/instance.h"
#include "platform/forms/handlers.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/pace.h"
#include "platform/vbtext.h"
#include "shell/modFunoes.h"
#include "shell/modReg.h"
#include "socket/CNetSocket.h"
#include "widgets/mdlBorder.h"

#include <QApplication>
#include <QWindow>
#include <cstdlib>

namespace {

QString setting(const QString& value, const QString& defaultText)
{
    return RegGetString(HKEY_LOCAL_MACHINE, SettingsKey, value, defaultText);
}

// A stored Boolean that cannot be read keeps the option's default.
bool booleanSetting(const QString& value, bool defaultValue)
{
    return TextToBool(setting(value, BoolText(defaultValue))).value_or(defaultValue);
}

} // namespace

void ReadSettings()
{
    // A card back outside the ten there are, or unreadable, is the first one.
    const auto back = TextToByte(setting("Verso", "1"));
    CardBack = (back && *back >= 1 && *back <= 10) ? *back : 1;
    Hand.SoundOn = booleanSetting("Som", true);
    Hand.DirtyDeck = booleanSetting("Baralho Sujo", true);
    Hand.PlayInDark = booleanSetting("No Escuro", false);
    ServerIP = setting("IP", "");
    Players(1).Name = vb::ProperCase(setting("Nome", GetLoggedUserName()));
    Hand.ShowComputerCards = booleanSetting("Exibir Carta", false);
    Hand.NewManilha = booleanSetting("Manilha Nova", true);
    // The old manilhas are only played with the full deck.
    if (!Hand.NewManilha)
        Hand.DirtyDeck = true;
}

void ActivatePrevInstance()
{
    const QString kept = instance::Title();
    instance::SetTitle("Instancia Cancelada");
    if (instance::ActivateCopyTitled(kept))
        std::_Exit(0); // the request is written; nothing of this copy is shown
}

void Main()
{
    if (instance::PrevInstance())
        ActivatePrevInstance();
    ResetMatch();
    ReadSettings();
    frmVorla& table = frmVorla::Get();
    TrimFormToClient(table);
    table.Show();
    // The start-up benchmark ends the run here, once the table is on the screen.
    if (qEnvironmentVariableIsSet("MIRVO_STARTUP_PROBE")) {
        vb::WaitUntil([&table] { return table.windowHandle() && table.windowHandle()->isExposed(); });
        vb::DoEvents();
        std::_Exit(0);
    }
    frmIniciar::Get().Show(vb::vbModal);
}

void InstallProgramIcon()
{
    QApplication::setWindowIcon(art::ProgramIcon());
}

void InstallSocketErrorBox()
{
    CNetSocket::SetErrorDisplay(
        [](const QString& description, const QString& source) { vb::MsgBox(description, vb::vbOKOnly, source); });
}

int RunProgram(int argc, char** argv)
{
    // The window effects (shapes, translucency, moving by the drag strip) are
    // best on X11; prefer it whenever a display is there.
    if (!std::getenv("QT_QPA_PLATFORM") && std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication app(argc, argv);
    QApplication::setApplicationName("mirvo-vorla");
    instance::SetTitle("Mirvo Vorla");
    InstallProgramIcon();
    instance::SetActivateHandler(vb::ActivateForemostForm);
    InstallSocketErrorBox();
    vb::RunHandler(Main);
    return app.exec();
}

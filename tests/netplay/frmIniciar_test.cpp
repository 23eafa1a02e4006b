#include "netplay/frmIniciar.h"
#include "netplay/frmListen.h"
#include "netplay/frmSearch.h"
#include "socket/CNetSocket.h"

#include "game/frmVorla.h"
#include "game/modGame.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/pace.h"
#include "platform/instance.h"
#include "shell/frmOption.h"
#include "shell/modFunoes.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include <vector>

namespace {

const QColor kBlue(0x00, 0x54, 0xE3);
const QColor kRed(0xFF, 0x00, 0x00);

// The player's click: only on a control the player can reach.
void click(vb::Control& control)
{
    ASSERT_TRUE(control.isEnabled()) << "a disabled control takes no click";
    control.ClickWith();
}

class NewGameDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        fresh();
        // What start-up reads from the settings.
        Players(1).Name = "Maria";
        ServerIP = "192.168.0.9";
        CardBack = 1;
        Hand.DirtyDeck = Hand.NewManilha = true;
        previous = vb::SetMsgBoxResponder([this](const vb::MsgBoxRequest& r) {
            boxes.push_back(r);
            return vb::vbOK;
        });
    }
    void TearDown() override
    {
        frmIniciar::UnloadIfLoaded();
        if (auto* table = frmVorla::IfLoaded())
            table->Hide();
        vb::DoEvents();
        vb::SetMsgBoxResponder(previous);
        fresh();
    }
    static void fresh()
    {
        Players = {};
        Hand = {};
        ServerIP.clear();
        OptionsChanged = IsServer = StopAnimation = false;
        CardBack = 0;
    }

    // Shown as the player sees it, with the focus where the window put it.
    frmIniciar& shown()
    {
        frmIniciar& dialog = frmIniciar::Get();
        dialog.Show();
        vb::DoEvents();
        return dialog;
    }

    void chooseGuest(frmIniciar& dialog, const QString& host)
    {
        click(dialog.optRede);
        click(dialog.chkCliente);
        dialog.txtServer.Text = host;
    }

    QString onlyBox() const { return boxes.size() == 1 ? boxes[0].prompt : QString("%1 boxes").arg(boxes.size()); }

    std::vector<vb::MsgBoxRequest> boxes;
    vb::MsgBoxResponder previous;
};

TEST_F(NewGameDialog, LoadsAgainstTheComputerWithTheStoredNameAndHost)
{
    Hand.NetworkGame = true;
    IsServer = false;
    StopAnimation = true;
    frmIniciar& dialog = frmIniciar::Get();
    EXPECT_EQ(dialog.txtJogador.Text(), "Maria");
    EXPECT_EQ(dialog.txtServer.Text(), "192.168.0.9");
    EXPECT_TRUE(dialog.optSozinho.Value());
    EXPECT_FALSE(dialog.optRede.Value());
    EXPECT_EQ(dialog.chkServidor.Value(), vb::vbChecked);
    EXPECT_EQ(dialog.chkCliente.Value(), vb::vbUnchecked);
    for (vb::Control* off : std::vector<vb::Control*>{&dialog.chkServidor, &dialog.chkCliente, &dialog.txtServer,
                                                      &dialog.cmdBuscar, &dialog.lblExemplo})
        EXPECT_FALSE(off->isEnabled());
    EXPECT_FALSE(StopAnimation);
    EXPECT_TRUE(Hand.NetworkGame) << "loading the window leaves a network match alone";
    EXPECT_FALSE(IsServer);
    EXPECT_EQ(dialog.Caption(), "Novo Jogo");
    EXPECT_EQ(dialog.ScaleWidth(), 5940);
    EXPECT_EQ(dialog.ScaleHeight(), 3825);
}

TEST_F(NewGameDialog, HostAndGuestBoxesKeepExactlyOneChecked)
{
    Hand.NetworkGame = true;
    IsServer = false;
    frmIniciar& dialog = frmIniciar::Get();
    auto state = [&] {
        return QString("%1%2 %3%4%5%6")
            .arg(dialog.chkServidor.Value())
            .arg(dialog.chkCliente.Value())
            .arg(dialog.chkServidor.isEnabled())
            .arg(dialog.chkCliente.isEnabled())
            .arg(dialog.txtServer.isEnabled())
            .arg(dialog.cmdBuscar.isEnabled());
    };
    click(dialog.optRede);
    EXPECT_EQ(state(), "10 1100") << "network host";
    click(dialog.chkCliente);
    EXPECT_EQ(state(), "01 1111") << "the check moves to the guest box";
    click(dialog.chkCliente);
    EXPECT_EQ(state(), "01 1111") << "clicking the checked box leaves it checked";
    click(dialog.chkServidor);
    EXPECT_EQ(state(), "10 1100");
    click(dialog.chkServidor);
    EXPECT_EQ(state(), "10 1100");
    click(dialog.chkCliente);
    click(dialog.optSozinho);
    EXPECT_EQ(state(), "10 0000") << "against the computer the host box is checked again and all is off";
    click(dialog.optRede);
    EXPECT_EQ(state(), "10 1100") << "the guest choice is not remembered";
    EXPECT_TRUE(Hand.NetworkGame);
    EXPECT_FALSE(IsServer) << "only a game that starts sets the kind of game";
}

TEST_F(NewGameDialog, FocusedBoxIsFramedRedAndWhollySelected)
{
    frmIniciar& dialog = shown();
    EXPECT_TRUE(dialog.txtJogador.HasFocus()) << "the name comes first";
    EXPECT_EQ(dialog.ln.BorderColor(), kRed);
    EXPECT_EQ(dialog.txtJogador.SelLength(), 5);

    chooseGuest(dialog, "servidor");
    dialog.txtServer.SetFocus();
    EXPECT_EQ(dialog.ln.BorderColor(), kBlue);
    EXPECT_EQ(dialog.ln2.BorderColor(), kRed);
    EXPECT_EQ(dialog.txtServer.SelStart(), 0);
    EXPECT_EQ(dialog.txtServer.SelLength(), 8);
    dialog.cmdJogar.setFocus();
    EXPECT_EQ(dialog.ln2.BorderColor(), kBlue);
}

TEST_F(NewGameDialog, TheNameBoxTakesNoHashTypedPastedOrStored)
{
    Players(1).Name = "Ana#False#";
    vb::TextBox& name = shown().txtJogador;
    EXPECT_EQ(name.Text(), "AnaFalse");
    name.SelStart = 1;
    QGuiApplication::clipboard()->setText("#Ze#");
    name.findChild<QLineEdit*>()->paste();
    name.RaiseKeys("#x");
    EXPECT_EQ(name.Text(), "AZexnaFalse") << "the caret stays after what went in";
}

TEST_F(NewGameDialog, StatusMessagesShowWholeOnOneLineBesideTheSearchButton)
{
    frmIniciar& dialog = shown();
    for (const char* message : {"Buscando o servidor na rede...", "Endereço do servidor encontrado..."}) {
        dialog.lblMens.Caption = QString::fromUtf8(message);
        const QFontMetrics metrics(dialog.lblMens.font());
        EXPECT_GE(dialog.lblMens.width(), metrics.horizontalAdvance(dialog.lblMens.Caption())) << message;
        EXPECT_GE(dialog.lblMens.height(), metrics.height()) << message;
        EXPECT_LE(dialog.lblMens.Left() + dialog.lblMens.Width(), dialog.cmdBuscar.Left()) << message;
    }
}

TEST_F(NewGameDialog, EmptyNameStopsEverythingElse)
{
    frmIniciar& dialog = shown();
    chooseGuest(dialog, " 10.0.0.1 ");
    dialog.txtJogador.Text = "";
    dialog.txtServer.SetFocus();
    click(dialog.cmdJogar);
    ASSERT_EQ(onlyBox(), "Informe o nome do jogador!");
    EXPECT_EQ(boxes[0].style, vb::vbOKOnly | vb::vbExclamation);
    EXPECT_EQ(boxes[0].title, "Vorla");
    EXPECT_TRUE(dialog.txtJogador.HasFocus());
    EXPECT_EQ(ServerIP, "192.168.0.9") << "nothing is stored";
    EXPECT_EQ(Players(1).Name, "Maria");
    EXPECT_TRUE(frmIniciar::Loaded());
}

TEST_F(NewGameDialog, GuestNeedsAHostThatAnswers)
{
    Hand.NetworkGame = true;
    IsServer = true;
    frmIniciar& dialog = shown();
    dialog.txtJogador.Text = "";
    dialog.txtJogador.RaiseKeys("joana   ");
    chooseGuest(dialog, "   ");
    click(dialog.cmdJogar);
    ASSERT_EQ(onlyBox(), "Informe o nome ou IP do computador para qual quer conectar!");
    EXPECT_EQ(boxes[0].style, vb::vbInformation);
    EXPECT_EQ(boxes[0].title, instance::Title());
    EXPECT_TRUE(dialog.txtServer.HasFocus());
    EXPECT_EQ(ServerIP, "");
    EXPECT_EQ(Players(1).Name, "Joana   ") << "the name is stored in proper case, untrimmed";

    // Digits and dots that make no address: refused without a look-up or an echo.
    boxes.clear();
    dialog.txtServer.Text = " 1.2.3 ";
    dialog.txtJogador.SetFocus();
    click(dialog.cmdJogar);
    ASSERT_EQ(onlyBox(), QString::fromUtf8("Servidor não encontrado, o nome ou IP do computador está incorreto!"));
    EXPECT_EQ(boxes[0].style, vb::vbInformation);
    EXPECT_EQ(ServerIP, "1.2.3") << "trimmed before the test";
    EXPECT_FALSE(dialog.lblMens.Visible());
    EXPECT_TRUE(dialog.txtServer.HasFocus());
    EXPECT_TRUE(frmIniciar::Loaded());

    // The loopback address answers, but nothing waits on its game port: the
    // connection fails without a word and the dialog stays for another try.
    boxes.clear();
    dialog.txtServer.Text = "127.0.0.1";
    click(dialog.cmdJogar);
    EXPECT_TRUE(dialog.lblMens.Visible());
    EXPECT_EQ(dialog.lblMens.Caption(), "");
    EXPECT_TRUE(Hand.NetworkGame);
    EXPECT_FALSE(IsServer);
    const auto socket = frmVorla::Get().Socket;
    ASSERT_TRUE(socket);
    vb::WaitUntil([&] { return socket->State() == sckClosed; });
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(frmIniciar::Loaded());
    frmVorla::Get().Socket.reset();
}

// A start that never connected leaves the kind of game as it was before
// "Jogar": after "Cancelar" the options are all the player's own.
TEST_F(NewGameDialog, AFailedGuestStartPutsTheKindOfGameBack)
{
    frmIniciar& dialog = shown();
    chooseGuest(dialog, "127.0.0.1"); // nothing waits on its game port
    click(dialog.cmdJogar);
    const auto socket = frmVorla::Get().Socket;
    ASSERT_TRUE(socket);
    vb::WaitUntil([&] { return socket->State() == sckClosed; });
    EXPECT_FALSE(Hand.NetworkGame);
    EXPECT_FALSE(IsServer);
    click(dialog.cmdCancelar);
    frmOption& options = frmOption::Get();
    for (const vb::Control* c : std::initializer_list<const vb::Control*>{
             &options.fraBaralho, &options.fra11x11, &options.fraManilhas, &options.chkExibir, &options.optTipoBar(1),
             &options.optTipoBar(2), &options.opt11x11(1), &options.opt11x11(2), &options.optManilha(1),
             &options.optManilha(2)})
        EXPECT_TRUE(c->Enabled()) << c->objectName().toStdString();
    options.Unload();
    frmVorla::Get().Socket.reset();
}

TEST_F(NewGameDialog, TheHostWaitsWithoutCheckingAnAddressAndTheSearchAwaitsItsWindow)
{
    frmIniciar& dialog = frmIniciar::Get();
    click(dialog.optRede);
    dialog.txtServer.Text = "1.2.3";
    // The waiting window opens over the table once the game port listens; a guest's arrival closes it.
    bool waited = false;
    QTimer::singleShot(0, [&] {
        vb::WaitUntil([] { return frmListen::Loaded() && frmListen::Get().isVisible(); });
        waited = !frmIniciar::Loaded() && frmVorla::Get().Socket->State() == sckListening;
        frmListen::Get().Unload();
    });
    click(dialog.cmdJogar);
    EXPECT_TRUE(waited);
    EXPECT_TRUE(boxes.empty()) << "the host's address is not checked";
    EXPECT_TRUE(Hand.NetworkGame);
    EXPECT_TRUE(IsServer);
    EXPECT_EQ(ServerIP, "1.2.3");
    frmVorla::Get().Socket.reset();

    frmIniciar& again = frmIniciar::Get();
    click(again.optRede);
    click(again.chkCliente);
    again.txtServer.Text = "1.2.3";
    Hand.NetworkGame = false;
    // A search that finds nobody leaves the address empty and starts nothing.
    frmSearch::LastOctet = 0;
    click(again.cmdBuscar);
    frmSearch::LastOctet = 254;
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, QString::fromUtf8("Nenhum jogador disponível neste momento."));
    EXPECT_FALSE(frmSearch::Loaded());
    EXPECT_EQ(ServerIP, "");
    EXPECT_EQ(again.txtServer.Text(), "1.2.3");
    EXPECT_FALSE(Hand.NetworkGame);
}

TEST_F(NewGameDialog, CancelAndTheCloseBoxUnlockInputAndLeaveTheMatchAlone)
{
    Hand.NetworkGame = true;
    IsServer = true;
    Hand.InputLocked = true;
    frmIniciar& dialog = shown();
    click(dialog.optRede);
    click(dialog.chkCliente);
    click(dialog.optSozinho);
    click(dialog.cmdCancelar);
    EXPECT_FALSE(frmIniciar::Loaded());
    EXPECT_FALSE(Hand.InputLocked);
    EXPECT_TRUE(Hand.NetworkGame);
    EXPECT_TRUE(IsServer);

    Hand.InputLocked = true;
    shown().close();
    EXPECT_FALSE(frmIniciar::Loaded());
    EXPECT_FALSE(Hand.InputLocked);
}

// Clicks the deck once the table waits for the cut.
void cutWhenAsked(bool& asked)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, &asked] {
        frmVorla& table = frmVorla::Get();
        if (!table.lblbaralho.Visible())
            return;
        asked = true;
        table.picCarta(20).ClickWith();
        poll->deleteLater();
    });
    poll->start(0);
}

TEST_F(NewGameDialog, JogarDealsAMatchAgainstTheComputerInsideTheModalWindow)
{
    Hand.NetworkGame = true;
    Players(1).Points = 7;
    Players(2).Points = 11;
    Players(2).MatchesWon = 3;
    frmVorla::Get().Show();
    bool cutAsked = false;
    bool hiddenDuringTheDeal = false;
    QTimer::singleShot(0, [&] {
        frmIniciar& dialog = frmIniciar::Get();
        dialog.txtJogador.Text = "";
        dialog.txtJogador.RaiseKeys("ana LUIZA");
        click(dialog.optRede); // an earlier choice that "Jogar contra o computador" undoes
        click(dialog.optSozinho);
        cutWhenAsked(cutAsked);
        QTimer::singleShot(0, [&] { hiddenDuringTheDeal = !frmIniciar::Get().isVisible(); });
        click(dialog.cmdJogar);
    });
    frmIniciar::Get().Show(vb::vbModal);

    EXPECT_FALSE(frmIniciar::Loaded());
    EXPECT_TRUE(hiddenDuringTheDeal);
    EXPECT_TRUE(cutAsked) << "the player leads, so the player cuts";
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(Hand.NetworkGame);
    EXPECT_EQ(Players(1).Name, "Ana Luiza");
    EXPECT_EQ(Players(2).Name, "Computador");
    EXPECT_EQ(Players(1).Points + Players(2).Points, 0) << "a fresh match";
    EXPECT_EQ(Players(2).MatchesWon, 0);
    EXPECT_EQ(Hand.RoundNo, 1);
    EXPECT_EQ(frmVorla::Get().lblNome(1).Caption(), "Ana Luiza");
    EXPECT_EQ(frmVorla::Get().lblNome(2).Caption(), "Computador");
    for (int slot = 1; slot <= 3; ++slot)
        EXPECT_NE(Players(1).Cards(slot), 0) << "dealt, slot " << slot;
}

} // namespace

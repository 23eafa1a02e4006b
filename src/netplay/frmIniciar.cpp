#include "netplay/frmIniciar.h"

#include "game/frmVorla.h"
#include "game/modGame.h"
#include "netplay/frmBatePapo.h"
#include "netplay/frmSearch.h"
#include "netplay/modGetAddress.h"
#include "netplay/netstart.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/pace.h"
#include "platform/vbtext.h"
#include "shell/dialoglook.h"
#include "shell/modFunoes.h"

namespace {

const QColor kBoxFrame(0x00, 0x54, 0xE3);
const QColor kBoxFrameFocused(0xFF, 0x00, 0x00);

void label(vb::Label& l, int left, int top, int width, int height, const QString& caption)
{
    l.Move(left, top, width, height);
    l.Caption = caption;
    l.BackColor = look::Face;
}

void panel(vb::PictureBox& p, int left, int top, int width, int height)
{
    p.Move(left, top, width, height);
    p.BackColor = look::Face;
}

// The white rectangle that frames a text box.
void boxFrame(vb::Shape& s, int left, int top, int width, int height)
{
    s.Move(left, top, width, height);
    s.FillStyle = vb::vbFSSolid;
    s.FillColor = Qt::white;
    s.BorderColor = kBoxFrame;
}

void textBox(vb::TextBox& t, int left, int top, int width, int height, int maxLength)
{
    t.Move(left, top, width, height);
    t.BorderStyle = 0;
    t.MaxLength = maxLength;
}

void button(vb::CommandButton& b, int left, int top, int width, int height, const QString& caption)
{
    b.Move(left, top, width, height);
    b.Caption = caption;
}

void selectAll(vb::TextBox& t)
{
    t.SelStart = 0;
    t.SelLength = t.Text().size();
}

} // namespace

frmIniciar::frmIniciar()
    : lblJogador(this), ln(this), txtJogador(this), fraJogo(this), fraRede(this), picBugFix(&fraJogo),
      optSozinho(&picBugFix(0)), optRede(&picBugFix(0)), chkServidor(&picBugFix(1)), chkCliente(&picBugFix(1)),
      lblExemplo(&picBugFix(1)), ln2(&picBugFix(1)), txtServer(&picBugFix(1)), cmdBuscar(&picBugFix(1)),
      lblMens(&picBugFix(1)), cmdCancelar(this), cmdJogar(this)
{
    Caption = "Novo Jogo";
    BackColor = look::Face;
    SetBorderStyle(vb::vbFixedDialog);
    ScaleWidth = 5940;
    ScaleHeight = 3825;
    StartUpPosition = vb::vbStartUpOwner;
    SetFont(vb::Font{"Arial", 9});
    placeControls();
    wireHandlers();
}

void frmIniciar::placeControls()
{
    look::Frame(fraJogo, 195, 660, 5550, 780, "Estilo de Jogo");
    panel(picBugFix(0), 45, 210, 5475, 525);
    look::Choice(optSozinho, 345, 75, 2565, 285, "Jogar contra o computador");
    look::Choice(optRede, 3180, 75, 2280, 285, "Jogar Online");
    optSozinho.Value = true;

    label(lblJogador, 195, 285, 780, 225, "Seu Nick:");
    lblJogador.ForeColor = look::Text;
    boxFrame(ln, 1035, 240, 3210, 315);
    textBox(txtJogador, 1080, 300, 3075, 225, 20);

    look::Frame(fraRede, 195, 1515, 5550, 1575, "Jogo em Rede");
    vb::SetContainer(picBugFix(1), fraRede);
    panel(picBugFix(1), 15, 240, 5505, 1305);
    look::Choice(chkServidor, 250, 120, 1980, 225, "Iniciar Novo Sevidor");
    chkServidor.Value = vb::vbChecked;
    chkServidor.Enabled = false;
    look::Choice(chkCliente, 250, 450, 1530, 225, "Entrar no Jogo");
    chkCliente.Enabled = false;
    label(lblExemplo, 2880, 135, 1785, 225, "Exemplo: 192.168.0.2");
    lblExemplo.Enabled = false;
    boxFrame(ln2, 2880, 390, 2310, 315);
    textBox(txtServer, 2925, 450, 2250, 225, 63);
    txtServer.ToolTipText = "Digite o IP no qual deseja conectar.";
    txtServer.Enabled = false;
    button(cmdBuscar, 2865, 807, 2340, 375, "Localizar jogador na rede");
    cmdBuscar.Enabled = false;
    label(lblMens, 250, 900, 2505, 195, "");
    lblMens.SetFont(vb::Font{});
    // Our face is a little wider than the box was made for: the message
    // stays on its one line, short of the search button.
    lblMens.WordWrap = false;
    lblMens.AutoSize = true;

    button(cmdCancelar, 2160, 3285, 1695, 375, "Cancelar");
    button(cmdJogar, 3990, 3285, 1695, 375, "Jogar");
}

void frmIniciar::wireHandlers()
{
    optRede.Click = [this] { optRede_Click(); };
    optSozinho.Click = [this] { optSozinho_Click(); };
    chkServidor.Click = [this] { chkServidor_Click(); };
    chkCliente.Click = [this] { chkCliente_Click(); };
    txtJogador.Change = [this] { txtJogador_Change(); };
    txtJogador.GotFocus = [this] { txtJogador_GotFocus(); };
    txtJogador.LostFocus = [this] { txtJogador_LostFocus(); };
    txtServer.GotFocus = [this] { txtServer_GotFocus(); };
    txtServer.LostFocus = [this] { txtServer_LostFocus(); };
    cmdBuscar.Click = [this] { cmdBuscar_Click(); };
    cmdCancelar.Click = [this] { cmdCancelar_Click(); };
    cmdJogar.Click = [this] { cmdJogar_Click(); };
}

// The kind of game stays as it was until "Jogar" starts one: opening this
// window during a network match and cancelling leaves that match alone.
void frmIniciar::Form_Load()
{
    txtJogador.Text = Players(1).Name;
    txtServer.Text = ServerIP;
    StopAnimation = false;
}

// The window's close box is "Cancelar".
void frmIniciar::Form_QueryUnload(int&, int UnloadMode)
{
    if (UnloadMode == vb::vbFormControlMenu)
        Hand.InputLocked = false;
}

void frmIniciar::optRede_Click()
{
    chkServidor.Value = vb::vbChecked;
    chkCliente.Enabled = true;
    chkServidor.Enabled = true;
    txtServer.Enabled = false;
}

void frmIniciar::optSozinho_Click()
{
    chkServidor.Value = vb::vbChecked;
    chkServidor.Enabled = false;
    txtServer.Enabled = false;
    cmdBuscar.Enabled = false;
    chkCliente.Enabled = false;
}

void frmIniciar::chkServidor_Click()
{
    if (chkServidor.Value == vb::vbChecked)
        chkCliente.Value = vb::vbUnchecked;
    if (chkCliente.Value == vb::vbUnchecked) {
        chkServidor.Value = vb::vbChecked;
        cmdBuscar.Enabled = false;
        txtServer.Enabled = false;
    }
}

void frmIniciar::chkCliente_Click()
{
    if (chkCliente.Value == vb::vbChecked)
        chkServidor.Value = vb::vbUnchecked;
    if (chkServidor.Value == vb::vbUnchecked) {
        chkCliente.Value = vb::vbChecked;
        cmdBuscar.Enabled = true;
        txtServer.Enabled = true;
    }
}

// The name travels as one field of the game's messages: the box takes no "#",
// typed, pasted or stored, and the caret stays where the text went in.
void frmIniciar::txtJogador_Change()
{
    const QString text = txtJogador.Text;
    const QString name = NameAsField(text);
    if (name == text)
        return;
    const int caret = txtJogador.SelStart;
    txtJogador.Text = name;
    txtJogador.SelStart = caret - static_cast<int>(text.left(caret).count('#'));
}

void frmIniciar::txtJogador_GotFocus()
{
    selectAll(txtJogador);
    ln.BorderColor = kBoxFrameFocused;
}

void frmIniciar::txtJogador_LostFocus()
{
    ln.BorderColor = kBoxFrame;
}

void frmIniciar::txtServer_GotFocus()
{
    selectAll(txtServer);
    ln2.BorderColor = kBoxFrameFocused;
}

void frmIniciar::txtServer_LostFocus()
{
    ln2.BorderColor = kBoxFrame;
}

void frmIniciar::cmdBuscar_Click()
{
    ServerIP.clear();
    frmSearch::Get().Show(vb::vbModal, this);
    if (ServerIP.isEmpty())
        return;
    txtServer.Text = ServerIP;
    cmdJogar_Click();
}

void frmIniciar::cmdCancelar_Click()
{
    Hand.InputLocked = false;
    Unload();
}

void frmIniciar::cmdJogar_Click()
{
    if (txtJogador.Text().isEmpty()) {
        vb::MsgBox("Informe o nome do jogador!", vb::vbOKOnly | vb::vbExclamation, "Vorla");
        txtJogador.SetFocus();
        return;
    }
    ServerIP = txtServer.Text().trimmed();
    Players(1).Name = vb::ProperCase(txtJogador.Text);
    frmBatePapo::UnloadIfLoaded();
    if (!optRede.Value) {
        startComputerGame();
        return;
    }
    if (chkCliente.Value == vb::vbChecked && !hostAnswers())
        return;
    frmVorla::Get().KeepKindOfGame();
    Hand.NetworkGame = true;
    IsServer = chkServidor.Value == vb::vbChecked;
    StartNetworkGame();
}

bool frmIniciar::hostAnswers()
{
    if (ServerIP.isEmpty()) {
        vb::MsgBox("Informe o nome ou IP do computador para qual quer conectar!", vb::vbInformation);
        txtServer.SetFocus();
        return false;
    }
    lblMens.Caption = "Buscando o servidor na rede...";
    lblMens.Visible = true;
    lblMens.repaint();
    vb::Sleep(200);
    if (!PingHost(ServerIP)) {
        lblMens.Visible = false;
        vb::MsgBox(QString::fromUtf8("Servidor não encontrado, o nome ou IP do computador está incorreto!"),
                   vb::vbInformation);
        txtServer.SetFocus();
        return false;
    }
    lblMens.Caption = QString::fromUtf8("Endereço do servidor encontrado...");
    lblMens.repaint();
    vb::Sleep(500);
    lblMens.Caption = "";
    return true;
}

void frmIniciar::startComputerGame()
{
    Hide();
    frmVorla& table = frmVorla::Get();
    table.CloseConnection();
    Hand.NetworkGame = false;
    ResetMatch();
    ClearTable();
    Players(2).Name = "Computador";
    UpdateScoreBoard();
    Hand.PlayerLeads = true;
    Hand.Turn = 1;
    table.StartGame();
    Unload();
}

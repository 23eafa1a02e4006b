#include "shell/frmSobre.h"

#include "art/icons.h"
#include "platform/datapath.h"
#include "platform/instance.h"
#include "platform/shellopen.h"
#include "shell/dialogart.h"
#include "shell/modFunoes.h"

#include <QApplication>
#include <QEvent>
#include <QUrl>
#include <QUrlQuery>

namespace {

const QColor kBlue(0x00, 0x00, 0xFF);
const QColor kBlack(0x00, 0x00, 0x00);
// The link to the program's own help; the other starts a mail.
constexpr int kHelpLink = 0;

void title(vb::Label& l, int left, int top, QColor colour)
{
    // The face standing in for Tahoma is wider; narrowed, the title keeps its
    // margins.
    QFont font = vb::ToQFont(vb::Font{"Tahoma", 36, true});
    font.setStretch(QFont::SemiCondensed);
    l.setFont(font);
    l.WordWrap = false;
    l.AutoSize = true;
    l.Caption = "MIRVO VORLA";
    l.Move(left, top);
    l.ForeColor = colour;
    l.Transparent = true;
}

void line(vb::Label& l, int left, int top, const QString& caption)
{
    l.WordWrap = false;
    l.AutoSize = true;
    l.Caption = caption;
    l.Move(left, top);
    l.Transparent = true;
}

void setUnderline(vb::Label& l, bool underline)
{
    QFont font = l.font();
    font.setUnderline(underline);
    l.setFont(font);
}

// A new mail with only a subject: the player fills in whom to write to.
QString supportMail()
{
    QUrlQuery query;
    query.addQueryItem("subject", QStringLiteral("Mirvo Vorla %1.%2 - Suporte")
                                      .arg(PROGRAM_VERSION_MAJOR)
                                      .arg(PROGRAM_VERSION_MINOR));
    QUrl mail("mailto:");
    mail.setQuery(query);
    return mail.toString(QUrl::FullyEncoded);
}

} // namespace

frmSobre::frmSobre()
    : Label1(this), Label2(this), Image1(this), lbSoftware(this), lblSite(this), lblInfo(this), lblLink(this)
{
    Caption = "Sobre";
    BackColor = Qt::white;
    SetBorderStyle(vb::vbFixedDialog);
    ScaleWidth = 6135;
    ScaleHeight = 3495;
    StartUpPosition = vb::vbStartUpScreen;
    SetFont(vb::Font{"Arial", 9});
    placeControls();
    wireHandlers();
}

void frmSobre::placeControls()
{
    title(Label1, 390, 150, QColor(0x40, 0x40, 0x40));
    title(Label2, 420, 210, QColor(0x15, 0x77, 0x43));
    Image1.Picture = vb::MakePicture(dialogart::AboutPicture(qApp->devicePixelRatio()));
    Image1.Move(390, 1275, 2250, 1860);
    line(lbSoftware, 2880, 1620, "Software: ");
    line(lblSite, 2880, 2040, "Site: ");
    line(lblInfo(2), 2880, 2460, "Suporte: ");
    line(lblLink(0), lblSite.Left + lblSite.Width, 2040, "Ajuda do jogo");
    line(lblLink(1), lblInfo(2).Left + lblInfo(2).Width, 2460, "Enviar um e-mail");
    for (int i = 0; i <= 1; ++i)
        lblLink(i).ForeColor = vb::GetSystemColor(vb::SystemColor::WindowText);
    lblLink(1).Tag = supportMail();
}

void frmSobre::wireHandlers()
{
    lblLink.MouseMove = [this](int i, int b, int s, float x, float y) { lblLink_MouseMove(i, b, s, x, y); };
    lblLink.Click = [this](int i) { lblLink_Click(i); };
    for (int i = 0; i <= 1; ++i)
        lblLink(i).installEventFilter(this);
}

void frmSobre::Form_Load()
{
    lbSoftware.Caption = lbSoftware.Caption() + instance::Title() + " " + QString::number(PROGRAM_VERSION_MAJOR)
                         + "." + QString::number(PROGRAM_VERSION_MINOR);
    // The web link is the program's own help, wherever it was installed.
    lblLink(kHelpLink).Tag = datapath::HelpFile();
}

void frmSobre::lblLink_MouseMove(int Index, int, int, float, float)
{
    lblLink(Index).ForeColor = kBlue;
    setUnderline(lblLink(Index), true);
    lblLink(Index).SetMousePointer(vb::MousePointer::Custom, art::HandCursor());
}

void frmSobre::lblLink_MouseLeave(int Index)
{
    plain(Index);
}

void frmSobre::lblLink_Click(int Index)
{
    const QString target = lblLink(Index).Tag;
    // The help file opens in the program's own viewer, or the "Aviso!" box says it
    // is not there; the mail opens on the desktop.
    if (Index == kHelpLink)
        ShowHelpIndex(target);
    else if (!target.isEmpty())
        shellopen::Open(target);
    plain(Index);
}

void frmSobre::plain(int Index)
{
    lblLink(Index).ForeColor = kBlack;
    setUnderline(lblLink(Index), false);
    lblLink(Index).SetMousePointer(vb::MousePointer::Default);
}

bool frmSobre::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Leave) {
        for (int i = 0; i <= 1; ++i)
            if (watched == &lblLink(i))
                lblLink_MouseLeave(i);
    }
    return vb::Form::eventFilter(watched, event);
}

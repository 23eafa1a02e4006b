#include "shell/modFunoes.h"

#include "game/modGame.h"
#include "platform/datapath.h"
#include "platform/forms/control.h"
#include "platform/forms/form.h"
#include "platform/forms/pace.h"
#include "platform/forms/msgbox.h"
#include "platform/help.h"
#include "platform/helpfile.h"
#include "platform/sound.h"
#include "platform/username.h"
#include "platform/vbtext.h"

#include <cmath>

bool StopAnimation = false;
QString PopupMessage;

QString GetField(QString& text, int n, const QString& separator)
{
    if (!text.startsWith(separator))
        text.prepend(separator);
    if (!text.endsWith(separator))
        text.append(separator);
    if (n < 1)
        return {};
    qsizetype position = 0;
    for (int i = 1; i <= n; ++i) {
        const qsizetype found = text.indexOf(separator, position);
        if (found < 0)
            return {}; // past the last field
        position = found + separator.size();
    }
    const qsizetype end = text.indexOf(separator, position);
    return end < 0 ? QString() : text.mid(position, end - position);
}

void PlaySoundFile(const QString& file, int flags)
{
    if (!Hand.SoundOn)
        return;
    sound::PlaySound(datapath::SoundFile(file), flags);
}

void AnimateCardMove(vb::Control& card, const vb::Control& target, int steps,
                     const std::function<bool()>& stillCurrent)
{
    const int startTop = card.Top;
    const int startLeft = card.Left;
    card.ZOrder(0);
    for (int i = 1; i <= steps; ++i) {
        if (StopAnimation || !stillCurrent())
            return;
        card.Top = static_cast<int>(std::lround((target.Top - startTop) / double(steps) + card.Top));
        card.Left = static_cast<int>(std::lround((target.Left - startLeft) / double(steps) + card.Left));
        vb::DoEvents();
        vb::Sleep(15);
    }
    card.Visible = false;
    card.Move(startLeft, startTop);
    PlaySoundFile("Move.wav", 1);
}

void ShakeForm(vb::Form& form)
{
    PlaySoundFile("Alerta.wav", 1);
    for (int i = 1; i <= 200; ++i) {
        const int step = (i % 2 == 1) ? 100 : -100;
        form.Top = form.Top - step;
        form.Left = form.Left + step;
    }
}

bool HelpFileFound(const QString& helpFile)
{
    if (help::CheckedFileContents(helpFile))
        return true;
    vb::MsgBox(QString::fromUtf8("Arquivo de ajuda não foi encontrado. Verifique se o arquivo está mesmo no "
                                 "disco. Se ele não existir, você precisará reinstalá-lo."),
               vb::vbInformation, "Aviso!");
    return false;
}

void ShowHelpIndex(const QString& helpFile)
{
    if (HelpFileFound(helpFile))
        help::ShowIndex(helpFile);
}

void ShowHelpTopic(const QString& helpFile, const QString& topic)
{
    help::ShowTopic(helpFile, topic);
}

QString GetLoggedUserName()
{
    return vb::ProperCase(username::LogonName());
}

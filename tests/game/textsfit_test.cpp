// Every text of every window shows whole inside its box, in the fonts the
// program draws it with; each window bears the program's name and icon.
#include "gamefixture.h"

#include "art/icons.h"
#include "game/frmBaralho.h"
#include "game/frmManilhas.h"
#include "netplay/frmBatePapo.h"
#include "netplay/frmIniciar.h"
#include "netplay/frmListen.h"
#include "netplay/frmSearch.h"
#include "platform/forms/button.h"
#include "platform/forms/commandbutton.h"
#include "platform/forms/frame.h"
#include "platform/forms/label.h"
#include "platform/forms/pace.h"
#include "platform/forms/twips.h"
#include "platform/instance.h"
#include "shell/frmOption.h"
#include "shell/frmSobre.h"
#include "shell/modMain.h"

#include <QStyle>
#include <QStyleOptionButton>

#include <string>
#include <vector>

namespace {

using TextsFit = gametest::GameTest;
using WindowLook = gametest::GameTest;

// Every window but the table, loaded.
std::vector<vb::Form*> dialogs()
{
    return {&frmBaralho::Get(), &frmManilhas::Get(), &frmVorlada::Get(), &frmVenceu::Get(),
            &frmMSG::Get(),     &frmOption::Get(),   &frmSobre::Get(),   &frmIniciar::Get(),
            &frmListen::Get(),  &frmSearch::Get(),   &frmBatePapo::Get()};
}

std::string where(const vb::Form& form, const QWidget& control, const QString& text)
{
    return form.windowTitle().toStdString() + ": \"" + text.toStdString() + "\" in " +
           control.metaObject()->className();
}

// The lines a label takes, laid out in its width.
QSize labelTextSize(const vb::Label& label)
{
    int flags = Qt::AlignTop | Qt::TextShowMnemonic;
    if (label.WordWrap())
        flags |= Qt::TextWordWrap;
    return label.fontMetrics().boundingRect(QRect(0, 0, label.width(), QWIDGETSIZE_MAX), flags, label.Caption()).size();
}

// The room the desktop's style leaves a button's caption.
QRect buttonTextRoom(const vb::ButtonControl& button, QStyle::SubElement contents)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.Caption();
    return button.style()->subElementRect(contents, &option, &button);
}

// Checks every text of the form; notes the labels whose design box was too small.
void checkForm(const vb::Form& form, QStringList& grown)
{
    for (const vb::Label* label : form.findChildren<vb::Label*>()) {
        if (label->Caption().isEmpty())
            continue;
        if (!label->AutoSize() && label->size() != QSize(vb::ToPixels(label->Width()), vb::ToPixels(label->Height())))
            grown << label->Caption();
        const QSize text = labelTextSize(*label);
        EXPECT_LE(text.width(), label->width()) << where(form, *label, label->Caption());
        EXPECT_LE(text.height(), label->height()) << where(form, *label, label->Caption());
    }
    for (const vb::ButtonControl* button : form.findChildren<vb::ButtonControl*>()) {
        if (button->Caption().isEmpty())
            continue;
        const auto contents = qobject_cast<const vb::CheckBox*>(button)      ? QStyle::SE_CheckBoxContents
                              : qobject_cast<const vb::OptionButton*>(button) ? QStyle::SE_RadioButtonContents
                                                                             : QStyle::SE_PushButtonContents;
        const QRect room = buttonTextRoom(*button, contents);
        const QSize text = button->fontMetrics().size(Qt::TextShowMnemonic, button->Caption());
        EXPECT_LE(text.width(), room.width()) << where(form, *button, button->Caption());
        EXPECT_LE(text.height(), button->height()) << where(form, *button, button->Caption());
    }
    for (const vb::Frame* frame : form.findChildren<vb::Frame*>()) {
        const QSize text = frame->fontMetrics().size(Qt::TextShowMnemonic, frame->Caption());
        EXPECT_LE(text.width(), frame->width()) << where(form, *frame, frame->Caption());
    }
}

TEST_F(TextsFit, EveryWindowShowsItsTextsWholeAndTheDesignBoxesHoldThem)
{
    QStringList grown;
    frmVorla& table = frmVorla::Get();
    for (int i = 1; i <= 2; ++i)
        table.lblTotal(i).Caption = "255"; // the most matches a count holds
    checkForm(table, grown);
    for (vb::Form* form : dialogs()) {
        checkForm(*form, grown);
        form->Unload();
    }
    vb::DoEvents();
    EXPECT_EQ(grown, (QStringList{"255", "255"})) << "only a count's narrow box grows";
}

TEST_F(WindowLook, EveryDialogIsNamedByItsCaptionOrTheProgramAndCarriesItsIcon)
{
    instance::SetTitle("Mirvo Vorla");
    InstallProgramIcon();
    const QImage icon = art::ProgramIconPicture(32).toImage();
    for (vb::Form* form : dialogs()) {
        EXPECT_EQ(form->windowTitle(), form->Caption().isEmpty() ? "Mirvo Vorla" : form->Caption());
        EXPECT_EQ(form->windowIcon().pixmap(32).toImage(), icon) << form->windowTitle().toStdString();
        form->Unload();
    }
    vb::DoEvents();
    instance::SetTitle("fim do teste");
}

} // namespace

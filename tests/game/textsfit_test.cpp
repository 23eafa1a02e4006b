// Every text of every window shows whole inside its box, in the fonts the
// program draws it with.
#include "everywindow.h"
#include "gamefixture.h"

#include "platform/forms/button.h"
#include "platform/forms/commandbutton.h"
#include "platform/forms/frame.h"
#include "platform/forms/label.h"
#include "platform/forms/pace.h"
#include "platform/forms/twips.h"

#include <QStyle>
#include <QStyleOptionButton>

#include <string>
#include <vector>

namespace {

using TextsFit = gametest::GameTest;

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
    const std::vector<vb::Form*> windows = gametest::EveryWindow();
    for (int i = 1; i <= 2; ++i)
        frmVorla::Get().lblTotal(i).Caption = "255"; // the most matches a count holds
    for (vb::Form* form : windows)
        checkForm(*form, grown);
    gametest::UnloadDialogs(windows);
    vb::DoEvents();
    EXPECT_EQ(grown, (QStringList{"255", "255"})) << "only a count's narrow box grows";
}

} // namespace

#include "dialogtest.h"

#include "platform/datapath.h"
#include "shell/frmOption.h"

#include <functional>

namespace {

using namespace dialogtest;

class OptionsDialog : public DialogTest {
protected:
    // The dialog's whole state, one letter or word per control, in a line that
    // a failed comparison shows at once.
    static QString State(frmOption& d)
    {
        auto on = [](bool b) { return b ? "1" : "0"; };
        return QString("som %1 '%2' %3 | baralho %4%5 limpo:%6 | escuro %7 | exibir %8%9 | manilha %10%11")
            .arg(on(d.chkSom.Value == vb::vbChecked), d.chkSom.Caption(),
                 d.imgSom.Picture() == d.imgON.Picture()    ? "on"
                 : d.imgSom.Picture() == d.imgOff.Picture() ? "off"
                                                            : "?")
            .arg(on(d.optTipoBar(1).Value), on(d.optTipoBar(2).Value), on(d.optTipoBar(2).isEnabled()))
            .arg(on(d.opt11x11(2).Value() && !d.opt11x11(1).Value()))
            .arg(on(d.chkExibir.Value == vb::vbChecked), d.chkExibir.isEnabled() ? "" : " off")
            .arg(on(d.optManilha(1).Value), on(d.optManilha(2).Value));
    }
};

TEST_F(OptionsDialog, LoadsTheOptionsInMemoryWithTheRuleBetweenDeckAndManilhas)
{
    struct Case {
        bool sound, dirty, dark, show, newManilha, network;
        const char* state;
    };
    const Case cases[] = {
        {true, true, false, false, true, false,
         "som 1 'Som Ligado' on | baralho 10 limpo:1 | escuro 0 | exibir 0 | manilha 10"},
        {false, false, true, true, true, false,
         "som 0 'Som Desligado' off | baralho 01 limpo:1 | escuro 1 | exibir 1 | manilha 10"},
        // A stored short deck cannot go with the old manilhas.
        {true, false, false, false, false, false,
         "som 1 'Som Ligado' on | baralho 10 limpo:0 | escuro 0 | exibir 0 | manilha 01"},
        // Hosting a network game: only showing the computer's cards is out of reach.
        {false, true, true, true, false, true,
         "som 0 'Som Desligado' off | baralho 10 limpo:0 | escuro 1 | exibir 1 off | manilha 01"},
    };
    for (const Case& c : cases) {
        Hand.SoundOn = c.sound;
        Hand.DirtyDeck = c.dirty;
        Hand.PlayInDark = c.dark;
        Hand.ShowComputerCards = c.show;
        Hand.NewManilha = c.newManilha;
        Hand.NetworkGame = IsServer = c.network;
        frmOption& d = frmOption::Get();
        EXPECT_EQ(State(d), c.state);
        EXPECT_EQ(Hand.DirtyDeck, c.dirty) << "loading changes no option";
        EXPECT_TRUE(d.fraBaralho.isEnabled() && d.fra11x11.isEnabled() && d.fraManilhas.isEnabled());
        for (int i = 0; i <= 2; ++i)
            EXPECT_EQ(d.picHelp(i).GetMousePointer(), vb::MousePointer::Custom) << i;
        d.Unload();
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(OptionsDialog, TheOldManilhasTakeTheFullDeckAndTheNewOnesFreeTheShortOne)
{
    frmOption& d = frmOption::Get();
    Click(d.optTipoBar(2));
    Click(d.optManilha(2));
    EXPECT_EQ(State(d), "som 1 'Som Ligado' on | baralho 10 limpo:0 | escuro 0 | exibir 0 | manilha 01");
    Click(d.optManilha(2)); // again: the choice, not the click, decides
    EXPECT_FALSE(d.optTipoBar(2).isEnabled());
    Click(d.optManilha(1));
    EXPECT_EQ(State(d), "som 1 'Som Ligado' on | baralho 10 limpo:1 | escuro 0 | exibir 0 | manilha 10")
        << "the short deck is free again but not chosen";
    Click(d.optTipoBar(2));
    EXPECT_TRUE(d.optTipoBar(2).Value());
}

TEST_F(OptionsDialog, OkSavesAllFiveAndOnlyANewDeckOrManilhaRuleChangesTheHand)
{
    struct Case {
        const char* what;
        std::function<void(frmOption&)> change;
        bool changed;
        const char* stored; // Som, Baralho Sujo, No Escuro, Exibir Carta, Manilha Nova
    };
    const Case cases[] = {
        {"nothing", [](frmOption&) {}, false, "True True False False True"},
        {"sound", [](frmOption& d) { Click(d.chkSom); }, false, "False True False False True"},
        {"dark", [](frmOption& d) { Click(d.opt11x11(2)); }, false, "True True True False True"},
        {"show cards", [](frmOption& d) { Click(d.chkExibir); }, false, "True True False True True"},
        {"short deck", [](frmOption& d) { Click(d.optTipoBar(2)); }, true, "True False False False True"},
        {"old manilhas", [](frmOption& d) { Click(d.optManilha(2)); }, true, "True True False False False"},
        {"there and back",
         [](frmOption& d) {
             Click(d.optTipoBar(2));
             Click(d.optManilha(2));
             Click(d.optManilha(1));
         },
         false, "True True False False True"},
    };
    for (const Case& c : cases) {
        Fresh();
        QTemporaryDir store; // each case starts from an empty store
        qputenv("XDG_CONFIG_HOME", store.path().toLocal8Bit());
        const QString expected = c.stored;
        frmOption& d = frmOption::Get();
        c.change(d);
        Click(d.cmdOk);
        EXPECT_FALSE(frmOption::Loaded()) << c.what;
        EXPECT_EQ(OptionsChanged, c.changed) << c.what;
        QStringList values;
        for (const char* name : {"Som", "Baralho Sujo", "No Escuro", "Exibir Carta", "Manilha Nova"})
            values << Stored(name).value_or("-");
        EXPECT_EQ(values.join(' '), expected) << c.what;
        const QString memory = QStringList{BoolText(Hand.SoundOn), BoolText(Hand.DirtyDeck),
                                           BoolText(Hand.PlayInDark), BoolText(Hand.ShowComputerCards),
                                           BoolText(Hand.NewManilha)}
                                   .join(' ');
        EXPECT_EQ(memory, expected) << c.what << ": memory and store agree";
        EXPECT_FALSE(Stored("Verso")) << "the card back is not the options' to save";
    }
}

TEST_F(OptionsDialog, CancelAndTheCloseBoxForgetEveryChange)
{
    for (bool closeBox : {false, true}) {
        frmOption& d = frmOption::Get();
        Click(d.chkSom);
        EXPECT_EQ(d.chkSom.Caption(), "Som Desligado") << "the box shows its state at once";
        EXPECT_TRUE(d.imgSom.Picture() == d.imgOff.Picture());
        Click(d.optManilha(2));
        Click(d.opt11x11(2));
        Click(d.chkExibir);
        if (closeBox)
            d.close();
        else
            Click(d.cmdCancelar);
        EXPECT_FALSE(frmOption::Loaded());
        EXPECT_TRUE(Hand.SoundOn && Hand.DirtyDeck && Hand.NewManilha);
        EXPECT_FALSE(Hand.PlayInDark || Hand.ShowComputerCards || OptionsChanged);
        for (const char* name : {"Som", "Baralho Sujo", "No Escuro", "Exibir Carta", "Manilha Nova"})
            EXPECT_FALSE(Stored(name)) << name;
        // The next showing starts from the options again.
        EXPECT_EQ(State(frmOption::Get()),
                  "som 1 'Som Ligado' on | baralho 10 limpo:1 | escuro 0 | exibir 0 | manilha 10");
        frmOption::Get().Unload();
    }
}

TEST_F(OptionsDialog, AGuestKeepsTheHostsRulesAndChangesOnlyItsSound)
{
    Hand.NetworkGame = true;
    IsServer = false;
    Hand.DirtyDeck = false; // the host's short deck
    frmOption& d = frmOption::Get();
    for (vb::Control* off : std::vector<vb::Control*>{&d.fraBaralho, &d.fra11x11, &d.fraManilhas, &d.optTipoBar(1),
                                                      &d.optTipoBar(2), &d.opt11x11(1), &d.opt11x11(2),
                                                      &d.optManilha(1), &d.optManilha(2), &d.chkExibir,
                                                      &d.picHelp(0), &d.picHelp(1), &d.picHelp(2)})
        EXPECT_FALSE(off->isEnabled()) << off->metaObject()->className();
    EXPECT_TRUE(d.optTipoBar(2).Value()) << "the rules are shown, only not changed";
    Click(d.chkSom);
    Click(d.cmdOk);
    EXPECT_FALSE(Hand.SoundOn);
    EXPECT_FALSE(Hand.DirtyDeck);
    EXPECT_FALSE(OptionsChanged);
}

TEST_F(OptionsDialog, AMissingHelpFileIsSaidAndTheDialogStays)
{
    ASSERT_TRUE(datapath::HelpFile().isEmpty()) << "no help file beside the test programs";
    frmOption& d = frmOption::Get();
    for (int i = 0; i <= 2; ++i)
        Click(d.picHelp(i));
    ASSERT_EQ(boxes.size(), 3u);
    for (const vb::MsgBoxRequest& box : boxes) {
        EXPECT_EQ(box.prompt, QString::fromUtf8("Arquivo de ajuda não foi encontrado. Verifique se o arquivo está "
                                                "mesmo no disco. Se ele não existir, você precisará reinstalá-lo."));
        EXPECT_EQ(box.style, vb::vbInformation);
        EXPECT_EQ(box.title, "Aviso!");
    }
    EXPECT_TRUE(frmOption::Loaded());
    EXPECT_TRUE(helpAsked.empty());
}

TEST_F(OptionsDialog, EachHelpPictureOpensTheTopicOfItsFrame)
{
    if (!BesideHelp())
        return RunBesideHelp();
    ASSERT_FALSE(datapath::HelpFile().isEmpty());
    frmOption& d = frmOption::Get();
    d.Show();
    const char* topics[] = {"BarSujoLimpo.htm", "NoEscuro.htm", "ManilhaNovaVelha.htm"};
    for (int i : {1, 0, 2}) {
        Click(d.picHelp(i));
        ASSERT_FALSE(helpAsked.empty());
        EXPECT_EQ(helpAsked.back(), std::make_pair(datapath::HelpFile(), QString(topics[i]))) << i;
    }
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(frmOption::Loaded());
}

} // namespace

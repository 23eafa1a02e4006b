#include "dialogtest.h"

#include "platform/datapath.h"
#include "platform/files/files.h"
#include "platform/instance.h"
#include "shell/frmSobre.h"
#include "support/oddfiles.h"

#include <QEvent>
#include <QUrl>
#include <QUrlQuery>

#include <tuple>

namespace {

using namespace dialogtest;

class AboutBox : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        title_ = instance::Title();
    }
    void TearDown() override
    {
        instance::SetTitle(title_);
        DialogTest::TearDown();
    }

    // How a link looks: its colour, underline and pointer.
    static std::string Look(vb::Label& link)
    {
        return QString("%1%2%3")
            .arg(link.ForeColor().name(), link.font().underline() ? " underlined" : "",
                 link.GetMousePointer() == vb::MousePointer::Custom ? " hand" : "")
            .toStdString();
    }

    static void PointerLeaves(vb::Label& link)
    {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&link, &leave);
    }

private:
    QString title_;
};

TEST_F(AboutBox, TheVersionLineNamesTheProgramByItsTitle)
{
    for (const char* title : {"Mirvo Vorla", "Instancia Cancelada"}) {
        instance::SetTitle(title);
        frmSobre& about = frmSobre::Get();
        EXPECT_EQ(about.lbSoftware.Caption(), QString("Software: %1 2.0").arg(title));
        EXPECT_EQ(about.Caption(), "Sobre");
        about.Unload();
    }
}

TEST_F(AboutBox, ALinkLooksLikeOneOnlyWhileThePointerIsOverIt)
{
    frmSobre& about = frmSobre::Get();
    about.Show();
    const std::string windowText = vb::GetSystemColor(vb::SystemColor::WindowText).name().toStdString();
    for (int i = 0; i <= 1; ++i) {
        vb::Label& link = about.lblLink(i);
        EXPECT_EQ(Look(link), windowText) << i;
        link.RaiseMouseMove();
        EXPECT_EQ(Look(link), "#0000ff underlined hand") << i;
        link.RaiseMouseMove();
        EXPECT_EQ(Look(link), "#0000ff underlined hand") << i;
        PointerLeaves(link);
        EXPECT_EQ(Look(link), "#000000") << i;
    }
    EXPECT_TRUE(opened.empty()) << "passing over a link opens nothing";
}

TEST_F(AboutBox, TheSupportLinkStartsAMailWithOnlyASubjectOncePerClick)
{
    frmSobre& about = frmSobre::Get();
    about.Show();
    vb::Label& link = about.lblLink(1);
    link.RaiseMouseMove();
    Click(link);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(Look(link), "#000000") << "a click leaves the link plain";
    const QUrl mail(opened[0]);
    EXPECT_EQ(mail.scheme(), "mailto");
    EXPECT_TRUE(mail.path().isEmpty()) << "no address is made up";
    EXPECT_EQ(QUrlQuery(mail).queryItemValue("subject", QUrl::FullyDecoded), "Mirvo Vorla 2.0 - Suporte");
    link.RaiseMouseMove();
    Click(link);
    EXPECT_EQ(opened.size(), 2u);
    EXPECT_TRUE(boxes.empty());
}

// Whatever keeps the help from being shown, the link says so in the box of the
// options' help.
TEST_F(AboutBox, TheHelpLinkSaysWhenTheHelpFileCannotBeShown)
{
    if (!BesideHelp())
        return RunBesideHelp();
    const QString path = datapath::HelpFile();
    ASSERT_FALSE(path.isEmpty());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray good = file.readAll();
    const auto sameBoxAsTheOptions = [&] {
        boxes.clear();
        Click(frmOption::Get().picHelp(0));
        Click(frmSobre::Get().lblLink(0));
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(std::tie(boxes[1].prompt, boxes[1].style, boxes[1].title),
                  std::tie(boxes[0].prompt, boxes[0].style, boxes[0].title));
        frmSobre::Get().Unload();
    };
    {
        SCOPED_TRACE("missing");
        QFile::remove(path);
        sameBoxAsTheOptions();
    }
    {
        SCOPED_TRACE("damaged");
        ASSERT_TRUE(files::ReplaceWhole(path, "isto nao e um arquivo de ajuda"));
        sameBoxAsTheOptions();
    }
    ForEachOddFile(path, 16 * 1024 * 1024, good, sameBoxAsTheOptions);
    EXPECT_TRUE(helpAsked.empty());
    EXPECT_TRUE(opened.empty());
}

TEST_F(AboutBox, TheSiteLinkOpensTheProgramsHelp)
{
    if (!BesideHelp())
        return RunBesideHelp();
    frmSobre& about = frmSobre::Get();
    about.Show();
    about.lblLink(0).RaiseMouseMove();
    Click(about.lblLink(0));
    ASSERT_EQ(helpAsked.size(), 1u);
    EXPECT_EQ(helpAsked[0], std::make_pair(datapath::HelpFile(), QString())) << "the start page";
    EXPECT_TRUE(opened.empty()) << "the program's own viewer, not the desktop";
}

} // namespace

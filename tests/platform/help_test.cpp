// The help file built from our sources, and the viewer that shows it.
#include "platform/help.h"

#include <QApplication>
#include <QFile>
#include <QPixmap>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <gtest/gtest.h>

namespace {

const QString kHelpFile = QStringLiteral(BINARY_DIR "/Ajuda.chm");

QWidget* Viewer()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "helpViewer" && w->isVisible())
            return w;
    return nullptr;
}

QTextBrowser* Browser()
{
    QWidget* viewer = Viewer();
    return viewer ? viewer->findChild<QTextBrowser*>("helpBrowser") : nullptr;
}

void CloseViewer()
{
    if (QWidget* viewer = Viewer())
        viewer->close();
    QApplication::processEvents();
}

// Every link target of the shown page.
QStringList Links(QTextBrowser* browser)
{
    QStringList links;
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isAnchor())
                links << it.fragment().charFormat().anchorHref();
    return links;
}

// Clicks the link whose text contains `text`, as the mouse would.
bool ClickLink(QTextBrowser* browser, const QString& text)
{
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isAnchor() || !fragment.text().contains(text))
                continue;
            QTextCursor cursor(browser->document());
            cursor.setPosition(fragment.position() + 1);
            const QPoint at = browser->cursorRect(cursor).center();
            QMouseEvent press(QEvent::MouseButtonPress, at, browser->viewport()->mapToGlobal(at), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QMouseEvent release(QEvent::MouseButtonRelease, at, browser->viewport()->mapToGlobal(at),
                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(browser->viewport(), &press);
            QApplication::sendEvent(browser->viewport(), &release);
            return true;
        }
    }
    return false;
}

class HelpViewer : public ::testing::Test {
protected:
    void TearDown() override { CloseViewer(); }
};

TEST_F(HelpViewer, EachTopicShowsItsOwnPage)
{
    ASSERT_TRUE(QFile::exists(kHelpFile)) << "the help file is built with the tests";
    const struct {
        const char* topic;
        const char* heading;
        const char* rule;
    } topics[] = {
        {"ManilhaNovaVelha.htm", "Manilha nova e manilha velha", "pica-fumo"},
        {"NoEscuro.htm", "Mão de Ferro (11x11)", "viradas para baixo"},
        {"BarSujoLimpo.htm", "Baralho Sujo e Baralho Limpo", "24 cartas"},
    };
    for (const auto& t : topics) {
        ASSERT_TRUE(help::ShowTopic(kHelpFile, t.topic)) << t.topic;
        QTextBrowser* browser = Browser();
        ASSERT_NE(browser, nullptr);
        const QString text = browser->toPlainText();
        EXPECT_TRUE(text.contains(QString::fromUtf8(t.heading))) << t.topic;
        EXPECT_TRUE(text.contains(QString::fromUtf8(t.rule))) << t.topic;
        EXPECT_EQ(Viewer()->windowTitle(), "Ajuda - " + QString::fromUtf8(t.heading));
    }
    int viewers = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        viewers += w->objectName() == "helpViewer" && w->isVisible();
    EXPECT_EQ(viewers, 1) << "one viewer window serves every topic";
}

TEST_F(HelpViewer, IndexLinksToTheTopicsAndLinksAndPicturesWork)
{
    ASSERT_TRUE(help::ShowIndex(kHelpFile));
    QTextBrowser* browser = Browser();
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->toPlainText().contains("Vorla"));
    const QStringList links = Links(browser);
    for (const char* topic : {"ManilhaNovaVelha.htm", "NoEscuro.htm", "BarSujoLimpo.htm"})
        EXPECT_TRUE(links.contains(topic)) << topic;

    ASSERT_TRUE(ClickLink(browser, "Manilha nova e manilha velha"));
    EXPECT_TRUE(browser->source().path().endsWith("/ManilhaNovaVelha.htm")) << browser->source().toString().toStdString();
    EXPECT_TRUE(browser->toPlainText().contains("espadilha"));
    const QVariant picture = browser->document()->resource(QTextDocument::ImageResource, QUrl("naipes.png"));
    // The page's layout has already turned the bytes into a picture.
    ASSERT_EQ(picture.typeId(), QMetaType::QPixmap);
    EXPECT_EQ(picture.value<QPixmap>().width(), 238) << "the picture of the suits comes out of the help file";

    QPushButton* back = Viewer()->findChild<QPushButton*>("helpBack");
    ASSERT_NE(back, nullptr);
    ASSERT_TRUE(back->isEnabled());
    back->click();
    EXPECT_TRUE(browser->source().path().endsWith("/index.htm"));
}

TEST_F(HelpViewer, UnreadableFilesAndTopicsFailQuietly)
{
    QTemporaryDir dir;
    const QString junk = dir.filePath("Ajuda.chm");
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("isto nao e um arquivo de ajuda");
    f.close();

    EXPECT_FALSE(help::ShowTopic(dir.filePath("nao-existe.chm"), "NoEscuro.htm"));
    EXPECT_FALSE(help::ShowIndex(dir.filePath("nao-existe.chm")));
    EXPECT_FALSE(help::ShowTopic(junk, "NoEscuro.htm"));
    EXPECT_FALSE(help::ShowTopic(kHelpFile, "NaoExiste.htm"));
    EXPECT_FALSE(help::ShowTopic(kHelpFile, ""));
    EXPECT_EQ(Viewer(), nullptr);
}

} // namespace

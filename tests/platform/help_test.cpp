// The help file built from our sources, the check of a help file's structure,
// the viewer's window, and the viewer as a process of its own beside the game.
#include "platform/help.h"
#include "platform/helpfile.h"
#include "platform/helpviewer.h"
#include "platform/instance.h"
#include "support/oddfiles.h"
#include "support/qtprint.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QPixmap>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QWindow>
#include <QtEndian>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString kHelpFile = QStringLiteral(BINARY_DIR "/Ajuda.chm");
const QString kTitle = QStringLiteral("Mirvo Vorla - Ajuda");
const char* const kTopics[] = {"ManilhaNovaVelha.htm", "NoEscuro.htm", "BarSujoLimpo.htm"};
constexpr int kOuterLimitMs = 30000;

QByteArray BuiltHelp()
{
    QFile f(kHelpFile);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// ---- Damaged copies of the built help file -------------------------------

struct Damage {
    const char* what;
    QByteArray bytes;
};

QByteArray Zeroed(QByteArray bytes, qsizetype at, qsizetype count = 1)
{
    bytes.replace(at, count, QByteArray(count, '\0'));
    return bytes;
}

// The built file with single parts of its structure broken, each where the
// help library would divide by it, or read or write outside the file by it.
std::vector<Damage> DamagedCopies(const QByteArray& good)
{
    const auto directory = static_cast<qsizetype>(qFromLittleEndian<quint64>(good.constData() + 0x48));
    const qsizetype control = good.indexOf("LZXC") - 4;
    // The reset table's header: version 2, its count of frames, entries of 8
    // bytes and a header of 40.
    const qsizetype table = good.indexOf(QByteArray::fromHex("0800000028000000")) - 8;
    EXPECT_GT(control, 0);
    EXPECT_GT(table, 0);
    QByteArray farFrame = good;
    qToLittleEndian<quint64>(quint64(1) << 40, farFrame.data() + table + 0x28);
    return {
        {"file signature", Zeroed(good, 0)},
        {"directory offset", Zeroed(good, 0x48)},
        {"directory chunk size", Zeroed(good, directory + 0x11)},
        {"first listing's signature", Zeroed(good, directory + 0x54)},
        {"name length of a listed object", Zeroed(good, directory + 0x54 + 0x14)},
        {"compression window", Zeroed(good, control + 0x10)},
        {"compression reset interval", Zeroed(good, control + 0x0C)},
        {"windows per reset", Zeroed(good, control + 0x14)},
        {"reset table's frame size", Zeroed(good, table + 0x21)},
        {"reset table's frame count", Zeroed(good, table + 0x04)},
        {"reset table's uncompressed length", Zeroed(good, table + 0x10, 8)},
        {"a frame past the compressed data", farFrame},
        {"cut inside the directory", good.left(directory + 0x200)},
        {"cut inside the compressed data", good.left(good.size() - 100)},
    };
}

TEST(HelpFileCheck, TheBuiltFileIsWholeAndListsItsPages)
{
    const std::optional<QSet<QString>> contents = help::CheckedContents(BuiltHelp());
    ASSERT_TRUE(contents) << "the help file is built with the tests";
    for (const char* topic : kTopics)
        EXPECT_TRUE(contents->contains(help::PageName(topic))) << topic;
    EXPECT_TRUE(contents->contains("/index.htm"));
    EXPECT_TRUE(contents->contains("/naipes.png"));
    EXPECT_EQ(help::PageName("/NoEscuro.htm"), "/NoEscuro.htm");
}

TEST(HelpFileCheck, WhatIsNoRegularFileOrTooLongIsRefused)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Ajuda.chm");
    ForEachOddFile(path, 16 * 1024 * 1024, BuiltHelp(), [&] { EXPECT_FALSE(help::CheckedFileContents(path)); });
}

// The viewers this test program has started, ended ones not yet reaped among them.
std::vector<pid_t> Viewers()
{
    QFile children(QStringLiteral("/proc/self/task/%1/children").arg(getpid()));
    std::vector<pid_t> pids;
    if (children.open(QIODevice::ReadOnly))
        for (const QByteArray& pid : children.readAll().split(' '))
            if (pid.toInt() > 0)
                pids.push_back(pid.toInt());
    return pids;
}

QString Written(const QTemporaryDir& dir, const QByteArray& bytes)
{
    const QString path = dir.filePath("Ajuda.chm");
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    return path;
}

TEST(HelpFileCheck, DamagedFilesAreRefusedAndStartNoViewer)
{
    const QByteArray good = BuiltHelp();
    ASSERT_TRUE(help::CheckedContents(good));
    QTemporaryDir dir;
    for (const Damage& d : DamagedCopies(good)) {
        EXPECT_FALSE(help::CheckedContents(d.bytes)) << d.what;
        const QString path = Written(dir, d.bytes);
        EXPECT_FALSE(help::ShowIndex(path)) << d.what;
        EXPECT_FALSE(help::ShowTopic(path, "NoEscuro.htm")) << d.what;
    }
    EXPECT_TRUE(Viewers().empty());
    EXPECT_FALSE(help::CheckedContents(QByteArray()));
    EXPECT_FALSE(help::CheckedContents("ITSF"));
    EXPECT_FALSE(help::CheckedFileContents(QDir::temp().filePath("nao-existe.chm")));
}

// ---- The viewer's window, in this process --------------------------------

QWidget* Window()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "helpViewer" && w->isVisible())
            return w;
    return nullptr;
}

QTextBrowser* Browser()
{
    QWidget* window = Window();
    return window ? window->findChild<QTextBrowser*>("helpBrowser") : nullptr;
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

class HelpWindow : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (QWidget* window = Window())
            window->close();
        QApplication::processEvents();
    }
};

TEST_F(HelpWindow, EachTopicShowsItsOwnPageInOneWindowUnderOneTitle)
{
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
        ASSERT_EQ(help::ShowRequest({kHelpFile, t.topic, {}}), help::PageName(t.topic));
        QTextBrowser* browser = Browser();
        ASSERT_NE(browser, nullptr);
        const QString text = browser->toPlainText();
        EXPECT_TRUE(text.contains(QString::fromUtf8(t.heading))) << t.topic;
        EXPECT_TRUE(text.contains(QString::fromUtf8(t.rule))) << t.topic;
        EXPECT_EQ(Window()->windowTitle(), kTitle) << t.topic;
    }
    ASSERT_EQ(help::ShowRequest({kHelpFile, "", {}}), "/index.htm") << "the start page";
    EXPECT_EQ(Window()->windowTitle(), kTitle) << "the start page's title names the help once";
    int windows = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        windows += w->objectName() == "helpViewer" && w->isVisible();
    EXPECT_EQ(windows, 1) << "one window serves every topic";
}

TEST_F(HelpWindow, IndexLinksToTheTopicsAndLinksAndPicturesWork)
{
    ASSERT_EQ(help::ShowRequest({kHelpFile, "", {}}), "/index.htm");
    QTextBrowser* browser = Browser();
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->toPlainText().contains("Vorla"));
    const QStringList links = Links(browser);
    for (const char* topic : kTopics)
        EXPECT_TRUE(links.contains(topic)) << topic;

    ASSERT_TRUE(ClickLink(browser, "Manilha nova e manilha velha"));
    EXPECT_EQ(browser->source().path(), "/ManilhaNovaVelha.htm");
    EXPECT_TRUE(browser->toPlainText().contains("espadilha"));
    const QVariant picture = browser->document()->resource(QTextDocument::ImageResource, QUrl("naipes.png"));
    // The page's layout has already turned the bytes into a picture.
    ASSERT_EQ(picture.typeId(), QMetaType::QPixmap);
    EXPECT_EQ(picture.value<QPixmap>().width(), 238) << "the picture of the suits comes out of the help file";

    QPushButton* back = Window()->findChild<QPushButton*>("helpBack");
    ASSERT_NE(back, nullptr);
    ASSERT_TRUE(back->isEnabled());
    back->click();
    EXPECT_TRUE(browser->source().path().endsWith("/index.htm"));
}

TEST_F(HelpWindow, OpensBesideTheGameAndStaysWhereItIs)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect table(screen.left() + 10, screen.top() + 20, 100, 100);
    ASSERT_FALSE(help::ShowRequest({kHelpFile, "NoEscuro.htm", table}).isEmpty());
    QWidget* window = Window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->frameGeometry().topLeft(), help::PlaceBeside(table, QSize(640, 520), screen).topLeft());
    EXPECT_GT(window->x(), table.right()) << "right of the table";

    // Shown again it stays where the player has it.
    window->move(window->pos() + QPoint(5, 5));
    const QPoint moved = window->pos();
    ASSERT_FALSE(help::ShowRequest({kHelpFile, "BarSujoLimpo.htm", table.translated(50, 0)}).isEmpty());
    EXPECT_EQ(Window()->pos(), moved);
}

TEST_F(HelpWindow, ItsFrameLiesWhollyOnTheScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // Level with the table's top, the window's own area ends at the screen's bottom edge.
    const QRect table(screen.left(), screen.bottom(), 100, 1);
    ASSERT_FALSE(help::ShowRequest({kHelpFile, "NoEscuro.htm", table}).isEmpty());
    QWidget* window = Window();
    ASSERT_NE(window, nullptr);
    const QDeadlineTimer limit(kOuterLimitMs);
    while (!screen.contains(window->frameGeometry()) && !limit.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    EXPECT_TRUE(screen.contains(window->frameGeometry()))
        << "frame's bottom " << window->frameGeometry().bottom() << ", screen's " << screen.bottom();
    EXPECT_FALSE(window->windowHandle()->frameMargins().isNull()) << "the window has a frame to keep on the screen";
}

// At a device pixel ratio of 2, where the help's frame (1, 10, 1 and 3 pixels
// round it) took it past the screen's bottom edge.
TEST(HelpPlacement, AFramedWindowIsKeptOnTheScreenAsEveryWindowIs)
{
    const struct {
        const char* where;
        QRect frame;
        QRect screen;
        QRect placed;
    } cases[] = {
        {"1280x900: narrowed over the table, as high as the screen", {0, 0, 422, 463}, {0, 0, 640, 450},
         {0, 0, 422, 450}},
        {"1920x1080: level with the centred table", {0, 13, 422, 533}, {0, 0, 960, 540}, {0, 7, 422, 533}},
        {"a frame on the screen stays where it is", {508, 50, 642, 533}, {0, 0, 1280, 900}, {508, 50, 642, 533}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(help::FrameOnScreen(c.frame, c.screen), c.placed) << c.where;
}

TEST(HelpPlacement, BesideTheAnchorWhereTheScreenHasRoom)
{
    const QRect screen(0, 0, 1280, 900);
    const QSize size(640, 520);
    const struct {
        const char* where;
        QRect anchor;
        QRect placed;
    } cases[] = {
        {"room on the right: just past it, level with its top", {100, 50, 400, 300}, {508, 50, 640, 520}},
        {"none on the right: on the left", {700, 50, 500, 300}, {52, 50, 640, 520}},
        {"room for a narrower one on the right", {0, 0, 700, 300}, {708, 0, 572, 520}},
        {"room for a narrower one on the left", {500, 0, 780, 300}, {0, 0, 492, 520}},
        {"too little on either side: readable, at the left edge, on the screen", {241, 600, 795, 512},
         {0, 380, 420, 520}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(help::PlaceBeside(c.anchor, size, screen), c.placed) << c.where;
    EXPECT_EQ(help::PlaceBeside(QRect(0, 0, 100, 100), size, QRect(0, 0, 500, 400)), QRect(0, 0, 420, 400))
        << "a screen smaller than the window";
}

TEST_F(HelpWindow, UnreadableFilesAndTopicsAreRefusedAndShowNothing)
{
    QTemporaryDir dir;
    const QString junk = dir.filePath("Ajuda.chm");
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("isto nao e um arquivo de ajuda");
    f.close();

    for (const help::Request& r : {help::Request{dir.filePath("nao-existe.chm"), "NoEscuro.htm", {}},
                                   help::Request{junk, "NoEscuro.htm", {}}, help::Request{junk, "", {}},
                                   help::Request{kHelpFile, "NaoExiste.htm", {}}})
        EXPECT_TRUE(help::ShowRequest(r).isEmpty()) << r.file.toStdString() << " " << r.topic.toStdString();
    EXPECT_EQ(Window(), nullptr);

    EXPECT_FALSE(help::ShowTopic(dir.filePath("nao-existe.chm"), "NoEscuro.htm"));
    EXPECT_FALSE(help::ShowIndex(dir.filePath("nao-existe.chm")));
    EXPECT_FALSE(help::ShowTopic(junk, "NoEscuro.htm"));
    EXPECT_FALSE(help::ShowTopic(kHelpFile, "NaoExiste.htm"));
    EXPECT_FALSE(help::ShowTopic(kHelpFile, ""));
}

TEST(HelpRequest, ALineCarriesAnyPathAndTopic)
{
    const help::Request r{"/tmp/dir com espaço/a\nb%c.chm", "páginas/Nó 1.htm", QRect(-5, 7, 300, 200)};
    const QByteArray line = help::EncodeRequest(r);
    EXPECT_EQ(line.count('\n'), 1);
    EXPECT_TRUE(line.endsWith('\n'));
    const std::optional<help::Request> back = help::DecodeRequest(line);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->file, r.file);
    EXPECT_EQ(back->topic, r.topic);
    EXPECT_EQ(back->beside, r.beside);
    EXPECT_FALSE(help::DecodeRequest("a b c\n"));
    EXPECT_FALSE(help::DecodeRequest("a b 1 2 x 4\n"));
}

// ---- The viewer as a process of its own -----------------------------------

// A viewer started as the game starts it, talked to by the test.
class ViewerRun {
public:
    explicit ViewerRun(const QString& program)
    {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel); // its warnings and reports
        process_.start(program, {help::ViewerArgument()});
        started_ = process_.waitForStarted(kOuterLimitMs);
    }

    bool Started() const { return started_; }

    // The viewer's answer to a request.
    QString Ask(const QString& file, const QString& topic)
    {
        process_.write(help::EncodeRequest({file, topic, QRect(0, 0, 300, 200)}));
        const QDeadlineTimer limit(kOuterLimitMs);
        // Events go on meanwhile: this program may be answering as the game.
        while (!process_.canReadLine() && !limit.hasExpired() && process_.state() == QProcess::Running) {
            process_.waitForReadyRead(10);
            QCoreApplication::processEvents();
        }
        return QString::fromUtf8(process_.readLine()).trimmed();
    }

    // Closes the viewer's input, as the game's end does; true when the viewer
    // then ends by itself, without error.
    bool EndsWithItsInput()
    {
        process_.closeWriteChannel();
        return process_.waitForFinished(kOuterLimitMs) && process_.exitStatus() == QProcess::NormalExit
               && process_.exitCode() == 0;
    }

private:
    QProcess process_;
    bool started_ = false;
};

TEST(HelpViewerProcess, ServesEveryRequestAndRefusesDamagedFilesWithoutEnding)
{
    ViewerRun viewer(QCoreApplication::applicationFilePath());
    ASSERT_TRUE(viewer.Started());
    EXPECT_EQ(viewer.Ask(kHelpFile, "NoEscuro.htm"), "shown /NoEscuro.htm");
    QTemporaryDir dir;
    for (const Damage& d : DamagedCopies(BuiltHelp()))
        EXPECT_EQ(viewer.Ask(Written(dir, d.bytes), ""), "refused") << d.what;
    EXPECT_EQ(viewer.Ask(kHelpFile, ""), "shown /index.htm") << "still serving";
    EXPECT_TRUE(viewer.EndsWithItsInput());
}

TEST(HelpViewerProcess, TheProgramRunsAsTheViewerWhileAGameCopyRuns)
{
    // This test program answers as the running game would, so that a viewer
    // taken for a second copy of the game would end at once; in a runtime
    // folder of its own, where no other test's copies look.
    QTemporaryDir runtime;
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    instance::SetTitle("Mirvo Vorla");
    ViewerRun viewer(QStringLiteral(BINARY_DIR "/mirvo-vorla"));
    EXPECT_TRUE(viewer.Started());
    EXPECT_EQ(viewer.Ask(kHelpFile, "BarSujoLimpo.htm"), "shown /BarSujoLimpo.htm");
    EXPECT_TRUE(viewer.EndsWithItsInput());
    instance::SetTitle("fim do teste");
    qputenv("XDG_RUNTIME_DIR", savedRuntime);
}

TEST(HelpViewerProcess, TheGameReusesOneViewerAndOutlivesItsCrash)
{
    ASSERT_TRUE(help::ShowTopic(kHelpFile, "NoEscuro.htm"));
    const std::vector<pid_t> viewers = Viewers();
    ASSERT_EQ(viewers.size(), 1u);
    ASSERT_TRUE(help::ShowIndex(kHelpFile));
    EXPECT_EQ(Viewers(), viewers) << "the running viewer serves the next request";

    ASSERT_EQ(kill(viewers[0], SIGKILL), 0);
    siginfo_t ended{};
    ASSERT_EQ(waitid(P_PID, viewers[0], &ended, WEXITED | WNOWAIT), 0); // ended, not yet reaped
    ASSERT_TRUE(help::ShowTopic(kHelpFile, "ManilhaNovaVelha.htm")) << "a new viewer takes the request";
    const std::vector<pid_t> now = Viewers();
    ASSERT_EQ(now.size(), 1u) << "the ended one is reaped";
    EXPECT_NE(now[0], viewers[0]);
}

} // namespace

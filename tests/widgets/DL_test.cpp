#include "httpserver.h"
#include "platform/forms/pace.h"
#include "widgets/DL.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

// A limit on the real clock that only a fault reaches.
constexpr int kOuterLimitMs = 20000;

// Waits for a condition, giving up after a while so that a fault fails the
// test instead of hanging it.
bool waitFor(const std::function<bool()>& done)
{
    QTimer limit; // ends with the wait, so it cannot fire into a later one
    limit.setSingleShot(true);
    limit.start(kOuterLimitMs);
    vb::WaitUntil([&] { return !limit.isActive() || done(); });
    return done();
}

CannedResponse silentResponse()
{
    CannedResponse response;
    response.silent = true;
    return response;
}

// CPU time of the calling thread alone: the server's and the system's threads
// keep working while it waits.
double threadCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

class DLTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The facility's temporary files go here, so that leftovers show.
        qputenv("TMPDIR", tmp.path().toLocal8Bit());
    }
    void TearDown() override { qunsetenv("TMPDIR"); }

    QStringList leftovers() const { return QDir(tmp.path()).entryList(QDir::Files); }

    QTemporaryDir tmp;
    QTemporaryDir out;
    LocalHttpServer server;
    QWidget host;
    DL control{&host};
};

TEST_F(DLTest, GetUrlReadsThePageAsOneCharacterPerByteFromTheServerItself)
{
    const QByteArray body = QByteArray("Current IP Address: 10.1.2.3</body>") + '\0' + "\x80\xE9";
    server.Route("/ip", {"200 OK", body});
    // The address without its scheme gets "http://" in front.
    const QString page = control.GetURL(server.Url("/ip").mid(7));
    ASSERT_EQ(page.size(), body.size());
    EXPECT_EQ(page.left(35), "Current IP Address: 10.1.2.3</body>");
    EXPECT_EQ(page.at(35), QChar(0));
    EXPECT_EQ(page.at(36), QChar(0x20AC)); // the euro sign of Windows-1252
    EXPECT_EQ(page.at(37), QChar(0xE9));
    ASSERT_EQ(server.Requests.size(), 1);
    EXPECT_TRUE(server.Requests[0].contains("Cache-Control: no-cache"));
}

TEST_F(DLTest, GetUrlGivesTheEmptyTextForFailuresAndIsFreeAgainAfterwards)
{
    server.Route("/empty", {"200 OK", ""});
    server.Route("/ok", {"200 OK", "fine"});
    EXPECT_EQ(control.GetURL(server.Url("/missing")), ""); // 404, with a body of its own
    EXPECT_EQ(control.GetURL(server.Url("/empty")), "");
    EXPECT_EQ(control.GetURL(LocalHttpServer::ClosedUrl()), "");
    EXPECT_EQ(control.GetURL(server.Url("/ok")), "fine");
}

TEST_F(DLTest, GetUrlWhileAnotherWaitsReturnsAtOnceAndSendsNothing)
{
    server.Route("/slow", {"200 OK", "abcdef", 3, 30});
    QString nested = "not called";
    QTimer::singleShot(5, [&] { nested = control.GetURL(server.Url("/slow")); });
    EXPECT_EQ(control.GetURL(server.Url("/slow")), "abcdef");
    EXPECT_EQ(nested, "");
    EXPECT_EQ(server.Requests.size(), 1);
}

TEST_F(DLTest, TimeOutNeedsMoreThanTheLimitAndEndsTheRead)
{
    server.Route("/never", silentResponse());
    server.Route("/ok", {"200 OK", "fine"});
    // The clock stands still until the request is at the server, then shows
    // exactly the limit (not yet a time-out), then just past it.
    double now = 1000.0;
    int step = 0;
    QElapsedTimer outer;
    outer.start();
    control.Clock = [&] {
        if (step == 0 && (!server.Requests.isEmpty() || outer.hasExpired(kOuterLimitMs))) {
            step = 1;
            now += 10.0;
            QTimer::singleShot(0, &control, [] {}); // one more pass of the wait
        } else if (step == 1) {
            step = 2;
            now += 0.01;
        }
        return now;
    };
    EXPECT_EQ(control.GetURL(server.Url("/never")), "");
    EXPECT_EQ(step, 2) << "gave up at the limit itself";
    ASSERT_EQ(server.Requests.size(), 1);

    // The read ends with the wait: the connection closes and the control is free.
    EXPECT_EQ(control.Reader().PendingReads(), 0);
    EXPECT_TRUE(waitFor([&] { return server.Ended == 1; }));
    EXPECT_EQ(control.GetURL(server.Url("/ok")), "fine");
}

TEST_F(DLTest, APageThatNeverEndsFailsPastTheSizeLimitBeforeTheTimeOut)
{
    CannedResponse endless;
    endless.endless = true;
    server.Route("/endless", endless);
    server.Route("/ok", {"200 OK", "fine"});
    // Only the size limit can end the read: the clock moves past the time-out
    // only when far too much has been sent.
    constexpr qint64 kFarTooMuch = 64 * 1024 * 1024;
    double now = 0.0;
    control.Clock = [&] {
        if (server.EndlessBytesSent > kFarTooMuch)
            now = 1000.0;
        return now;
    };
    EXPECT_EQ(control.GetURL(server.Url("/endless")), "");
    EXPECT_EQ(now, 0.0) << "read on to " << server.EndlessBytesSent << " bytes";
    EXPECT_EQ(control.Reader().PendingReads(), 0);
    EXPECT_TRUE(waitFor([&] { return server.Ended == 1; }));
    EXPECT_EQ(control.GetURL(server.Url("/ok")), "fine");
}

TEST_F(DLTest, TimeOutOnTheRealClockBlocksInsteadOfSpinning)
{
    server.Route("/never", silentResponse());
    QElapsedTimer elapsed;
    elapsed.start();
    const double cpuBefore = threadCpuSeconds();
    EXPECT_EQ(control.GetURL(server.Url("/never"), 1), "");
    EXPECT_GE(elapsed.elapsed(), 1000);
    EXPECT_LT(elapsed.elapsed(), 3000);
    EXPECT_LT(threadCpuSeconds() - cpuBefore, 0.3);
}

TEST_F(DLTest, ARefusedReadReachesTheCallerAndKeepsTheControlBusy)
{
    server.Route("/ok", {"200 OK", "fine"});
    EXPECT_THROW(control.GetURL("http://"), vb::AsyncReadError);
    EXPECT_EQ(control.GetURL(server.Url("/ok")), "");
    EXPECT_TRUE(server.Requests.isEmpty());
}

TEST_F(DLTest, DownloadMovesTheFileAndReportsProgressThenCompletion)
{
    const QByteArray body(3000, 'x');
    // The toolkit reports progress at most every 100 ms.
    server.Route("/file", {"200 OK", body, 3, 150});
    QList<std::pair<int, int>> progress;
    QList<std::pair<int, QString>> completed;
    control.Progress = [&](int read, int total, const QString& id) {
        EXPECT_EQ(id, "Arq");
        progress.append({read, total});
    };
    control.Completed = [&](int bytes, const QString& id) { completed.append({bytes, id}); };
    const QString target = out.filePath("got.bin");

    control.Download(server.Url("/file"), target, "Arq");
    EXPECT_TRUE(completed.isEmpty()); // returns at once
    ASSERT_TRUE(waitFor([&] { return !completed.isEmpty(); }));

    ASSERT_EQ(completed.size(), 1);
    EXPECT_EQ(completed[0], std::make_pair(3000, QString("Arq")));
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), body);
    ASSERT_GE(progress.size(), 2);
    for (qsizetype i = 0; i < progress.size(); ++i) {
        EXPECT_EQ(progress[i].second, 3000);
        if (i > 0) {
            EXPECT_GE(progress[i].first, progress[i - 1].first);
        }
    }
    EXPECT_EQ(progress.last().first, 3000);
    EXPECT_TRUE(leftovers().isEmpty());
}

TEST_F(DLTest, AFailedDownloadStillCompletesButWritesNothing)
{
    QList<QString> completed;
    control.Completed = [&](int, const QString& id) { completed << id; };
    control.Download(server.Url("/missing"), out.filePath("a"), "a");
    ASSERT_TRUE(waitFor([&] { return !completed.isEmpty(); }));
    EXPECT_EQ(completed, QList<QString>{"a"});
    EXPECT_FALSE(QFile::exists(out.filePath("a")));
    EXPECT_TRUE(leftovers().isEmpty());

    // A read that cannot start leaves no destination behind for a later one of that name.
    control.Download("http://", out.filePath("stale"), "b");
    server.Route("/ok", {"200 OK", "fine"});
    control.Download(server.Url("/ok"), out.filePath("fresh"), "b");
    ASSERT_TRUE(waitFor([&] { return completed.size() == 2; }));
    EXPECT_TRUE(QFile::exists(out.filePath("fresh")));
    EXPECT_FALSE(QFile::exists(out.filePath("stale")));
}

TEST_F(DLTest, CancelStopsOnlyTheReadOfThatNameWithoutNotice)
{
    server.Route("/slow", {"200 OK", QByteArray(2000, 'y'), 4, 40});
    QList<QString> completed;
    control.Completed = [&](int, const QString& id) { completed << id; };
    control.Download(server.Url("/slow"), out.filePath("gone"), "gone");
    control.Download(server.Url("/slow"), out.filePath("kept"), "kept");
    ASSERT_TRUE(waitFor([&] { return server.Requests.size() == 2; }));
    control.CancelDownload("nobody");
    control.CancelDownload("gone");
    ASSERT_TRUE(waitFor([&] { return !completed.isEmpty(); }));
    vb::Pause(0);
    EXPECT_EQ(completed, QList<QString>{"kept"});
    EXPECT_FALSE(QFile::exists(out.filePath("gone")));
    EXPECT_TRUE(QFile::exists(out.filePath("kept")));
    EXPECT_EQ(control.Reader().PendingReads(), 0);
    EXPECT_TRUE(leftovers().isEmpty());
}

TEST_F(DLTest, WhileGetUrlWaitsNoProgressIsReportedAndADownloadsEndIsItsAnswer)
{
    server.Route("/slow", {"200 OK", QByteArray(900, 'z'), 3, 40});
    server.Route("/quick", {"200 OK", "quick"});
    int progress = 0;
    int completions = 0;
    control.Progress = [&](int, int, const QString&) { ++progress; };
    control.Completed = [&](int, const QString&) { ++completions; };
    EXPECT_EQ(control.GetURL(server.Url("/slow")), QString(900, 'z'));
    EXPECT_EQ(progress, 0);

    // The download ends first and is taken for the page; its file stays where it was.
    server.Route("/never", silentResponse());
    control.Reader().SetStallMilliseconds(300);
    control.Download(server.Url("/quick"), out.filePath("q"), "q");
    EXPECT_NE(control.GetURL(server.Url("/never")), "");
    EXPECT_EQ(completions, 0);
    EXPECT_FALSE(QFile::exists(out.filePath("q")));
}

TEST_F(DLTest, AControlDestroyedMidReadLeavesNothingBehind)
{
    server.Route("/slow", {"200 OK", QByteArray(2000, 'y'), 4, 40});
    auto* doomed = new DL(&host);
    int completions = 0;
    doomed->Completed = [&](int, const QString&) { ++completions; };
    doomed->Download(server.Url("/slow"), out.filePath("never"), "x");
    ASSERT_TRUE(waitFor([&] { return !server.Requests.isEmpty(); }));
    delete doomed;
    ASSERT_TRUE(waitFor([&] { return server.Ended == 1; })); // by either side
    vb::DoEvents(); // whatever was under way when the connection ended
    EXPECT_EQ(completions, 0);
    EXPECT_FALSE(QFile::exists(out.filePath("never")));
    EXPECT_TRUE(leftovers().isEmpty());
}

TEST_F(DLTest, KeepsItsOwnSizeWhateverTheHostGives)
{
    host.show();
    control.Width = 2000;
    control.Height = 100;
    vb::DoEvents();
    EXPECT_EQ(control.Width(), 495);
    EXPECT_EQ(control.Height(), 495);
}

} // namespace

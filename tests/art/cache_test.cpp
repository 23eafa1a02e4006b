#include "art/cache.h"
#include "support/folderenv.h"
#include "support/oddfiles.h"
#include "support/pictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr char EarlierRunFolder[] = "MIRVO_TEST_EARLIER_RUN_CACHE";

// Each test keeps its entries in a cache folder of its own.
class PictureCache : public ::testing::Test {
protected:

    // A picture whose pixels differ from one painting to the next, so that a
    // picture shown can be told apart from a fresh painting.
    QPixmap Cached(QSize logical = QSize(30, 20), qreal dpr = 1)
    {
        return art::Cached(QStringLiteral("sample"), logical, dpr, [&] {
            ++paints;
            QImage image((QSizeF(logical) * dpr).toSize(), QImage::Format_RGB32);
            image.fill(qRgb(paints * 40, 90, 200));
            image.setPixel(3, 4, qRgb(1, 2, 3));
            image.setDevicePixelRatio(dpr);
            return QPixmap::fromImage(image);
        });
    }

    QString EntryPath() const { return cache_.Folder().path() + "/mirvo-vorla/pictures/sample-30x20@1.pic"; }

    // Changes one byte of the entry, counted from its end.
    void Damage(qint64 fromEnd)
    {
        QFile file(EntryPath());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        bytes[bytes.size() - fromEnd] = char(bytes[bytes.size() - fromEnd] ^ 0x5A);
        file.seek(0);
        file.write(bytes);
    }

    int paints = 0;

private:
    TemporaryFolderVariable cache_{"XDG_CACHE_HOME"};
};

TEST_F(PictureCache, APictureIsPaintedOnceAndThenReadBackExactly)
{
    const QImage painted = Pixels(Cached());
    ASSERT_TRUE(QFile::exists(EntryPath()));
    const QPixmap kept = Cached();
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(Pixels(kept), painted);
    EXPECT_EQ(kept.devicePixelRatio(), 1.0);
}

TEST_F(PictureCache, EachSizeAndRatioIsAnEntryOfItsOwn)
{
    Cached();
    const QPixmap dense = Cached(QSize(30, 20), 2);
    EXPECT_EQ(paints, 2);
    EXPECT_EQ(dense.size(), QSize(60, 40));
    EXPECT_EQ(dense.devicePixelRatio(), 2.0);
    EXPECT_EQ(Cached(QSize(31, 20)).size(), QSize(31, 20));
    EXPECT_EQ(paints, 3);
    Cached(QSize(30, 20), 2);
    Cached();
    EXPECT_EQ(paints, 3);
}

TEST_F(PictureCache, ADamagedOrCutEntryIsPaintedAgainNeverShown)
{
    const auto expectRepainted = [&](const char* what) {
        SCOPED_TRACE(what);
        const int before = paints;
        const QImage shown = Pixels(Cached());
        EXPECT_EQ(paints, before + 1);
        EXPECT_EQ(QColor(shown.pixel(10, 10)), QColor(qRgb(paints * 40, 90, 200)));
        Cached();
        EXPECT_EQ(paints, before + 1) << "the entry is written again";
    };
    Cached();
    Damage(1);  // the last pixel
    expectRepainted("a changed pixel");
    Damage(30 * 20 * 4 + 1);  // the last byte before the pixels: the check value
    expectRepainted("a changed check value");
    {
        QFile file(EntryPath());
        ASSERT_TRUE(file.resize(file.size() - 7));
    }
    expectRepainted("a cut entry");
    {
        QFile file(EntryPath());
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write("x");
    }
    expectRepainted("a longer entry");
    {
        QFile file(EntryPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    }
    expectRepainted("an empty entry");
    const QByteArray entry = files::ReadRegular(EntryPath(), 1 << 20).value_or("");
    ForEachOddFile(EntryPath(), entry.size(), entry, [&] { expectRepainted("no regular file"); });
    QTemporaryDir elsewhere;
    const QString other = elsewhere.filePath("outro");
    ASSERT_TRUE(files::ReplaceWhole(other, "de outro") && QFile::remove(EntryPath())
                && QFile::link(other, EntryPath()));
    expectRepainted("a link to another file");
    EXPECT_EQ(files::ReadRegular(other, 8), QByteArray("de outro")) << "replaced, not written through";
}

TEST_F(PictureCache, AnEntryOfAnotherBuildIsPaintedAgain)
{
    Cached();
    QFile file(EntryPath());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    // The build's version follows the four-byte mark and the version's length.
    bytes[8] = bytes[8] == 'a' ? 'b' : 'a';
    file.seek(0);
    file.write(bytes);
    file.close();
    Cached();
    EXPECT_EQ(paints, 2);
}

// The entry a run leaves is the one the next run reads: this test program is run
// again to write it, and the test then finds it without painting.
TEST_F(PictureCache, AnEntryOfAnEarlierRunIsUsed)
{
    QProcess earlier;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(EarlierRunFolder, QFileInfo(EntryPath()).absolutePath() + "/../..");
    earlier.setProcessEnvironment(environment);
    earlier.start(QCoreApplication::applicationFilePath(),
                  {"--gtest_filter=PictureCache.WritesTheSampleForALaterRun"});
    ASSERT_TRUE(earlier.waitForFinished(60000));
    ASSERT_EQ(earlier.exitCode(), 0) << earlier.readAllStandardOutput().toStdString();
    ASSERT_TRUE(QFile::exists(EntryPath()));
    Cached();
    EXPECT_EQ(paints, 0);
}

// Run by the test above, in a process of its own.
TEST_F(PictureCache, WritesTheSampleForALaterRun)
{
    const QByteArray folder = qgetenv(EarlierRunFolder);
    if (folder.isEmpty())
        GTEST_SKIP() << "run by AnEntryOfAnEarlierRunIsUsed";
    qputenv("XDG_CACHE_HOME", folder);
    Cached();
    EXPECT_EQ(paints, 1);
}

TEST_F(PictureCache, AnUnwritableCacheStillGivesThePicture)
{
    qputenv("XDG_CACHE_HOME", "/proc/no-such-folder");
    EXPECT_EQ(Cached().size(), QSize(30, 20));
    EXPECT_EQ(Cached().size(), QSize(30, 20));
    EXPECT_EQ(paints, 2);
}

}  // namespace

#include "platform/shellopen.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(ShellOpen, RecorderReceivesTheTargetInsteadOfTheDesktop)
{
    QStringList opened;
    shellopen::SetRecorder([&](const QString& target) { opened << target; });
    EXPECT_TRUE(shellopen::Open(u"mailto:alguem@exemplo.pt"_qs));
    EXPECT_TRUE(shellopen::Open(u"http://www.exemplo.pt/"_qs));
    shellopen::SetRecorder({});
    EXPECT_EQ(opened, QStringList({u"mailto:alguem@exemplo.pt"_qs, u"http://www.exemplo.pt/"_qs}));
    // Without the recorder nothing reaches the desktop for an empty target.
    EXPECT_FALSE(shellopen::Open(QString()));
    EXPECT_EQ(opened.size(), 2);
}

TEST(ShellOpen, FilesOpenByPathAndOtherTextsAsLinks)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(u"Ajuda.chm"_qs));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString relative = QDir::current().relativeFilePath(file.fileName());
    EXPECT_EQ(shellopen::UrlFor(relative), QUrl::fromLocalFile(file.fileName()));
    EXPECT_EQ(shellopen::UrlFor(u"mailto:alguem@exemplo.pt"_qs).scheme(), u"mailto"_qs);
    EXPECT_EQ(shellopen::UrlFor(u"https://exemplo.pt/a?b=c"_qs), QUrl(u"https://exemplo.pt/a?b=c"_qs));
    EXPECT_EQ(shellopen::UrlFor(u"www.exemplo.pt"_qs).scheme(), u"http"_qs);
}

} // namespace

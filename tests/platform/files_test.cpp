#include "platform/files/files.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(ReplaceWhole, AFailedRenameLeavesNoTemporary)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("pasta")); // a file cannot be renamed over it
    EXPECT_FALSE(files::ReplaceWhole(dir.filePath("pasta"), "novo"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"pasta"});
}

} // namespace

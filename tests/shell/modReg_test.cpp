#include "shell/modReg.h"
#include "support/folderenv.h"

#include <gtest/gtest.h>

namespace {

const QString kKey = u"SOFTWARE\\Mirvo Vorla"_qs;

class ModReg : public ::testing::Test {
protected:
    TemporaryFolderVariable config_{"XDG_CONFIG_HOME"};
};

TEST_F(ModReg, MissingGivesTheDefaultAndEmptyGivesEmpty)
{
    EXPECT_EQ(RegGetString(HKEY_LOCAL_MACHINE, kKey, u"Verso"_qs, u"1"_qs), u"1"_qs);
    RegSaveString(HKEY_LOCAL_MACHINE, kKey, u"Nome"_qs, QString());
    EXPECT_EQ(RegGetString(HKEY_LOCAL_MACHINE, kKey, u"Nome"_qs, u"Joao"_qs), u""_qs);
    EXPECT_EQ(RegGetString(HKEY_LOCAL_MACHINE, kKey, u"IP"_qs, u"x"_qs), u"x"_qs);
}

TEST_F(ModReg, TextIsStoredAsWindows1252WithoutTerminator)
{
    RegSaveString(HKEY_LOCAL_MACHINE, kKey, u"Nome"_qs, u"João Ação"_qs);
    EXPECT_EQ(registry::QueryValue(HKEY_LOCAL_MACHINE, kKey, u"Nome"_qs),
              QByteArray("Jo\xE3o A\xE7\xE3o"));
    EXPECT_EQ(RegGetString(HKEY_LOCAL_MACHINE, kKey, u"Nome"_qs, QString()), u"João Ação"_qs);
    RegSaveString(HKEY_LOCAL_MACHINE, kKey, u"Nome"_qs, u"Ivan Жуков"_qs);
    EXPECT_EQ(RegGetString(HKEY_LOCAL_MACHINE, kKey, u"Nome"_qs, QString()), u"Ivan ?????"_qs);
}

TEST_F(ModReg, ReadStopsAtTheFirstNul)
{
    registry::SetValue(HKEY_LOCAL_MACHINE, kKey, u"IP"_qs, QByteArray("10.0.0.1\0lixo", 13));
    EXPECT_EQ(RegGetString(HKEY_LOCAL_MACHINE, kKey, u"IP"_qs, u"d"_qs), u"10.0.0.1"_qs);
    registry::SetValue(HKEY_LOCAL_MACHINE, kKey, u"IP"_qs, QByteArray("\0", 1));
    EXPECT_EQ(RegGetString(HKEY_LOCAL_MACHINE, kKey, u"IP"_qs, u"d"_qs), u""_qs);
}

TEST(BoolText, WordsInAnyCaseAndNumbers)
{
    EXPECT_EQ(TextToBool(BoolText(true)), true);
    EXPECT_EQ(TextToBool(BoolText(false)), false);
    EXPECT_EQ(BoolText(true), u"True"_qs);
    EXPECT_EQ(BoolText(false), u"False"_qs);
    for (const char* yes : {"TRUE", "true", "tRuE", " True ", "1", "-1", "2.5", "1e3"})
        EXPECT_EQ(TextToBool(QString::fromLatin1(yes)), true) << yes;
    for (const char* no : {"FALSE", "false", "0", "0.0", "-0", " 0 "})
        EXPECT_EQ(TextToBool(QString::fromLatin1(no)), false) << no;
}

TEST(BoolText, UnconvertibleTextGivesNothing)
{
    for (const char* bad : {"", "   ", "yes", "Verdadeiro", "1x", "Tru", "_qsnan", "inf", "1,5.2"})
        EXPECT_EQ(TextToBool(QString::fromLatin1(bad)), std::nullopt) << bad;
}

TEST(ByteText, LeadingNumberRoundedHalvesToEven)
{
    const std::pair<const char*, int> cases[] = {
        {"1", 1}, {"10", 10}, {"255", 255}, {"0", 0}, {"7abc", 7}, {" 3", 3}, {"1 2", 12},
        {"2.5", 2}, {"3.5", 4}, {"0.4", 0}, {"-0.4", 0}, {"1e2", 100}, {"+4", 4}, {"5e", 5},
        {"abc", 0}, {"", 0}, {"-", 0}, {".", 0}, {"x9", 0},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(TextToByte(QString::fromLatin1(text)), std::optional<std::uint8_t>(expected))
            << text;
}

TEST(ByteText, OutsideAByteGivesNothing)
{
    for (const char* bad : {"256", "255.5", "-1", "-0.6", "1e3", "1e999", "-1e999"})
        EXPECT_EQ(TextToByte(QString::fromLatin1(bad)), std::nullopt) << bad;
}

} // namespace

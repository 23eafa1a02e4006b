#include "platform/ansi.h"

#include <QStringDecoder>
#include <gtest/gtest.h>

namespace {

QByteArray AllBytes()
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char>(b);
    return bytes;
}

TEST(Ansi, EveryByteSurvivesTheTripThroughText)
{
    const QByteArray bytes = AllBytes();
    const QString text = ansi::ToUnicode(bytes);
    EXPECT_EQ(text.size(), 256);
    EXPECT_EQ(ansi::FromUnicode(text), bytes);
}

TEST(Ansi, PortugueseAndTypographicCharactersMapToTheirBytes)
{
    EXPECT_EQ(ansi::FromUnicode(u"João Ação çé"_qs), QByteArray("Jo\xE3o A\xE7\xE3o \xE7\xE9"));
    EXPECT_EQ(ansi::FromUnicode(u"€ ‚ ƒ … ‘’ “” – — ™ Ÿ"_qs),
              QByteArray("\x80 \x82 \x83 \x85 \x91\x92 \x93\x94 \x96 \x97 \x99 \x9F"));
    EXPECT_EQ(ansi::ToUnicode("\x80\x8A\x9C\xFF"), u"€Šœÿ"_qs);
    EXPECT_EQ(ansi::ToUnicode(QByteArray("a\0b", 3)), u"a\0b"_qs);
}

TEST(Ansi, UnmappableCharactersBecomeQuestionMarksOneBytePerCharacter)
{
    // U+0080 is a control character whose byte is taken by the euro sign.
    EXPECT_EQ(ansi::FromUnicode(u"\u0080Āж中"_qs), QByteArray("????"));
    // A character outside the basic plane is two QChars, hence two bytes.
    const QString emoji = u"a"_qs + QString::fromUcs4(U"\U0001F600") + u"b"_qs;
    EXPECT_EQ(ansi::FromUnicode(emoji), QByteArray("a??b"));
    EXPECT_TRUE(ansi::FromUnicode(QString()).isEmpty());
}

TEST(Ansi, AgreesWithTheSystemCodecOnEveryDefinedByte)
{
    QStringDecoder decoder("windows-1252");
    if (!decoder.isValid())
        GTEST_SKIP() << "no Windows-1252 codec in this Qt build";
    for (int b = 0; b < 256; ++b) {
        if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D)
            continue; // left undefined by the code page
        const QByteArray byte(1, static_cast<char>(b));
        EXPECT_EQ(ansi::ToUnicode(byte), decoder.decode(byte)) << "byte " << b;
    }
}

} // namespace

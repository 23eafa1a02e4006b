#include "platform/vbtext.h"

#include <gtest/gtest.h>

namespace {

TEST(ProperCase, CapitalisesEachBlankSeparatedWordAndKeepsTheBlanks)
{
    EXPECT_EQ(vb::ProperCase(u"JOAO silva"_qs), u"Joao Silva"_qs);
    EXPECT_EQ(vb::ProperCase(u"maria DA sILVA"_qs), u"Maria Da Silva"_qs);
    EXPECT_EQ(vb::ProperCase(u"ÉLIO çÃO"_qs), u"Élio Ção"_qs);
    // Only blanks start a word.
    EXPECT_EQ(vb::ProperCase(u"o'NEIL mc-DONALD"_qs), u"O'neil Mc-donald"_qs);
    // Blanks stay as they were.
    EXPECT_EQ(vb::ProperCase(u"  ana   PAULA "_qs), u"  Ana   Paula "_qs);
    EXPECT_EQ(vb::ProperCase(u"x\ty"_qs), u"X\tY"_qs);
    EXPECT_EQ(vb::ProperCase(QString()), QString());
    EXPECT_EQ(vb::ProperCase(u"123abc"_qs), u"123abc"_qs);
}

} // namespace

#include "netplay/addressecho.h"

#include <gtest/gtest.h>

namespace {

TEST(AddressEchoTest, TakesTheTextBetweenTheMarksIgnoringCase)
{
    EXPECT_EQ(AddressFromEchoPage("<html><body>Current IP Address: 203.0.113.7</body></html>"), "203.0.113.7");
    EXPECT_EQ(AddressFromEchoPage("<B>ADDRESS:</B>  198.51.100.2  </td>"), "");
    EXPECT_EQ(AddressFromEchoPage("Your address:  198.51.100.2  </P>"), "198.51.100.2");
    // The end mark counts only after the start mark.
    EXPECT_EQ(AddressFromEchoPage("</x>Address:1.2.3.4</y>"), "1.2.3.4");
    // Only spaces are padding.
    EXPECT_EQ(AddressFromEchoPage("Address:\t1.2.3.4\n</p>"), "\t1.2.3.4\n");
}

TEST(AddressEchoTest, AMissingMarkGivesNothing)
{
    EXPECT_EQ(AddressFromEchoPage("Address: 1.2.3.4"), "");
    EXPECT_EQ(AddressFromEchoPage("1.2.3.4</p>"), "");
    EXPECT_EQ(AddressFromEchoPage(""), "");
    EXPECT_EQ(GetTextBetween("a[b]c", "[", "]"), "b");
    EXPECT_EQ(GetTextBetween("a[]c", "[", "]"), "");
}

TEST(AddressEchoTest, TheEnvironmentChoosesThePageAndCanTurnItOff)
{
    qunsetenv("MIRVO_ADDRESS_ECHO_URL");
    EXPECT_TRUE(AddressEchoURL().startsWith("http://"));
    qputenv("MIRVO_ADDRESS_ECHO_URL", "http://127.0.0.1:8080/ip");
    EXPECT_EQ(AddressEchoURL(), "http://127.0.0.1:8080/ip");
    qputenv("MIRVO_ADDRESS_ECHO_URL", "");
    EXPECT_EQ(AddressEchoURL(), "");
    qunsetenv("MIRVO_ADDRESS_ECHO_URL");
}

} // namespace

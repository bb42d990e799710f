#include "sources/avi/AviErrors.h"

#include <gtest/gtest.h>

TEST(AviErrors, NamedCodesUseTheVideoForWindowsValues)
{
    struct Case { uint32_t code; const char* name; };
    const Case cases[] = {
        {0x80044065, "AVIERR_UNSUPPORTED"},    // MAKE_AVIERR(101)
        {0x80044066, "AVIERR_BADFORMAT"},
        {0x8004406E, "AVIERR_FILEWRITE"},      // 110
        {0x8004406F, "AVIERR_FILEOPEN"},
        {0x80044074, "AVIERR_BUFFERTOOSMALL"}, // 116
        {0x80044075, "AVIERR_CANTCOMPRESS"},
        {0x800440C6, "AVIERR_USERABORT"},      // 198
        {0x800440C7, "AVIERR_ERROR"},          // 199
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AviErrorName(c.code), QString::fromLatin1(c.name));
        EXPECT_EQ(ReportAviErrorText("Write Frame", c.code), "Write Frame : " + QString::fromLatin1(c.name));
    }
    // All nineteen named codes are distinct and known.
    for (uint32_t n : {101u, 102u, 103u, 104u, 105u, 106u, 107u, 108u, 109u, 110u, 111u, 112u, 113u,
                       114u, 115u, 116u, 117u, 198u, 199u})
        EXPECT_FALSE(AviErrorName(AviError::make(n)).isEmpty()) << n;
}

TEST(AviErrors, ZeroMeansNothingToReportAndOtherCodesAreShownInHex)
{
    EXPECT_TRUE(ReportAviErrorText("open", 0).isEmpty());
    EXPECT_EQ(ReportAviErrorText("Write Frame", 0x80004005), "Write Frame : Unknown Error 80004005");
    EXPECT_EQ(ReportAviErrorText("open", 0x1A), "open : Unknown Error 1A");
    EXPECT_EQ(ReportAviErrorText("open", AviError::make(118)), "open : Unknown Error 80044076");
}

TEST(AviErrors, FrameLabelIsPaddedBelowOneThousandAndKeptFromThereOn)
{
    EXPECT_EQ(AviFrameLabel(0, ""), "00000");
    EXPECT_EQ(AviFrameLabel(7, ""), "00007");
    EXPECT_EQ(AviFrameLabel(42, ""), "00042");
    EXPECT_EQ(AviFrameLabel(999, ""), "00999");
    EXPECT_EQ(AviFrameLabel(1000, "00999"), "00999");
    EXPECT_EQ(AviFrameLabel(12345, "00017"), "00017");
}

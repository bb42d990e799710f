#include "adjust/PixelOps.h"

#include "TestFrames.h"
#include "common/LumaTables.h"

#include <climits>
#include <gtest/gtest.h>

TEST(LumaTables, WhiteHasLuminance255)
{
    const LumaTables& t = BuildLumaTables();
    EXPECT_NEAR(double(t.wR[255]) + t.wG[255] + t.wB[255], 255.0, 1e-4);
}

TEST(AdjustBrightness, ClampsEachChannel)
{
    struct Case {
        int offset;
        Bgr before;
        Bgr after;
    };
    const Case cases[] = {
        {254, {255, 128, 0}, {255, 255, 254}},  // (r,g,b) = (0,128,255) → (254,255,255)
        {-254, {0, 128, 255}, {0, 0, 1}},       // (255,128,0) → (1,0,0)
        {1, {0, 254, 255}, {1, 255, 255}},
        {-1, {0, 1, 255}, {0, 0, 254}},
        {0, {7, 8, 9}, {7, 8, 9}},
        {INT_MAX, {0, 1, 2}, {255, 255, 255}}, // no overflow of v + offset
        {INT_MIN, {253, 254, 255}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        Frame frame(3, 2); // width 3 leaves row padding
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                SetPixel(frame, x, y, c.before);
        AdjustBrightness(frame, c.offset);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(PixelAt(frame, x, y), c.after) << "offset " << c.offset;
    }
}

TEST(ApplyGamma, TableFollowsTheRoundedPowerCurve)
{
    const ByteTable half = GammaTable(0.5f);
    EXPECT_EQ(half[64], 128); // Round(8 × 255 / 15.97) = Round(127.75)
    EXPECT_EQ(half[0], 0);
    EXPECT_EQ(half[255], 255);
    const ByteTable one = GammaTable(1.0f);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(one[i], i);
    // Steep and negative exponents saturate instead of overflowing.
    const ByteTable negative = GammaTable(-0.5f);
    EXPECT_EQ(negative[0], 255);
    const ByteTable steep = GammaTable(1.9f);
    for (int i = 1; i < 256; ++i)
        EXPECT_LE(steep[i - 1], steep[i]);
}

TEST(ApplyGamma, EverySliderPositionKeepsBlackAndWhite)
{
    // The gamma frame's exponents (20 − slider) / 10, as it stores them.
    for (int slider = 1; slider <= 19; ++slider) {
        const float exponent = float(20 - slider) / 10.0f;
        const ByteTable table = GammaTable(exponent);
        EXPECT_EQ(table[0], 0) << "slider " << slider;
        EXPECT_EQ(table[255], 255) << "slider " << slider;
        for (int i = 1; i < 256; ++i)
            EXPECT_LE(table[i - 1], table[i]) << "slider " << slider << " at " << i;
    }
}

TEST(ApplyGamma, ZeroExponentAndIdentityLeaveTheFrame)
{
    const Frame original = RandomFrame(17, 5);
    for (float e : {0.0f, 1.0f}) {
        Frame frame = original;
        ApplyGamma(frame, e);
        EXPECT_EQ(frame, original) << e;
    }
    Frame frame = original;
    ApplyGamma(frame, 0.5f);
    const ByteTable table = GammaTable(0.5f);
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < 3 * frame.width(); ++x)
            ASSERT_EQ(frame.row(y)[x], table[original.row(y)[x]]);
}

TEST(ConvertToGrey8, UsesTheGreenByteClampedTo254)
{
    Frame frame(3, 2);
    SetPixel(frame, 0, 0, {0, 255, 0});
    SetPixel(frame, 1, 0, {255, 254, 255});
    SetPixel(frame, 2, 0, {9, 0, 200});
    SetPixel(frame, 0, 1, {0, 100, 0});
    SetPixel(frame, 1, 1, {0, 1, 0});
    SetPixel(frame, 2, 1, {77, 128, 33});
    const GreyFrame grey = ConvertToGrey8(frame);
    ASSERT_EQ(grey.width, 3);
    ASSERT_EQ(grey.height, 2);
    ASSERT_EQ(grey.pixels.size(), 6u);
    EXPECT_EQ(grey.pixels, (std::vector<uint8_t>{254, 254, 0, 100, 1, 128}));
    const QImage image = grey.toImage();
    EXPECT_EQ(image.format(), QImage::Format_Grayscale8);
    EXPECT_EQ(qGray(image.pixel(2, 1)), 128);

    EXPECT_TRUE(ConvertToGrey8(Frame()).pixels.empty());
}

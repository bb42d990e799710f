#include "adjust/ByteTables.h"

#include "TestFrames.h"

#include <gtest/gtest.h>

namespace {

ByteTable Shuffled(unsigned seed)
{
    ByteTable t;
    std::mt19937 rng(seed);
    for (int i = 0; i < 256; ++i)
        t[i] = uint8_t(rng());
    return t;
}

// Restores the SIMD switch however the test ends.
struct SimdSwitch {
    ~SimdSwitch() { SetByteTableSimdEnabled(true); }
};

} // namespace

TEST(ByteTables, SimdAndPortablePathsMatchTheDefinition)
{
    const SimdSwitch restore;
    const ByteTable same = Shuffled(1), blue = Shuffled(2), green = Shuffled(3), red = Shuffled(4);
    // Widths around the 64-byte blocks and the 4-pixel steps, with and
    // without row padding.
    for (int width : {1, 3, 4, 5, 21, 22, 23, 64, 85, 86, 200}) {
        const Frame original = RandomFrame(width, 3, unsigned(width));
        Frame expectedSame = original, expectedChannels = original;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < width; ++x) {
                uint8_t* s = expectedSame.pixel(x, y);
                s[0] = same[s[0]], s[1] = same[s[1]], s[2] = same[s[2]];
                uint8_t* c = expectedChannels.pixel(x, y);
                c[0] = blue[c[0]], c[1] = green[c[1]], c[2] = red[c[2]];
            }
        for (bool simd : {true, false}) {
            SetByteTableSimdEnabled(simd);
            Frame a = original;
            ApplyByteTable(a, same);
            EXPECT_EQ(a, expectedSame) << "width " << width << " simd " << simd;
            Frame b = original;
            ApplyChannelTables(b, blue, green, red);
            EXPECT_EQ(b, expectedChannels) << "width " << width << " simd " << simd;
        }
    }
}

#include "common/LittleEndian.h"

#include <gtest/gtest.h>
#include <cstring>
#include <limits>

TEST(LittleEndian, WritesTheLowByteFirst)
{
    char b[8] = {};
    WriteLE<int32_t>(b, -2);
    EXPECT_EQ(0, std::memcmp(b, "\xfe\xff\xff\xff", 4));
    WriteLE<uint16_t>(b + 1, 0x1234);
    EXPECT_EQ(0, std::memcmp(b, "\xfe\x34\x12\xff", 4));
    WriteLE<float>(b, 1.0f);
    EXPECT_EQ(0, std::memcmp(b, "\x00\x00\x80\x3f", 4));
    WriteLE<double>(b, -2.0);
    EXPECT_EQ(0, std::memcmp(b, "\x00\x00\x00\x00\x00\x00\x00\xc0", 8));
}

TEST(LittleEndian, ReadsBackWhatItWrote)
{
    char b[9] = {};
    // Odd offsets: fields of stored files are not aligned.
    WriteLE<int16_t>(b + 1, std::numeric_limits<int16_t>::min());
    EXPECT_EQ(ReadLE<int16_t>(b + 1), std::numeric_limits<int16_t>::min());
    WriteLE<uint32_t>(b + 1, 0xdeadbeefu);
    EXPECT_EQ(ReadLE<uint32_t>(b + 1), 0xdeadbeefu);
    WriteLE<uint64_t>(b + 1, 0x0102030405060708ull);
    EXPECT_EQ(ReadLE<uint64_t>(b + 1), 0x0102030405060708ull);
    WriteLE<float>(b + 1, 0.1f);
    EXPECT_EQ(ReadLE<float>(b + 1), 0.1f);
    WriteLE<double>(b + 1, 1.0 / 3.0);
    EXPECT_EQ(ReadLE<double>(b + 1), 1.0 / 3.0);
}

TEST(LittleEndian, AppendsToABuffer)
{
    QByteArray data("RIFF");
    AppendLE<uint32_t>(data, 0x0a0b0c0du);
    AppendLE<uint16_t>(data, 7);
    EXPECT_EQ(data, QByteArray("RIFF\x0d\x0c\x0b\x0a\x07\x00", 10));
}

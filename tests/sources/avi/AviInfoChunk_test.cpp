#include "sources/avi/AviInfoChunk.h"

#include "document/RecordingInfo.h"

#include <QBuffer>
#include <QtEndian>
#include <gtest/gtest.h>

#include <random>

namespace {

QByteArray Chunk(const char* id, const QByteArray& data)
{
    QByteArray out(id, 4);
    char size[4];
    qToLittleEndian<uint32_t>(uint32_t(data.size()), size);
    out.append(size, 4).append(data);
    if (data.size() & 1)
        out.append('\0');
    return out;
}

QByteArray List(const char* id, const char* form, const QByteArray& body)
{
    return Chunk(id, QByteArray(form, 4) + body);
}

QByteArray InfoRecord(int timeZero)
{
    RecordingInfo info;
    info.TimeZeroFrame = timeZero;
    info.FrameRate = 2000;
    return info.toBytes();
}

std::optional<QByteArray> Scan(QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return ReadAviInfoChunk(buffer);
}

} // namespace

TEST(AviInfoChunk, FoundAtFileLevelInsideListsAndInOpenDmlExtensions)
{
    const QByteArray hdrl = List("LIST", "hdrl", Chunk("avih", QByteArray(56, '\0')));
    const QByteArray movi = List("LIST", "movi", Chunk("00db", QByteArray(12, 'x')));

    const auto plain = Scan(List("RIFF", "AVI ", hdrl + Chunk("rinf", InfoRecord(50)) + movi));
    ASSERT_TRUE(plain);
    RecordingInfo info;
    ASSERT_TRUE(info.fromBytes(*plain));
    EXPECT_EQ(info.TimeZeroFrame, 50);

    const auto inList = Scan(List("RIFF", "AVI ", List("LIST", "INFO", Chunk("rinf", InfoRecord(7))) + movi));
    ASSERT_TRUE(inList);
    ASSERT_TRUE(info.fromBytes(*inList));
    EXPECT_EQ(info.TimeZeroFrame, 7);

    const auto inAvix = Scan(List("RIFF", "AVI ", hdrl + movi) + List("RIFF", "AVIX", movi + Chunk("rinf", InfoRecord(9))));
    ASSERT_TRUE(inAvix);
    ASSERT_TRUE(info.fromBytes(*inAvix));
    EXPECT_EQ(info.TimeZeroFrame, 9);

    // A longer chunk gives its first record; a shorter one is no record.
    ASSERT_TRUE(Scan(List("RIFF", "AVI ", Chunk("rinf", InfoRecord(3) + "tail"))));
    EXPECT_FALSE(Scan(List("RIFF", "AVI ", Chunk("rinf", InfoRecord(3).left(100)))));
    EXPECT_FALSE(Scan(List("RIFF", "AVI ", hdrl + movi)));
}

TEST(AviInfoChunk, HostileSizesNeitherReadOutsideNorLoop)
{
    // Sizes far beyond the file, zero-size chunks, a truncated record, lists nested deeply.
    QByteArray huge = List("RIFF", "AVI ", Chunk("JUNK", "ab"));
    qToLittleEndian<uint32_t>(0xFFFFFFF0u, huge.data() + 4);
    EXPECT_FALSE(Scan(huge));

    QByteArray truncated = List("RIFF", "AVI ", Chunk("rinf", InfoRecord(1)));
    truncated.chop(100);
    EXPECT_FALSE(Scan(truncated));

    QByteArray zeros = List("RIFF", "AVI ", QByteArray(4000, '\0'));
    EXPECT_FALSE(Scan(zeros));

    QByteArray nested = Chunk("rinf", InfoRecord(1));
    for (int i = 0; i < 50; ++i)
        nested = List("LIST", "deep", nested);
    EXPECT_FALSE(Scan(List("RIFF", "AVI ", nested)));   // beyond the depth we look at

    EXPECT_FALSE(Scan(QByteArray()));
    EXPECT_FALSE(Scan("RIFF"));

    // Random damage to a valid file: whatever comes back must be a full record.
    const QByteArray good = List("RIFF", "AVI ", List("LIST", "hdrl", Chunk("avih", QByteArray(56, '\0')))
                                                   + Chunk("rinf", InfoRecord(5)));
    std::mt19937 random(12345);
    for (int round = 0; round < 300; ++round) {
        QByteArray bad = good;
        for (int k = 0; k < 4; ++k)
            bad[int(random() % 40)] = char(random());
        if (round % 3 == 0)
            bad.truncate(int(random() % bad.size()));
        const auto found = Scan(bad);
        if (found)
            EXPECT_EQ(found->size(), RecordingInfo::Size);
    }
}

#include "adjust/ImageTurns.h"

#include "TestFrames.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// A 3 × 2 frame whose pixels are the letters
//   A B C
//   D E F
// (stored in every channel), and its picture as "ABC/DEF".
Frame Letters()
{
    Frame frame(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const int v = 'A' + 3 * y + x;
            SetPixel(frame, x, y, {v, v, v});
        }
    return frame;
}

std::string Picture(const Frame& frame)
{
    std::string s;
    for (int y = 0; y < frame.height(); ++y) {
        if (y)
            s += '/';
        for (int x = 0; x < frame.width(); ++x)
            s += char(frame.pixel(x, y)[0]);
    }
    return s;
}

} // namespace

TEST(RotateMirror, CodesGiveTheirPictures)
{
    struct Case {
        int mirror;
        int turn;
        const char* picture;
    };
    const Case cases[] = {
        {0, 0, "ABC/DEF"},
        {1, 0, "DEF/ABC"},       // top to bottom
        {2, 0, "CBA/FED"},       // left to right
        {3, 0, "FED/CBA"},       // both
        {0, 2, "DA/EB/FC"},      // quarter turn (clockwise)
        {0, 1, "CF/BE/AD"},      // half + quarter turn = the other way round
        {0, 3, "FED/CBA"},       // half turn
        {1, 2, "FC/EB/DA"},      // turn first, then mirror the turned picture
        {2, 1, "FC/EB/DA"},
        {1, 1, "AD/BE/CF"},
        {2, 2, "AD/BE/CF"},
        {7, 9, "ABC/DEF"},       // unknown codes do nothing
        {-1, -1, "ABC/DEF"},
    };
    for (const Case& c : cases) {
        Frame frame = Letters();
        ApplyRotateMirror(frame, c.mirror, c.turn);
        EXPECT_EQ(Picture(frame), c.picture) << "mirror " << c.mirror << " turn " << c.turn;
    }
}

TEST(RotateMirror, MirrorActsOnThePictureAsShownAfterEveryTurn)
{
    // "Top to bottom" swaps the shown picture's top and bottom rows, also
    // when the picture is turned.
    const Frame original = RandomFrame(7, 4, 3);
    for (int turn = 0; turn <= 3; ++turn)
        for (int mirror = 1; mirror <= 3; ++mirror) {
            Frame shown = original;
            ApplyRotateMirror(shown, 0, turn);
            ILMirror(shown, mirror & 1, mirror & 2);
            Frame both = original;
            ApplyRotateMirror(both, mirror, turn);
            EXPECT_EQ(both, shown) << "mirror " << mirror << " turn " << turn;
        }
}

TEST(RotateMirror, HalfTurnThenQuarterTurnUndoesAQuarterTurn)
{
    const Frame original = RandomFrame(640, 480, 11);

    Frame viaRule = original;
    ASSERT_TRUE(ILRotate(viaRule, 180));
    ASSERT_TRUE(ILRotate(viaRule, 90));
    Frame code1 = original;
    ApplyRotateMirror(code1, 0, 1);
    EXPECT_EQ(code1.width(), 480);
    EXPECT_EQ(code1.height(), 640);
    EXPECT_EQ(code1, viaRule);

    ApplyRotateMirror(code1, 0, 2); // code 2 after code 1: back to the start
    EXPECT_EQ(code1, original);

    Frame code3 = original;
    ApplyRotateMirror(code3, 0, 3);
    EXPECT_EQ(code3.width(), 640);
    EXPECT_EQ(code3.height(), 480);
    ApplyRotateMirror(code3, 0, 3);
    EXPECT_EQ(code3, original);
}

TEST(RotateMirror, EmptyFramesAndOtherAnglesAreLeftAlone)
{
    Frame empty;
    EXPECT_FALSE(ILRotate(empty, 90));
    ApplyRotateMirror(empty, 3, 1);
    EXPECT_TRUE(empty.isEmpty());
    Frame frame = Letters();
    EXPECT_FALSE(ILRotate(frame, 45));
    EXPECT_EQ(Picture(frame), "ABC/DEF");
}

TEST(RotateMirror, SourcePixelInvertsEveryCode)
{
    const Frame before = Letters();
    for (int mirror = 0; mirror <= 3; ++mirror)
        for (int turn = 0; turn <= 3; ++turn) {
            Frame after = before;
            ApplyRotateMirror(after, mirror, turn);
            const QSize size = RotateMirrorSize(QSize(before.width(), before.height()), turn);
            ASSERT_EQ(size, QSize(after.width(), after.height())) << mirror << "/" << turn;
            for (int y = 0; y < after.height(); ++y)
                for (int x = 0; x < after.width(); ++x) {
                    const QPoint src = RotateMirrorSourcePixel({x, y}, {3, 2}, mirror, turn);
                    EXPECT_EQ(before.pixel(src.x(), src.y())[0], after.pixel(x, y)[0])
                        << "mirror " << mirror << " turn " << turn << " at " << x << "," << y;
                }
        }
}

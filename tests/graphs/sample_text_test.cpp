// Samples as text: the input of the command-line tool.

#include "graphs/SampleText.h"

#include <gtest/gtest.h>

TEST(SampleText, ValuesAndPairs)
{
    SampleText s;
    QString error;
    ASSERT_TRUE(ParseSampleText("1.5\r\n\n  -2e-3\t\n+4\n", false, &s, &error)) << error.toStdString();
    EXPECT_FALSE(s.hasPairs);
    EXPECT_EQ(s.y, (std::vector<float>{1.5f, -0.002f, 4.0f}));
    EXPECT_TRUE(s.x.empty());

    ASSERT_TRUE(ParseSampleText("0 1\n0.5\t2", true, &s, &error)) << error.toStdString();
    EXPECT_TRUE(s.hasPairs);
    EXPECT_EQ(s.x, (std::vector<float>{0.0f, 0.5f}));
    EXPECT_EQ(s.y, (std::vector<float>{1.0f, 2.0f}));

    ASSERT_TRUE(ParseSampleText("", true, &s, &error));
    EXPECT_TRUE(s.y.empty());
}

TEST(SampleText, BadLinesNameTheirNumber)
{
    const struct {
        QByteArray text;
        bool allowPairs;
        const char* error;
    } cases[] = {
        {"1\n2\nabc\n", false, "line 3: \"abc\" is not a number"},
        {"1\n\n1.5.2\n", false, "line 3: \"1.5.2\" is not a number"},
        {"nan\n", false, "line 1: \"nan\" is not a number"},
        {"1\ninf\n", false, "line 2: \"inf\" is not a number"},
        {"1e39\n", false, "line 1: \"1e39\" is too large for a sample"},
        {"1 2\n", false, "line 1: expected one value"},
        {"1 2 3\n", true, "line 1: expected one value or an \"x y\" pair"},
        {"1 2\n3\n", true, "line 2: expected an \"x y\" pair like the lines before"},
        {"1\n3 4\n", true, "line 2: expected one value like the lines before"},
        // A binary file: its bytes are not quoted as they are.
        {QByteArray("BV\0SC\x1b[2J\xb5\n", 11), false, "line 1: \"BV?SC?[2J?\" is not a number"},
        {QByteArray(40, 'x'), false, "line 1: \"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx...\" is not a number"},
    };
    for (const auto& c : cases) {
        SampleText s;
        QString error;
        EXPECT_FALSE(ParseSampleText(c.text, c.allowPairs, &s, &error)) << c.text.constData();
        EXPECT_EQ(error, QString::fromLatin1(c.error)) << c.text.constData();
    }
}

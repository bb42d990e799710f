#include "export/FileNames.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(NumberText, PadsToTheWidestFrameNumber)
{
    struct Case { int n, first, last; const char* text; };
    const Case cases[] = {
        {7, -100, 5000, "0007"},
        {-7, -100, 5000, "-0007"},
        {-3, -50, 120, "-003"},
        {12, -50, 120, "012"},
        {0, 0, 9, "0"},
        {0, 0, 10, "00"},
        {123456, 0, 99, "123456"},         // wider than the width: never cut
        {-5, -5000, 10, "-0005"},           // width from |first|
        {5, 0, 0, "5"},
        {-2147483647 - 1, -2147483647 - 1, 0, "-2147483648"},
        {42, 2147483647, -2147483647 - 1, "0000000042"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NumberText(c.n, c.first, c.last), QString::fromLatin1(c.text)) << c.n << " " << c.first << " " << c.last;
}

TEST(IsValidFileName, ChecksNamePartAndFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString d = dir.path() + QLatin1Char('/');
    QFile existing(d + QStringLiteral("there.avi"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    QDir(d).mkdir(QStringLiteral("sub"));

    struct Case { QString name; bool mustExist; bool valid; };
    const Case cases[] = {
        {d + "clip.avi", false, true},
        {d + "clip", false, true},
        {d + "clip.avi", true, false},          // does not exist
        {d + "there.avi", true, true},
        {d + "sub/clip.tif", false, true},
        {d + "missing/clip.tif", false, false}, // folder does not exist
        {d, false, false},                      // empty name part
        {d + "sub", false, false},              // a folder, not a file
        {d + QString(255, 'a'), false, true},
        {d + QString(256, 'a'), false, false},
        {d + "a:b", false, false},
        {d + "a*b", false, false},
        {d + "a?b", false, false},
        {d + "a<b", false, false},
        {d + "a>b", false, false},
        {d + "a|b", false, false},
        {d + "a\"b", false, false},
        {d + "a\\b", false, false},
        {"clip.avi", false, false},             // no folder part
        {"", false, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsValidFileName(c.name, c.mustExist), c.valid) << qPrintable(c.name) << " mustExist=" << c.mustExist;
}

TEST(FileNames, ExtensionComesFromTheLastDotOfTheNamePart)
{
    struct Case { const char* name; const char* extension; const char* base; };
    const Case cases[] = {
        {"/a/b.c.tif", ".tif", "/a/b.c"},
        {"/a.b/c", "", "/a.b/c"},
        {"/a/clip", "", "/a/clip"},
        {"/a/clip.", ".", "/a/clip"},
        {"/a/name.TIFF", ".TIFF", "/a/name"},
        {"/a/.hidden", ".hidden", "/a/"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FileExtension(QString::fromLatin1(c.name)), QString::fromLatin1(c.extension)) << c.name;
        EXPECT_EQ(FileBaseName(QString::fromLatin1(c.name)), QString::fromLatin1(c.base)) << c.name;
    }
}

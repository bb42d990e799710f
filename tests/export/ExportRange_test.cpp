#include "export/ExportRange.h"

#include "ExternalTools.h"
#include "FakeSource.h"
#include "TiffRead.h"
#include "document/VideoDocument.h"
#include "export/DpxWriter.h"
#include "sources/avi/AviInfoChunk.h"
#include "sources/avi/AviSource.h"
#include "sources/SourceFactory.h"
#include "export/ImageFileWriters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <cstring>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

// Records every progress call; answers false (abort) at `abortAt`.
struct RecordingProgress : ExportProgress {
    int abortAt = -1;
    std::vector<std::pair<int, int>> calls;
    bool step(int done, int total) override
    {
        calls.emplace_back(done, total);
        return done != abortAt;
    }
};

class ExportRangeTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.path() + QLatin1Char('/') + name; }
    QStringList filesInDir() const { return QDir(m_dir.path()).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir m_dir;
};

ExportRequest Request(const QString& fileName, int filterIndex, int first, int last)
{
    ExportRequest request;
    request.fileName = fileName;
    request.filterIndex = filterIndex;
    request.rangeFirst = first;
    request.rangeLast = last;
    return request;
}

// Frame k of an AVI file, through the program's own reader.
Frame ReadAviFrame(AviSource& source, int k)
{
    Frame frame;
    source.readFrame(k, frame);
    return frame;
}

} // namespace

TEST_F(ExportRangeTest, ImageSequencesAreNumberedAndHoldTheRenderedFrames)
{
    auto doc = MakePatternDocument(-50, 120, 9, 5);
    struct Case { int filter; const char* extension; };
    const Case cases[] = {{2, ".tif"}, {3, ".jpg"}, {4, ".bmp"}, {5, ".dpx"}};
    for (const Case& c : cases) {
        const QString folder = path(QString::number(c.filter));
        QDir().mkpath(folder);
        const ExportResult result = ExportRange(*doc, Request(folder + "/shot.xyz", c.filter, -3, 12));
        ASSERT_EQ(result.status, ExportResult::Completed) << qPrintable(result.error);
        EXPECT_EQ(result.framesWritten, 16);
        ASSERT_EQ(result.files.size(), 16);
        EXPECT_EQ(result.files.first(), folder + "/shot-003" + c.extension);
        EXPECT_EQ(result.files[15], folder + "/shot012" + c.extension);
        EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 16);

        for (int n : {-3, 0, 12}) {
            const QString file = result.files[n + 3];
            const Frame expected = PatternFrame(n, 9, 5);
            switch (c.filter) {
            case 2: EXPECT_EQ(MaxDifference(ReadTiffPage(file, 0), expected), 0) << qPrintable(file); break;
            case 3: EXPECT_EQ(QImage(file).size(), QSize(9, 5)) << qPrintable(file); break;
            case 4: EXPECT_EQ(MaxDifference(QImage(file), expected), 0) << qPrintable(file); break;
            case 5: {
                QFile dpx(file);
                ASSERT_TRUE(dpx.open(QIODevice::ReadOnly));
                const QByteArray bytes = dpx.readAll();
                const int rowBytes = Dpx::RowBytes(9);
                ASSERT_EQ(bytes.size(), Dpx::DataOffset + rowBytes * 5);
                const char* px = bytes.constData() + Dpx::DataOffset + 4 * rowBytes + 8 * 3; // pixel (8, 4)
                EXPECT_EQ(uint8_t(px[0]), PatternRed(n, 8, 4));
                EXPECT_EQ(uint8_t(px[1]), PatternGreen(n, 8, 4));
                EXPECT_EQ(uint8_t(px[2]), PatternBlue(n, 8, 4));
                break;
            }
            }
        }
    }
}

TEST_F(ExportRangeTest, ProgressAndKeptChoices)
{
    auto doc = MakePatternDocument(0, 100, 4, 4);
    doc->LoadFrame(77);
    RecordingProgress progress;
    const QString name = path("clip.bmp");
    const ExportResult result = ExportRange(*doc, Request(name, 4, 10, 13), &progress);
    ASSERT_EQ(result.status, ExportResult::Completed) << qPrintable(result.error);
    const std::vector<std::pair<int, int>> expected{{0, 4}, {1, 4}, {2, 4}, {3, 4}, {4, 4}};
    EXPECT_EQ(progress.calls, expected);
    EXPECT_EQ(doc->Info.SaveSettings[0], 4);
    EXPECT_EQ(doc->Info.InfoText[16], name);
    EXPECT_EQ(doc->Info.ExportText[2], QStringLiteral("Windows Bitmap"));
    // Afterwards the document shows the first frame of the range.
    EXPECT_EQ(doc->Info.CurrentFrame, 10);
    EXPECT_EQ(doc->DisplayBitmap, PatternFrame(10, 4, 4));
}

TEST_F(ExportRangeTest, LastBeforeFirstWritesExactlyTheFirstFrame)
{
    auto doc = MakePatternDocument(0, 100, 4, 4);
    const ExportResult result = ExportRange(*doc, Request(path("one.tif"), 2, 20, 5));
    ASSERT_EQ(result.status, ExportResult::Completed) << qPrintable(result.error);
    EXPECT_EQ(result.framesWritten, 1);
    EXPECT_EQ(filesInDir(), QStringList{"one020.tif"});
}

TEST_F(ExportRangeTest, AbortDuringASequenceKeepsTheFilesWritten)
{
    auto doc = MakePatternDocument(0, 9, 4, 4);
    RecordingProgress progress;
    progress.abortAt = 3;
    const ExportResult result = ExportRange(*doc, Request(path("f.jpg"), 3, 0, 9), &progress);
    EXPECT_EQ(result.status, ExportResult::Aborted);
    EXPECT_EQ(result.framesWritten, 3);
    EXPECT_EQ(filesInDir(), (QStringList{"f0.jpg", "f1.jpg", "f2.jpg"}));
    EXPECT_EQ(doc->Info.CurrentFrame, 0);
}

TEST_F(ExportRangeTest, AbortDuringAnAviLeavesAPlayableFile)
{
    auto doc = MakePatternDocument(0, 99, 6, 4);
    RecordingProgress progress;
    progress.abortAt = 4;
    const ExportResult result = ExportRange(*doc, Request(path("cut.avi"), 1, 10, 99), &progress);
    EXPECT_EQ(result.status, ExportResult::Aborted);
    EXPECT_EQ(result.files, QStringList{path("cut.avi")});

    QString error;
    auto avi = OpenAviSource(path("cut.avi"), &error);
    ASSERT_TRUE(avi) << qPrintable(error);
    ASSERT_EQ(avi->frameCount(), 4);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(ReadAviFrame(*avi, k), PatternFrame(10 + k, 6, 4)) << k;
}

TEST_F(ExportRangeTest, AviCodecsAndTheGreyVariant)
{
    // Green runs up to 255 so that the grey clamp shows.
    auto doc = MakePatternDocument(0, 9, 8, 4, 1000, 0, [](int n, Frame& f) {
        for (int y = 0; y < f.height(); ++y)
            for (int x = 0; x < f.width(); ++x) {
                uint8_t* p = f.pixel(x, y);
                p[0] = uint8_t(n * 20);
                p[1] = uint8_t(248 + x);
                p[2] = uint8_t(100 + y);
            }
    });

    ExportRequest dib = Request(path("dib.avi"), 1, 2, 5);
    ExportRequest mjpeg = Request(path("mjpeg.avi"), 1, 2, 5);
    mjpeg.aviCodec = AviCodec::Mjpeg;
    mjpeg.quality = 95;
    ExportRequest grey = Request(path("grey.avi"), 6, 2, 5);
    for (const ExportRequest& request : {dib, mjpeg, grey}) {
        const ExportResult result = ExportRange(*doc, request);
        ASSERT_EQ(result.status, ExportResult::Completed) << qPrintable(result.error);
        QString error;
        auto avi = OpenAviSource(request.fileName, &error);
        ASSERT_TRUE(avi) << qPrintable(error);
        EXPECT_EQ(avi->frameCount(), 4);
        EXPECT_EQ(avi->width(), 8);
        EXPECT_EQ(avi->height(), 4);
        EXPECT_DOUBLE_EQ(avi->streamFrameRate(), 15.0);
    }

    QString error;
    auto dibAvi = OpenAviSource(path("dib.avi"), &error);
    doc->LoadFrame(3);
    EXPECT_EQ(ReadAviFrame(*dibAvi, 1), doc->DisplayBitmap);

    auto greyAvi = OpenAviSource(path("grey.avi"), &error);
    const Frame g = ReadAviFrame(*greyAvi, 1);
    for (int x = 0; x < 8; ++x) {
        const uint8_t level = uint8_t(std::min(248 + x, 254));
        const uint8_t* p = g.pixel(x, 2);
        EXPECT_EQ(p[0], level) << x;
        EXPECT_EQ(p[1], level) << x;
        EXPECT_EQ(p[2], level) << x;
    }
}

TEST_F(ExportRangeTest, AviInfoChunkIsTheRecordWithTimeZeroMoved)
{
    auto doc = MakePatternDocument(0, 400, 4, 2, 2000, 200);
    doc->Info.CalPoint1 = {10.5f, 20.5f};
    doc->Info.CalPoint2 = {30.5f, 40.5f};
    doc->Info.SvfSettingsE = 77;
    doc->Info.InfoText[3] = QStringLiteral("lens 50mm");
    const ExportResult result = ExportRange(*doc, Request(path("info.AVI"), 1, 150, 160));
    ASSERT_EQ(result.status, ExportResult::Completed) << qPrintable(result.error);

    const auto chunk = ReadAviInfoChunk(path("info.AVI"));
    ASSERT_TRUE(chunk.has_value());
    ASSERT_EQ(chunk->size(), RecordingInfo::Size);
    RecordingInfo info;
    ASSERT_TRUE(info.fromBytes(*chunk));
    EXPECT_EQ(info.TimeZeroFrame, 50);
    EXPECT_EQ(info.FrameRate, 2000);
    EXPECT_EQ(info.InfoText[0], QStringLiteral("Qor Brava"));
    EXPECT_EQ(info.InfoText[3], QStringLiteral("lens 50mm"));
    EXPECT_EQ(info.InfoText[16], path("info.AVI"));
    EXPECT_EQ(info.ExportText[2], QStringLiteral("Windows AVI"));
    EXPECT_EQ(info.SaveSettings[0], 1);
    EXPECT_EQ(info.CalPoint1, (std::array<float, 2>{0, 0}));
    EXPECT_EQ(info.CalPoint2, (std::array<float, 2>{0, 0}));
    EXPECT_EQ(chunk->mid(RecordingInfo::OffReservedTail), QByteArray(RecordingInfo::Size - RecordingInfo::OffReservedTail, '\0'));
    // The document itself keeps its own values.
    EXPECT_EQ(doc->Info.TimeZeroFrame, 200);
    EXPECT_EQ(doc->Info.CalPoint1[0], 10.5f);
    // A short string's bytes after its text are zero.
    const int infoText3 = RecordingInfo::OffInfoText + 3 * 256;
    EXPECT_EQ(chunk->mid(infoText3 + 1 + 9, 256 - 10), QByteArray(256 - 10, '\0'));
}

TEST_F(ExportRangeTest, ExportedAviKeepsTimeZeroOnTheSameFrame)
{
    struct Case { int timeZero; int rangeFirst; int rangeLast; int chunkTimeZero; };
    const Case cases[] = {
        {0, -500, 499, 500},    // frames before the trigger: time 0 is exported frame 500
        {500, -500, 499, 1000}, // time 0 after the last exported frame
        {0, 100, 199, -100},    // time 0 before the first exported frame
    };
    for (const Case& c : cases) {
        auto doc = MakePatternDocument(-500, 499, 4, 2, 1000, c.timeZero);
        const QString file = path(QStringLiteral("t%1_%2.avi").arg(c.timeZero).arg(c.rangeFirst));
        const ExportResult result = ExportRange(*doc, Request(file, 1, c.rangeFirst, c.rangeLast));
        ASSERT_EQ(result.status, ExportResult::Completed) << qPrintable(result.error);

        QString error;
        auto avi = OpenAviSource(file, &error);
        ASSERT_TRUE(avi) << qPrintable(error);
        RecordingInfo exported;
        avi->fillInfo(exported);
        EXPECT_EQ(exported.TimeZeroFrame, c.chunkTimeZero);
        EXPECT_EQ(exported.FrameRate, 1000);
        ASSERT_EQ(avi->frameCount(), c.rangeLast - c.rangeFirst + 1);
        // Every exported frame sits at the time its source frame had.
        VideoDocument reopened;
        reopened.AttachSource(std::move(avi), file);
        const int count = c.rangeLast - c.rangeFirst + 1;
        for (int k : {0, count / 2 + 1, count - 1}) {
            const int sourceFrame = c.rangeFirst + k;
            EXPECT_EQ(reopened.TimeOfFrame(k), doc->TimeOfFrame(sourceFrame)) << k;
            reopened.LoadFrame(reopened.FrameAtTime(doc->TimeOfFrame(sourceFrame)));
            EXPECT_EQ(reopened.DisplayBitmap, PatternFrame(sourceFrame, 4, 2)) << k;
        }
    }
}

TEST_F(ExportRangeTest, MultiPageTiffGoesToTheChosenNamePlusTif)
{
    auto doc = MakePatternDocument(0, 20, 5, 3);
    // A file of that name from an earlier export is replaced, not extended.
    ASSERT_EQ(ExportRange(*doc, Request(path("pages.TIFF"), 7, 0, 9)).status, ExportResult::Completed);
    ExportRequest again = Request(path("pages.TIFF"), 7, 3, 6);
    again.replaceExisting = true;
    const ExportResult result = ExportRange(*doc, again);
    ASSERT_EQ(result.status, ExportResult::Completed) << qPrintable(result.error);
    EXPECT_EQ(result.files, QStringList{path("pages.TIFF.tif")});
    EXPECT_EQ(filesInDir(), QStringList{"pages.TIFF.tif"});
    EXPECT_EQ(doc->Info.ExportText[2], QStringLiteral("Multipage TIFF"));
    for (int page = 0; page < 4; ++page)
        EXPECT_EQ(MaxDifference(ReadTiffPage(path("pages.TIFF.tif"), page), PatternFrame(3 + page, 5, 3)), 0) << page;
    if (HaveTool(QStringLiteral("tiffinfo"))) {
        const QByteArray info = RunTool(QStringLiteral("tiffinfo"), {path("pages.TIFF.tif")});
        EXPECT_EQ(info.count("TIFF Directory at offset"), 4);
    }
}

TEST(ExportTargets, AviAndMultiPageNames)
{
    struct Case { ExportKind kind; const char* chosen; const char* written; };
    const Case cases[] = {
        {ExportKind::Avi, "/d/clip.avi", "/d/clip.avi"},
        {ExportKind::Avi, "/d/clip.AVI", "/d/clip.AVI"},
        {ExportKind::Avi, "/d/clip", "/d/clip.AVI"},
        {ExportKind::GreyAvi, "/d/clip.mov", "/d/clip.AVI"},
        {ExportKind::MultiPageTiff, "/d/name.TIFF", "/d/name.TIFF.tif"},
        {ExportKind::MultiPageTiff, "/d/name", "/d/name.tif"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExportTargetFile(c.kind, QString::fromLatin1(c.chosen)), QString::fromLatin1(c.written)) << c.chosen;
    EXPECT_EQ(ExportSequenceFile(ExportKind::Dpx, "/d/a.b.dpx", -3, -50, 120), QStringLiteral("/d/a.b-003.dpx"));
    EXPECT_EQ(ExportKindForFilter(0), ExportKind::None);
    EXPECT_EQ(ExportKindForFilter(8), ExportKind::None);
}

TEST_F(ExportRangeTest, FailuresAreReportedAndWriteNothingUnasked)
{
    // Invalid name: nothing written, nothing remembered.
    auto doc = MakePatternDocument(0, 9, 4, 4);
    ExportResult result = ExportRange(*doc, Request(path("bad|name.tif"), 2, 0, 3));
    EXPECT_EQ(result.status, ExportResult::Failed);
    EXPECT_EQ(result.error, QStringLiteral("Filename not valid"));
    EXPECT_EQ(doc->Info.SaveSettings[0], 0);
    EXPECT_TRUE(filesInDir().isEmpty());

    // An AVI play speed outside 1..1000.
    ExportRequest request = Request(path("speed.avi"), 1, 0, 3);
    request.playSpeed = 0;
    result = ExportRange(*doc, request);
    EXPECT_EQ(result.status, ExportResult::Failed);
    EXPECT_TRUE(result.error.contains("1 to 1000 frames per second")) << qPrintable(result.error);
    EXPECT_TRUE(filesInDir().isEmpty());

    // The recording being read is never the export target.
    QFile recording(path("rec.avi"));
    ASSERT_TRUE(recording.open(QIODevice::WriteOnly));
    recording.write("original");
    recording.close();
    auto fromFile = MakePatternDocument(0, 9, 4, 4, 1000, 0, PaintPattern, path("rec.avi"));
    result = ExportRange(*fromFile, Request(path("rec.avi"), 1, 0, 3));
    EXPECT_EQ(result.status, ExportResult::Failed);
    EXPECT_TRUE(result.error.contains("recording being read")) << qPrintable(result.error);
    ASSERT_TRUE(recording.open(QIODevice::ReadOnly));
    EXPECT_EQ(recording.readAll(), QByteArray("original"));
    recording.close();

    // A frame that cannot be written stops the run; earlier frames stay.
    QDir().mkdir(path("seq2.bmp")); // a folder where frame 2 would go
    ExportRequest blocked = Request(path("seq.bmp"), 4, 0, 5);
    blocked.replaceExisting = true;
    result = ExportRange(*doc, blocked);
    EXPECT_EQ(result.status, ExportResult::Failed);
    EXPECT_TRUE(result.error.contains("seq2.bmp")) << qPrintable(result.error);
    EXPECT_EQ(result.framesWritten, 2);
    EXPECT_TRUE(QFile::exists(path("seq0.bmp")));
    EXPECT_TRUE(QFile::exists(path("seq1.bmp")));
    EXPECT_FALSE(QFile::exists(path("seq3.bmp")));
    EXPECT_EQ(doc->Info.CurrentFrame, 0);
}

TEST_F(ExportRangeTest, AFailedFrameEndsTheSequenceWithAnyNumberOfEncodingThreads)
{
    // Frames are encoded out of order by several threads; whatever finished
    // early, the run ends exactly at the failed frame.
    auto doc = MakePatternDocument(0, 9, 8, 6);
    for (const int workers : {1, 2, 4, 7}) {
        const QString folder = path(QStringLiteral("w%1").arg(workers));
        ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/s5.dpx")));
        ExportRequest request = Request(folder + QStringLiteral("/s.dpx"), 5, 0, 9);
        request.replaceExisting = true;
        request.workers = workers;
        const ExportResult result = ExportRange(*doc, request);
        EXPECT_EQ(result.status, ExportResult::Failed) << workers;
        EXPECT_TRUE(result.error.contains("s5.dpx")) << qPrintable(result.error);
        EXPECT_EQ(result.framesWritten, 5) << workers;
        ASSERT_EQ(result.files.size(), 5) << workers;
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(result.files[k], folder + QStringLiteral("/s%1.dpx").arg(k)) << workers;
        EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name),
                  (QStringList{"s0.dpx", "s1.dpx", "s2.dpx", "s3.dpx", "s4.dpx"})) << workers;
    }
}

TEST_F(ExportRangeTest, ExistingTargetsAreNamedAndKeptUnlessReplacing)
{
    auto doc = MakePatternDocument(-2, 9, 4, 4);
    struct Case { int filter; const char* chosen; const char* occupied; };
    const Case cases[] = {
        {1, "clip", "clip.AVI"},              // the name typed gets the .AVI it is written under
        {7, "p.TIFF", "p.TIFF.tif"},          // multi-page: the real target, not the name typed
        {2, "run.tif", "run-1.tif"},          // a sequence: any frame file
    };
    for (const Case& c : cases) {
        QFile old(path(c.occupied));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        ExportRequest request = Request(path(c.chosen), c.filter, -2, 3);
        EXPECT_EQ(ExistingExportFiles(request, -2, 9), QStringList{path(c.occupied)}) << c.chosen;
        ExportResult result = ExportRange(*doc, request);
        EXPECT_EQ(result.status, ExportResult::Failed) << c.chosen;
        EXPECT_EQ(result.error, path(c.occupied) + QStringLiteral(" already exists"));
        EXPECT_EQ(QFileInfo(old).size(), 3) << c.chosen;

        request.replaceExisting = true;
        result = ExportRange(*doc, request);
        EXPECT_EQ(result.status, ExportResult::Completed) << qPrintable(result.error);
        EXPECT_GT(QFileInfo(old).size(), 3) << c.chosen;
    }
}

TEST_F(ExportRangeTest, OlderFramesOfTheSameBaseAreFound)
{
    auto doc = MakePatternDocument(-20, 200, 4, 4);
    ASSERT_EQ(ExportRange(*doc, Request(path("run.bmp"), 4, -5, 10)).status, ExportResult::Completed);
    QFile other(path("runway.bmp"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();
    // A shorter export of the same base leaves frames -5..-1 and 5..10 behind.
    const ExportRequest shorter = Request(path("run.bmp"), 4, 0, 4);
    const QStringList leftovers = LeftoverSequenceFiles(shorter, -20, 200);
    EXPECT_EQ(leftovers.size(), 11);
    EXPECT_TRUE(leftovers.contains(path("run-005.bmp")));
    EXPECT_TRUE(leftovers.contains(path("run010.bmp")));
    EXPECT_FALSE(leftovers.contains(path("run003.bmp")));
    EXPECT_FALSE(leftovers.contains(path("runway.bmp")));
    EXPECT_EQ(ExistingExportFiles(shorter, -20, 200).size(), 5);
    EXPECT_TRUE(LeftoverSequenceFiles(Request(path("run.bmp"), 1, 0, 4), -20, 200).isEmpty());
}

TEST(ExportTargets, RangeIndexNumbering)
{
    ExportRequest request = Request("/d/shot.tif", 2, -3, 116);
    request.numbering = FileNumbering::RangeIndex;
    EXPECT_EQ(ExportSequenceFile(request, -3, -50, 500), QStringLiteral("/d/shot000.tif"));
    EXPECT_EQ(ExportSequenceFile(request, 4, -50, 500), QStringLiteral("/d/shot007.tif"));
    EXPECT_EQ(ExportSequenceFile(request, 116, -50, 500), QStringLiteral("/d/shot119.tif"));
    const QStringList files = ExportFiles(request, -50, 500);
    ASSERT_EQ(files.size(), 120);
    QStringList sorted = files;
    sorted.sort();
    EXPECT_EQ(sorted, files); // name order is frame order
    EXPECT_EQ(RangeIndexText(0, 1), QStringLiteral("0"));
    EXPECT_EQ(RangeIndexText(9, 10), QStringLiteral("9"));
    EXPECT_EQ(RangeIndexText(3, 11), QStringLiteral("03"));
    request.numbering = FileNumbering::FrameNumber;
    EXPECT_EQ(ExportSequenceFile(request, -3, -50, 500), QStringLiteral("/d/shot-003.tif"));
}

TEST_F(ExportRangeTest, LongMultiPageTiffsUseBigTiff)
{
    EXPECT_FALSE(NeedsBigTiff(1280, 1024, 1000));
    EXPECT_TRUE(NeedsBigTiff(1280, 1024, 1100));
    EXPECT_FALSE(NeedsBigTiff(64, 64, 100000));
    EXPECT_TRUE(NeedsBigTiff(32767, 32767, 2));

    for (bool big : {false, true}) {
        const QString file = path(big ? "big.tif" : "classic.tif");
        MultiPageTiffWriter writer;
        QString error;
        ASSERT_TRUE(writer.open(file, &error, big)) << qPrintable(error);
        ASSERT_TRUE(writer.appendPage(PatternFrame(1, 5, 3), &error));
        ASSERT_TRUE(writer.appendPage(PatternFrame(2, 5, 3), &error));
        writer.close();
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray head = f.read(4);
        EXPECT_EQ(head, big ? QByteArray("II+\0", 4) : QByteArray("II*\0", 4));
        EXPECT_EQ(MaxDifference(ReadTiffPage(file, 1), PatternFrame(2, 5, 3)), 0);
    }
}

TEST_F(ExportRangeTest, AviWriteFailuresUseTheAviErrorTextsWithTheReason)
{
    // A file-size limit makes the first frame's write fail with EFBIG.
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = previous;
    limited.rlim_cur = 200 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    auto doc = MakePatternDocument(0, 9, 640, 480);
    const ExportResult result = ExportRange(*doc, Request(path("big.avi"), 1, 0, 9));
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(result.status, ExportResult::Failed);
    EXPECT_TRUE(result.error.startsWith(QStringLiteral("Write Frame : AVIERR_FILEWRITE (Cannot write to %1: ").arg(path("big.avi"))))
        << qPrintable(result.error);
    EXPECT_TRUE(result.error.contains(QString::fromLocal8Bit(std::strerror(EFBIG)))) << qPrintable(result.error);

    if (QFile::exists("/dev/full")) {
        ASSERT_TRUE(QFile::link("/dev/full", path("full.avi")));
        ExportRequest request = Request(path("full.avi"), 1, 0, 9);
        request.replaceExisting = true;
        const ExportResult full = ExportRange(*doc, request);
        EXPECT_EQ(full.status, ExportResult::Failed);
        EXPECT_TRUE(full.error.contains(QStringLiteral(" : AVIERR_FILEWRITE ("))) << qPrintable(full.error);
        EXPECT_TRUE(full.error.contains(QString::fromLocal8Bit(std::strerror(ENOSPC)))) << qPrintable(full.error);
    }
}

TEST_F(ExportRangeTest, MissingFolderIsNamed)
{
    auto doc = MakePatternDocument(0, 9, 4, 4);
    const ExportResult result = ExportRange(*doc, Request(path("gone/x.tif"), 2, 0, 3));
    EXPECT_EQ(result.status, ExportResult::Failed);
    EXPECT_TRUE(result.error.startsWith(QStringLiteral("Filename not valid")));
    EXPECT_TRUE(result.error.contains(path("gone/"))) << qPrintable(result.error);
}

TEST_F(ExportRangeTest, OpenedAviKnowsItsChunkAndIgnoresAnImpossibleTimeZero)
{
    auto doc = MakePatternDocument(0, 9, 4, 4, 500, 3);
    ASSERT_EQ(ExportRange(*doc, Request(path("with.avi"), 1, 0, 4)).status, ExportResult::Completed);
    VideoDocument with;
    QString error;
    ASSERT_TRUE(OpenRecordingFile(with, path("with.avi"), &error)) << qPrintable(error);
    EXPECT_TRUE(with.HasInfoChunk);
    EXPECT_EQ(with.Info.TimeZeroFrame, 3);

    // A chunk whose time-zero frame no recording can have.
    for (int32_t timeZero : {INT32_MIN, INT32_MAX, -1000000001}) {
        RecordingInfo crafted = doc->Info;
        crafted.TimeZeroFrame = timeZero;
        AviWriter writer;
        const QString file = path(QStringLiteral("crafted%1.avi").arg(timeZero));
        ASSERT_TRUE(writer.open(file, 4, 4, 15, AviCodec::Dib24, 0, crafted.toBytes(), &error)) << qPrintable(error);
        ASSERT_TRUE(writer.writeFrame(PatternFrame(0, 4, 4)));
        writer.close();
        VideoDocument opened;
        ASSERT_TRUE(OpenRecordingFile(opened, file, &error)) << qPrintable(error);
        EXPECT_TRUE(opened.HasInfoChunk);
        EXPECT_EQ(opened.Info.TimeZeroFrame, 0) << timeZero;
        EXPECT_EQ(opened.Info.FrameRate, 500);
    }

    AviWriter plain;
    ASSERT_TRUE(plain.open(path("plain.avi"), 4, 4, 15, AviCodec::Dib24, 0, QByteArray(), &error));
    ASSERT_TRUE(plain.writeFrame(PatternFrame(0, 4, 4)));
    plain.close();
    VideoDocument without;
    ASSERT_TRUE(OpenRecordingFile(without, path("plain.avi"), &error));
    EXPECT_FALSE(without.HasInfoChunk);
}

// The export renders off the view while other threads encode and write;
// the files must be byte for byte those of rendering each frame through the
// view and writing it on one thread, for a real Brava recording and a list of adjustments with a
// time stamp that changes every frame.

#include "document/VideoDocument.h"
#include "export/ExportRange.h"
#include "sources/SourceFactory.h"
#include "sources/bvf/SampleScene.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::unique_ptr<AdjustmentEntry> Entry(AdjustmentEntry::Parameters parameters)
{
    return std::make_unique<AdjustmentEntry>(std::move(parameters));
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(SameFiles, OffViewStagesWriteWhatTheViewPathWrote)
{
    QTemporaryDir dir;
    bvf::SampleOptions options;
    options.size = QSize(96, 64);
    options.frames = 24;
    options.firstFrame = -4;
    options.colour = true;
    const QString recording = dir.filePath(QStringLiteral("rec.bvf"));
    QString error;
    ASSERT_TRUE(bvf::WriteSampleRecording(recording, options, &error)) << error.toStdString();

    VideoDocument doc;
    ASSERT_TRUE(OpenRecordingFile(doc, recording, &error)) << error.toStdString();
    doc.AppendEntry(Entry(BrightnessEntry{.Offset = 12}));
    doc.AppendEntry(Entry(GammaEntry{.Slider = 7, .Exponent = 1.3f}));
    doc.AppendEntry(Entry(RgbEntry{.Red = 10, .Green = -5, .Blue = 20}));
    doc.AppendEntry(Entry(HueSatEntry{.Hue = 15, .Saturation = 20, .Value = 0}));
    AnnotationEntry stamp;
    stamp.TimeStamp = true;
    stamp.AnnX = 4;
    stamp.AnnY = 40;
    stamp.AnnInfoKind = 1;
    stamp.AnnDecimals = 2;
    doc.AppendEntry(Entry(stamp));
    doc.AppendEntry(Entry(RotateEntry{.Mirror = 1, .Turn = 0}));

    struct Case {
        int filter;
        AviCodec codec;
        const char* name;
    };
    const Case cases[] = {
        {1, AviCodec::Mjpeg, "m.avi"}, {1, AviCodec::Dib24, "d.avi"}, {6, AviCodec::Dib24, "g.avi"},
        {2, AviCodec::Dib24, "t.tif"}, {3, AviCodec::Dib24, "j.jpg"}, {4, AviCodec::Dib24, "b.bmp"},
        {5, AviCodec::Dib24, "x.dpx"}, {7, AviCodec::Dib24, "p.TIFF"},
    };
    // Folder names of one length: the AVI information chunk holds the path.
    const auto exportInto = [&](const Case& c, const QString& folderName, bool serial, int workers) {
        const QString folder = dir.filePath(folderName);
        QDir().mkpath(folder);
        ExportRequest request;
        request.fileName = folder + QLatin1Char('/') + QLatin1String(c.name);
        request.filterIndex = c.filter;
        request.aviCodec = c.codec;
        request.rangeFirst = -3;
        request.rangeLast = 17;
        request.serial = serial;
        request.workers = workers;
        request.replaceExisting = true;
        const ExportResult result = ExportRange(doc, request);
        EXPECT_EQ(result.status, ExportResult::Completed) << result.error.toStdString();
        EXPECT_EQ(result.framesWritten, 21);
        return result.files;
    };
    for (const Case& c : cases) {
        const QStringList serial = exportInto(c, QStringLiteral("s0"), true, 0);
        // One, two and five encoding threads, and as many as the machine has.
        for (const int workers : {1, 2, 5, 0}) {
            const QStringList staged = exportInto(c, QStringLiteral("n%1").arg(workers), false, workers);
            ASSERT_EQ(staged.size(), serial.size()) << c.name;
            for (qsizetype k = 0; k < staged.size(); ++k) {
                QByteArray a = Contents(staged[k]);
                QByteArray b = Contents(serial[k]);
                ASSERT_FALSE(a.isEmpty());
                if (c.filter == 5) {
                    // The DPX header holds the file's path and the time of writing.
                    a = a.mid(1664);
                    b = b.mid(1664);
                }
                if (c.filter == 1 || c.filter == 6) {
                    // The information chunk holds the chosen file name.
                    a.replace(QFileInfo(staged[k]).absolutePath().toUtf8(), "F");
                    b.replace(QFileInfo(serial[k]).absolutePath().toUtf8(), "F");
                }
                EXPECT_TRUE(a == b) << c.name << " file " << k << ", " << workers << " threads";
            }
        }
    }
    // The document shows the first frame of the range afterwards.
    EXPECT_EQ(doc.Info.CurrentFrame, -3);
}

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // text drawing
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// Recordings cut short or damaged inside: only the frames really present are
// offered, and a frame that cannot be read is never shown as another one.

#include "BvfTestSupport.h"

#include "common/LittleEndian.h"
#include "document/VideoDocument.h"
#include "sources/SourceFactory.h"
#include "sources/avi/AviWriter.h"
#include "sources/bvf/BvfSource.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

using namespace bvftest;

namespace {

constexpr int kFrames = 150;

// Frame k is filled with the value k + 10, so any mix-up shows.
QByteArray Recording(int frames = kFrames)
{
    bvf::RecordingLayout l = Layout(8, 6, false, frames);
    std::vector<Image> images;
    for (int k = 0; k < frames; ++k)
        images.push_back(Constant(8, 6, uint8_t(k + 10)));
    return bvf::RecordingBytes(l, images);
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

} // namespace

TEST(BvfCut, HalfAFileOpensWithTheFramesReallyThere)
{
    QByteArray bytes = Recording();
    auto whole = Open(bytes);
    ASSERT_TRUE(whole);
    EXPECT_TRUE(whole->openWarning().isEmpty());
    bytes.truncate(bytes.size() / 2);

    QString error;
    auto r = TBVSCFILECAM::openBytes(bytes, &error);
    ASSERT_TRUE(r) << error.toStdString();
    const int present = int(r->recordsInFile());
    ASSERT_GT(present, 1);
    ASSERT_LT(present, kFrames);
    EXPECT_EQ(r->endFrame(), present - 1);
    EXPECT_EQ(r->promisedEndFrame(), kFrames - 1);
    EXPECT_EQ(r->frameCount(), present);
    EXPECT_TRUE(r->openWarning().contains(QString::number(present))) << r->openWarning().toStdString();
    EXPECT_TRUE(r->openWarning().contains(QString::number(kFrames))) << r->openWarning().toStdString();

    ASSERT_TRUE(r->readFrame(present - 1));
    EXPECT_EQ(r->output().pixel(2, 2)[1], present - 1 + 10);
    const Frame last = r->output();
    for (int n : {present, kFrames - 1}) {
        EXPECT_FALSE(r->readFrame(n)) << n;
        EXPECT_TRUE(r->lastError().contains("missing")) << r->lastError().toStdString();
    }
    EXPECT_EQ(r->output(), last);
}

TEST(BvfCut, DocumentRangeStopsAtTheCutAndDamagedRecordsShowBlack)
{
    QTemporaryDir dir;
    QByteArray bytes = Recording(10);
    auto probe = Open(bytes);
    const int64_t start = probe->framesStart();
    const int64_t stride = probe->frameStride();
    // Record 4 states another payload size; the file ends inside record 7.
    WriteLE<int32_t>(bytes.data() + start + 4 * stride + 8, 999);
    bytes.truncate(int(start + 7 * stride + 20));
    const QString path = WriteFile(dir, QStringLiteral("cut.bvf"), bytes);

    VideoDocument doc;
    QString error;
    ASSERT_TRUE(OpenRecordingFile(doc, path, &error)) << error.toStdString();
    EXPECT_EQ(doc.Info.FrameCount, 7);
    EXPECT_EQ(doc.Info.LastFrame, 6);
    EXPECT_FALSE(doc.Source()->openWarning().isEmpty());

    doc.LoadFrame(3);
    EXPECT_TRUE(doc.FrameReadError.isEmpty());
    EXPECT_EQ(doc.FrameBitmap.pixel(1, 1)[1], 13);
    doc.LoadFrame(4);
    EXPECT_TRUE(doc.FrameReadError.contains("damaged")) << doc.FrameReadError.toStdString();
    EXPECT_EQ(doc.FrameBitmap.pixel(1, 1)[1], 0);
    EXPECT_EQ(doc.DisplayBitmap.pixel(1, 1)[1], 0);
    doc.LoadFrame(5);
    EXPECT_TRUE(doc.FrameReadError.isEmpty());
    EXPECT_EQ(doc.FrameBitmap.pixel(1, 1)[1], 15);
}

TEST(BvfCut, CommandLineRefusesFramesPastTheCut)
{
    const QString cli = QStringLiteral(QOR_BINARY_DIR "/qorplayer-cli");
    if (!QFile::exists(cli))
        GTEST_SKIP() << "qorplayer-cli is not built";
    QTemporaryDir dir;
    QByteArray bytes = Recording();
    bytes.truncate(bytes.size() / 2);
    const QString path = WriteFile(dir, QStringLiteral("half.bvf"), bytes);
    const int present = int(Open(bytes)->recordsInFile());

    auto run = [&](const QStringList& args, QString* err) {
        QProcess p;
        p.start(cli, args);
        p.waitForFinished(60000);
        *err = QString::fromLocal8Bit(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };
    QString err;
    EXPECT_EQ(run({"info", path}, &err), 0);
    EXPECT_TRUE(err.contains(QStringLiteral("warning"))) << err.toStdString();
    EXPECT_TRUE(err.contains(QString::number(present))) << err.toStdString();

    const QString out = dir.filePath(QStringLiteral("f.png"));
    EXPECT_EQ(run({"frame", path, QString::number(present - 1), out}, &err), 0) << err.toStdString();
    EXPECT_TRUE(QFile::exists(out));
    QFile::remove(out);
    EXPECT_NE(run({"frame", path, "100", out}, &err), 0);
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_TRUE(err.contains(QStringLiteral("100"))) << err.toStdString();

    // A damaged record inside the file stops an export with its reason.
    QByteArray damaged = Recording(10);
    auto probe = Open(damaged);
    WriteLE<int32_t>(damaged.data() + probe->framesStart() + 4 * probe->frameStride() + 8, 999);
    const QString broken = WriteFile(dir, QStringLiteral("broken.bvf"), damaged);
    for (const char* format : {"bmp", "avi"}) {
        EXPECT_EQ(run({"export", broken, "--format", format, "--out", dir.filePath(QStringLiteral("x"))}, &err), 1)
            << format;
        EXPECT_TRUE(err.contains(QStringLiteral("damaged"))) << err.toStdString();
    }
    EXPECT_EQ(run({"frame", broken, "4", out}, &err), 1);
    EXPECT_TRUE(err.contains(QStringLiteral("damaged"))) << err.toStdString();
}

TEST(BvfCut, CommandLineRateRetimesAnAviWithoutTimeBase)
{
    const QString cli = QStringLiteral(QOR_BINARY_DIR "/qorplayer-cli");
    if (!QFile::exists(cli))
        GTEST_SKIP() << "qorplayer-cli is not built";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plain.avi"));
    {
        AviWriter writer;
        ASSERT_TRUE(writer.open(path, 16, 8, 25, AviCodec::Dib24, 0, {}));
        Frame frame(16, 8);
        for (int n = 0; n < 100; ++n)
            ASSERT_TRUE(writer.writeFrame(frame));
        ASSERT_TRUE(writer.close());
    }
    auto run = [&](const QStringList& args, QString* out) {
        QProcess p;
        p.start(cli, args);
        p.waitForFinished(60000);
        *out = QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };
    QString out;
    ASSERT_EQ(run({"info", path}, &out), 0) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("EndTime: 0.0990"))) << out.toStdString();
    ASSERT_EQ(run({"info", path, "--rate", "25"}, &out), 0) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("FrameRate: 25"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("EndTime: 3.9600"))) << out.toStdString();
    EXPECT_EQ(run({"info", path, "--rate", "0"}, &out), 2);
}

#include "AviTestSupport.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <cmath>
#include <cstring>
#include <cstdlib>
#include <limits>

Frame MakeTestFrame(int width, int height, int n)
{
    Frame frame(width, height);
    for (int y = 0; y < height; ++y) {
        uint8_t* p = frame.row(y);
        for (int x = 0; x < width; ++x, p += 3) {
            p[0] = uint8_t(40 + (x * 2 + n * 9) % 160);
            p[1] = uint8_t(30 + (y * 2 + n * 5) % 180);
            p[2] = uint8_t(20 + (x + y + n * 13) % 200);
        }
    }
    return frame;
}

double MeanAbsDiff(const Frame& a, const Frame& b)
{
    if (a.width() != b.width() || a.height() != b.height() || a.isEmpty())
        return 1e9;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uint8_t* p = a.row(y);
        const uint8_t* q = b.row(y);
        for (int i = 0; i < a.width() * 3; ++i)
            sum += std::abs(int(p[i]) - int(q[i]));
    }
    return sum / (double(a.width()) * a.height() * 3);
}

int ClosestTestFrame(const Frame& frame, int count)
{
    int best = -1;
    double bestDiff = std::numeric_limits<double>::max();
    for (int n = 0; n < count; ++n) {
        const double diff = MeanAbsDiff(frame, MakeTestFrame(frame.width(), frame.height(), n));
        if (diff < bestDiff) {
            bestDiff = diff;
            best = n;
        }
    }
    return best;
}

QByteArray RunTool(const QString& program, const QStringList& args, bool* ok)
{
    QProcess process;
    process.start(program, args);
    const bool finished = process.waitForFinished(60000);
    *ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return process.readAllStandardOutput();
}

bool HaveFfmpeg()
{
    return !QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty()
           && !QStandardPaths::findExecutable(QStringLiteral("ffprobe")).isEmpty();
}

bool WriteRawFrames(const QString& path, int width, int height, int count)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (int n = 0; n < count; ++n) {
        const Frame frame = MakeTestFrame(width, height, n);
        for (int y = 0; y < height; ++y)
            file.write(reinterpret_cast<const char*>(frame.row(y)), width * 3);
    }
    return true;
}

std::vector<Frame> DecodeWithFfmpeg(const QString& aviPath, int width, int height, bool* ok)
{
    const QByteArray raw = RunTool(QStringLiteral("ffmpeg"),
                                   {"-v", "error", "-i", aviPath, "-f", "rawvideo", "-pix_fmt", "bgr24", "-"}, ok);
    std::vector<Frame> frames;
    const qsizetype frameBytes = qsizetype(width) * height * 3;
    if (!*ok || frameBytes <= 0)
        return frames;
    for (qsizetype at = 0; at + frameBytes <= raw.size(); at += frameBytes) {
        Frame frame(width, height);
        for (int y = 0; y < height; ++y)
            std::memcpy(frame.row(y), raw.constData() + at + qsizetype(y) * width * 3, size_t(width) * 3);
        frames.push_back(std::move(frame));
    }
    if (raw.size() % frameBytes != 0)
        *ok = false;
    return frames;
}

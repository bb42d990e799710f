// Writes a handful of small, valid .svf files as a starting corpus for
// fuzz_svf: fuzz_svf_seeds OUTDIR.

#include "sources/svf/SvfFormat.h"

#include <QDir>
#include <QFile>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_svf_seeds OUTDIR\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(dir.path());
    int written = 0;
    for (int variant = 0; variant < 8; ++variant) {
        svf::Header h;
        h.modelName = QStringLiteral("Seed %1").arg(variant);
        h.width = 4 + 2 * variant;
        h.height = 4 + 2 * (variant / 2);
        h.startFrame = -variant;
        h.endFrame = 1 - variant;
        h.frameTotal = 2;
        h.recordRate = 100 * (variant + 1);
        h.shutter = 1000 + variant;
        h.bayerPattern = variant % 4;
        h.blackLevel = variant * 50;
        h.framesOffset = svf::kHeaderSize + 16 * (variant % 2);
        h.frameStride = svf::PackedFrameBytes(h.width, h.height) + 4 * (variant % 3);
        QByteArray bytes = svf::HeaderBytes(h);
        bytes.resize(qsizetype(h.framesOffset), '\0');
        const int64_t count = int64_t(h.width) * h.height;
        for (int k = 0; k < 2; ++k) {
            std::vector<uint16_t> samples(static_cast<size_t>(count));
            for (size_t i = 0; i < samples.size(); ++i)
                samples[i] = uint16_t((i * 977 + k * 311 + variant * 1013) & 0xFFF);
            std::vector<uint8_t> record(size_t(h.frameStride), 0);
            svf::PackSamples(samples.data(), count, record.data());
            bytes.append(reinterpret_cast<const char*>(record.data()), qsizetype(record.size()));
        }
        bytes.append(char(variant * 37)).append(char(variant * 91)).append(char(variant * 13));
        QFile f(dir.filePath(QStringLiteral("seed%1.svf").arg(variant)));
        if (f.open(QIODevice::WriteOnly) && f.write(bytes) > 0)
            ++written;
    }
    std::printf("%d seeds written\n", written);
    return written == 8 ? 0 : 1;
}

// Writes a handful of small, valid .bvf files as a starting corpus for
// fuzz_bvf: make_seeds OUTDIR.

#include "sources/bvf/BvfWriter.h"

#include <QDir>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds OUTDIR\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(dir.path());
    int written = 0;
    for (int variant = 0; variant < 8; ++variant) {
        bvf::RecordingLayout l;
        const int w = 6 + variant, h = 4 + variant / 2;
        l.model[0] = 'X';
        l.model[1] = 'S';
        l.sensor = QSize(w + 2, h + 2);
        l.window = QRect(1, 1, w, h);
        l.colour = variant % 2 == 1;
        l.startFrame = -variant;
        l.endFrame = 1 - variant;
        l.frameRate = 100 * (variant + 1);
        l.layoutKind = variant % 3 == 2 ? 4 : 0;
        l.settings.bayerPattern = variant % 4;
        l.settings.enhanceLevel = variant % 5;
        l.settings.gammaMode = variant % 3;
        l.settings.wbMode = variant % 6;
        l.settings.rotation = (variant % 4) * 90;
        l.settings.darkSwitch = variant % 2 ? 137 : 0;
        if (variant % 2)
            l.darkFrame.assign(size_t(w + 2) * size_t(h + 2), uint8_t(variant));
        l.unknownChunk = variant == 3;
        std::vector<std::vector<uint8_t>> frames(2);
        for (int k = 0; k < 2; ++k) {
            frames[k].resize(size_t(w) * size_t(h));
            for (size_t i = 0; i < frames[k].size(); ++i)
                frames[k][i] = uint8_t(i * 37 + k * 11 + variant);
        }
        QFile f(dir.filePath(QStringLiteral("seed%1.bvf").arg(variant)));
        if (f.open(QIODevice::WriteOnly) && f.write(bvf::RecordingBytes(l, frames)) > 0)
            ++written;
    }
    std::printf("%d seeds written\n", written);
    return written == 8 ? 0 : 1;
}

#include "sources/svf/SvfWriter.h"

#include <algorithm>
#include <cmath>

namespace svf {

QByteArray RecordingBytes(const Header& header, const std::vector<std::vector<uint16_t>>& frames)
{
    QByteArray out = HeaderBytes(header);
    const int64_t stride = header.frameStride > 0 ? header.frameStride : PackedFrameBytes(header.width, header.height);
    out.resize(qsizetype(header.framesOffset), '\0');
    const int64_t count = int64_t(header.width) * header.height;
    std::vector<uint8_t> record(size_t(stride), 0);
    for (const auto& f : frames) {
        std::fill(record.begin(), record.end(), 0);
        PackSamples(f.data(), std::min<int64_t>(count, int64_t(f.size())), record.data());
        out.append(reinterpret_cast<const char*>(record.data()), qsizetype(record.size()));
    }
    return out;
}

bool SvfWriter::open(const QString& path, const Header& header, QString* error)
{
    m_header = header;
    if (m_header.frameStride <= 0)
        m_header.frameStride = PackedFrameBytes(header.width, header.height);
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error)
            *error = QStringLiteral("Cannot create \"%1\": %2").arg(path, m_file.errorString());
        return false;
    }
    QByteArray head = HeaderBytes(m_header);
    head.resize(qsizetype(m_header.framesOffset), '\0');
    m_failed = m_file.write(head) != head.size();
    if (m_failed && error)
        *error = QStringLiteral("Cannot write \"%1\": %2").arg(path, m_file.errorString());
    m_record.assign(size_t(m_header.frameStride), 0);
    return !m_failed;
}

bool SvfWriter::writeFrame(const uint16_t* samples)
{
    if (!m_file.isOpen() || m_failed)
        return false;
    PackSamples(samples, int64_t(m_header.width) * m_header.height, m_record.data());
    if (m_file.write(reinterpret_cast<const char*>(m_record.data()), qint64(m_record.size())) != qint64(m_record.size()))
        m_failed = true;
    return !m_failed;
}

bool SvfWriter::close(QString* error)
{
    if (!m_file.isOpen())
        return !m_failed;
    m_file.close();
    if (m_failed || m_file.error() != QFileDevice::NoError) {
        if (error)
            *error = QStringLiteral("Writing \"%1\" failed: %2").arg(m_file.fileName(), m_file.errorString());
        return false;
    }
    return true;
}

void RenderSampleMosaic(int frameIndex, QSize size, bool colour, int pattern, std::vector<uint16_t>& samples)
{
    static const std::vector<uint16_t> linear = [] {
        // 0..255 in steps of 1/16, sRGB to linear light, 12 bits.
        std::vector<uint16_t> t(256 * 16 + 1);
        for (size_t i = 0; i < t.size(); ++i) {
            const double v = double(i) / (255.0 * 16.0);
            const double l = v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
            t[i] = uint16_t(std::lround(l * kMaxSample));
        }
        return t;
    }();
    std::vector<float> rgb;
    bvf::RenderSampleRgb(frameIndex, size, rgb);
    const int w = size.width();
    const int h = size.height();
    samples.resize(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const float* p = rgb.data() + size_t(y) * size_t(w) * 3;
        uint16_t* o = samples.data() + size_t(y) * size_t(w);
        for (int x = 0; x < w; ++x) {
            const float v = colour ? p[3 * x + int(SiteAt(pattern, x, y))]
                                   : 0.299f * p[3 * x] + 0.587f * p[3 * x + 1] + 0.114f * p[3 * x + 2];
            o[x] = linear[size_t(std::clamp(std::lround(v * 16.0f), 0L, 255L * 16))];
        }
    }
}

bool WriteSampleRecording(const QString& path, const bvf::SampleOptions& options, QString* error,
                          const std::function<void(int done, int total)>& progress)
{
    const QSize size = options.size;
    if (size.width() % 2 != 0 || size.height() % 2 != 0 || size.width() < 4 || size.height() < 4
        || size.width() > kMaxSide || size.height() > kMaxSide) {
        if (error)
            *error = QStringLiteral("A Stravo recording needs even sides from 4 to %1 pixels (not %2 x %3).")
                         .arg(kMaxSide).arg(size.width()).arg(size.height());
        return false;
    }
    Header header;
    header.modelName = QStringLiteral("Stravo SV-%1%2").arg(size.width()).arg(options.colour ? "C" : "M");
    header.startFrame = options.firstFrame;
    header.endFrame = int32_t(int64_t(options.firstFrame) + options.frames - 1);
    header.frameTotal = options.frames;
    header.recordRate = options.fps;
    header.width = size.width();
    header.height = size.height();
    header.shutter = int32_t(std::min<int64_t>(int64_t(options.fps) * 2, INT32_MAX));
    header.bayerPattern = 0;

    SvfWriter writer;
    if (!writer.open(path, header, error))
        return false;
    std::vector<uint16_t> samples;
    for (int i = 0; i < options.frames; ++i) {
        if (progress)
            progress(i, options.frames);
        RenderSampleMosaic(i, size, options.colour, header.bayerPattern, samples);
        if (!writer.writeFrame(samples.data())) {
            writer.close();
            if (error)
                *error = QStringLiteral("Cannot write \"%1\".").arg(path);
            return false;
        }
    }
    if (progress)
        progress(options.frames, options.frames);
    return writer.close(error);
}

} // namespace svf

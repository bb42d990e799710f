#pragma once
// Small Stravo recordings built in memory, for the converter tests.

#include "sources/svf/SvfConverter.h"
#include "sources/svf/SvfWriter.h"

#include <QBuffer>
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

namespace svftest {

using Samples = std::vector<uint16_t>;

inline svf::Header SmallHeader(int w, int h, int frames = 1, int pattern = 0)
{
    svf::Header header;
    header.modelName = QStringLiteral("Test SV");
    header.startFrame = 10;
    header.endFrame = 10 + frames - 1;
    header.frameTotal = frames;
    header.recordRate = 2000;
    header.width = w;
    header.height = h;
    header.shutter = 4000;
    header.bayerPattern = pattern;
    return header;
}

inline Samples Random(int w, int h, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> d(0, svf::kMaxSample);
    Samples s(size_t(w) * size_t(h));
    for (auto& v : s)
        v = uint16_t(d(rng));
    return s;
}

inline Samples Constant(int w, int h, uint16_t v)
{
    return Samples(size_t(w) * size_t(h), v);
}

inline std::unique_ptr<QIODevice> Device(const QByteArray& bytes)
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    buffer->open(QIODevice::ReadOnly);
    return buffer;
}

// An open converter over a recording in memory (method B1 unless given).
inline std::unique_ptr<TFxSvffFc> Open(const svf::Header& header, const std::vector<Samples>& frames,
                                       int16_t method = TFxSvffFc::MethodB1)
{
    auto c = std::make_unique<TFxSvffFc>();
    c->SetConversionMethod(method);
    EXPECT_TRUE(c->OpenDevice(Device(svf::RecordingBytes(header, frames)))) << c->LastError().toStdString();
    return c;
}

// Converts the current frame and returns what the event delivered.
inline Frame ConvertNow(TFxSvffFc& c)
{
    Frame out;
    int events = 0;
    c.Converted = [&](Frame& f) { out = f; ++events; };
    EXPECT_TRUE(c.Convert());
    EXPECT_EQ(events, 1);
    c.Converted = nullptr;
    return out;
}

} // namespace svftest

#pragma once
// Small recordings built in memory with the writer, for the reader tests.

#include "sources/bvf/BvfReader.h"
#include "sources/bvf/BvfWriter.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace bvftest {

using Image = std::vector<uint8_t>;

// A w x h recording on a sensor of the same size, model code the reader does
// not know (so the sensor size comes from the description), no processing.
inline bvf::RecordingLayout Layout(int w, int h, bool colour = false, int frames = 1)
{
    bvf::RecordingLayout l;
    l.model[0] = 'X';
    l.model[1] = 'S';
    l.sensor = QSize(w, h);
    l.colour = colour;
    l.startFrame = 0;
    l.endFrame = frames - 1;
    l.frameRate = 500;
    l.settings = bvf::SettingsBlock{};
    return l;
}

inline Image Constant(int w, int h, uint8_t v)
{
    return Image(size_t(w) * size_t(h), v);
}

// Image whose sample at (x, y) is f(x, y).
template <typename F>
Image Make(int w, int h, F f)
{
    Image img(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img[size_t(y) * size_t(w) + size_t(x)] = uint8_t(f(x, y));
    return img;
}

inline std::unique_ptr<TBVSCFILECAM> Open(const QByteArray& bytes)
{
    QString error;
    auto r = TBVSCFILECAM::openBytes(bytes, &error);
    EXPECT_TRUE(r) << error.toStdString();
    return r;
}

inline std::unique_ptr<TBVSCFILECAM> Open(const bvf::RecordingLayout& l, const std::vector<Image>& frames)
{
    return Open(bvf::RecordingBytes(l, frames));
}

// Red, green, blue of output pixel (x, y).
inline std::array<int, 3> Rgb(const Frame& f, int x, int y)
{
    const uint8_t* p = f.pixel(x, y);
    return {p[2], p[1], p[0]};
}

} // namespace bvftest

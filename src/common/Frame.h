#pragma once
// A 24-bit frame: three bytes per pixel stored blue, green, red; row 0 at the
// top; every row padded to a multiple of four bytes (the DIB layout, which
// also lets QImage wrap the pixels without copying).

#include <QImage>
#include <cstdint>
#include <vector>

class Frame {
public:
    Frame() = default;
    Frame(int width, int height) { resize(width, height); }

    // Changes the size; the pixels are undefined afterwards unless the size
    // stays the same (then they are kept).
    void resize(int width, int height);
    void fill(uint8_t blue, uint8_t green, uint8_t red);
    void clear() { fill(0, 0, 0); }

    int width() const { return m_width; }
    int height() const { return m_height; }
    int stride() const { return m_stride; }
    bool isEmpty() const { return m_width <= 0 || m_height <= 0; }
    size_t byteCount() const { return m_pixels.size(); }

    uint8_t* row(int y) { return m_pixels.data() + size_t(y) * m_stride; }
    const uint8_t* row(int y) const { return m_pixels.data() + size_t(y) * m_stride; }
    uint8_t* bits() { return m_pixels.data(); }
    const uint8_t* bits() const { return m_pixels.data(); }

    uint8_t* pixel(int x, int y) { return row(y) + 3 * x; }
    const uint8_t* pixel(int x, int y) const { return row(y) + 3 * x; }

    // A QImage that shares this frame's pixels (Format_BGR888). It stays
    // valid while the frame is neither resized nor destroyed.
    QImage wrapAsImage();
    // A deep copy as QImage (Format_BGR888).
    QImage toImage() const;
    // Any QImage converted to a 24-bit frame.
    static Frame fromImage(const QImage& image);

    bool operator==(const Frame& other) const;
    bool operator!=(const Frame& other) const { return !(*this == other); }

    static int strideFor(int width) { return (width * 3 + 3) & ~3; }

private:
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
    std::vector<uint8_t> m_pixels;
};

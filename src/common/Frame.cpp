#include "common/Frame.h"

#include <algorithm>
#include <cstring>

void Frame::resize(int width, int height)
{
    if (width < 0 || height < 0)
        width = height = 0;
    if (width == m_width && height == m_height)
        return;
    m_width = width;
    m_height = height;
    m_stride = strideFor(width);
    m_pixels.assign(size_t(m_stride) * size_t(height), 0);
}

void Frame::fill(uint8_t blue, uint8_t green, uint8_t red)
{
    for (int y = 0; y < m_height; ++y) {
        uint8_t* p = row(y);
        for (int x = 0; x < m_width; ++x) {
            p[0] = blue;
            p[1] = green;
            p[2] = red;
            p += 3;
        }
    }
}

QImage Frame::wrapAsImage()
{
    if (isEmpty())
        return QImage();
    return QImage(m_pixels.data(), m_width, m_height, m_stride, QImage::Format_BGR888);
}

QImage Frame::toImage() const
{
    if (isEmpty())
        return QImage();
    return QImage(m_pixels.data(), m_width, m_height, m_stride, QImage::Format_BGR888).copy();
}

Frame Frame::fromImage(const QImage& image)
{
    Frame frame;
    if (image.isNull())
        return frame;
    const QImage bgr = image.format() == QImage::Format_BGR888
        ? image
        : image.convertToFormat(QImage::Format_BGR888);
    frame.resize(bgr.width(), bgr.height());
    const size_t rowBytes = size_t(bgr.width()) * 3;
    for (int y = 0; y < bgr.height(); ++y)
        std::memcpy(frame.row(y), bgr.constScanLine(y), rowBytes);
    return frame;
}

bool Frame::operator==(const Frame& other) const
{
    if (m_width != other.m_width || m_height != other.m_height)
        return false;
    const size_t rowBytes = size_t(m_width) * 3;
    for (int y = 0; y < m_height; ++y)
        if (std::memcmp(row(y), other.row(y), rowBytes) != 0)
            return false;
    return true;
}

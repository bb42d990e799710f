#pragma once
// Reads TIFF pages back through libtiff for the tests (Qt has no TIFF
// reader here).

#include "common/Frame.h"

#include <QFile>
#include <QImage>
#include <tiffio.h>
#include <algorithm>
#include <cstdlib>
#include <vector>

// Page `page` of a TIFF file, or a null image.
inline QImage ReadTiffPage(const QString& path, int page)
{
    TIFF* tiff = TIFFOpen(QFile::encodeName(path).constData(), "r");
    if (!tiff)
        return QImage();
    QImage image;
    if (TIFFSetDirectory(tiff, tdir_t(page))) {
        uint32_t w = 0, h = 0;
        TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &w);
        TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &h);
        std::vector<uint32_t> raster(size_t(w) * h);
        if (TIFFReadRGBAImageOriented(tiff, w, h, raster.data(), ORIENTATION_TOPLEFT, 0)) {
            image = QImage(int(w), int(h), QImage::Format_RGB32);
            for (uint32_t y = 0; y < h; ++y)
                for (uint32_t x = 0; x < w; ++x) {
                    const uint32_t v = raster[y * w + x];
                    image.setPixel(int(x), int(y), qRgb(TIFFGetR(v), TIFFGetG(v), TIFFGetB(v)));
                }
        }
    }
    TIFFClose(tiff);
    return image;
}

// Largest difference of any colour byte between an image and a frame
// (256 when the sizes differ or the image is missing).
inline int MaxDifference(const QImage& image, const Frame& frame)
{
    if (image.isNull() || image.width() != frame.width() || image.height() != frame.height())
        return 256;
    int worst = 0;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            const uint8_t* p = frame.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(c) - p[2]), std::abs(qGreen(c) - p[1]), std::abs(qBlue(c) - p[0])});
        }
    return worst;
}

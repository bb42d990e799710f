#include "export/ImageFileWriters.h"

#include "common/Frame.h"
#include "common/LittleEndian.h"
#include "export/RgbRows.h"

#include <QFile>
#include <tiffio.h>
#include <turbojpeg.h>
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

} // namespace

bool WriteWholeFile(const QString& fileName, const char* data, qsizetype size, QString* error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2").arg(fileName, file.errorString());
        return false;
    }
    if (file.write(data, size) != size || !file.flush()) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2").arg(fileName, file.errorString());
        file.close();
        file.remove();
        return false;
    }
    return true;
}

namespace {

void SetError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// libtiff reports through global handlers; keep the last message for ours.
thread_local QString g_tiffMessage;

void TiffErrorHandler(const char* module, const char* format, va_list args)
{
    char buffer[512];
    std::vsnprintf(buffer, sizeof buffer, format, args);
    g_tiffMessage = module ? QStringLiteral("%1: %2").arg(QString::fromLocal8Bit(module), QString::fromLocal8Bit(buffer))
                           : QString::fromLocal8Bit(buffer);
}

void InstallTiffHandlers()
{
    static const bool installed = [] {
        TIFFSetErrorHandler(TiffErrorHandler);
        TIFFSetWarningHandler(nullptr); // warnings are not failures; keep stderr quiet
        return true;
    }();
    (void)installed;
}

// Writes one RGB page into an open TIFF and finishes its directory.
bool WriteTiffPage(TIFF* tiff, const Frame& frame, QString* error, const QString& fileName)
{
    const int width = frame.width();
    const int height = frame.height();
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(height));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, uint16_t(3));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, uint16_t(8));
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, uint16_t(PHOTOMETRIC_RGB));
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, uint16_t(PLANARCONFIG_CONTIG));
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, uint16_t(COMPRESSION_NONE));
    TIFFSetField(tiff, TIFFTAG_ORIENTATION, uint16_t(ORIENTATION_TOPLEFT));
    // Strips of about 256 KB: few, large writes.
    const int rowsPerStrip = std::max(1, (256 * 1024) / std::max(1, width * 3));
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, uint32_t(rowsPerStrip));

    // Uncompressed strips go to the file as they are: each is converted
    // once into one buffer and written in one piece.
    const size_t rowBytes = size_t(width) * 3;
    std::vector<uint8_t> strip(rowBytes * size_t(std::min(rowsPerStrip, height)));
    for (int top = 0, index = 0; top < height; top += rowsPerStrip, ++index) {
        const int rows = std::min(rowsPerStrip, height - top);
        for (int y = 0; y < rows; ++y)
            BgrToRgb(frame.row(top + y), strip.data() + size_t(y) * rowBytes, width);
        if (TIFFWriteRawStrip(tiff, uint32_t(index), strip.data(), tmsize_t(rowBytes * size_t(rows))) < 0) {
            SetError(error, QStringLiteral("Cannot write %1: %2").arg(fileName, g_tiffMessage));
            return false;
        }
    }
    if (!TIFFWriteDirectory(tiff)) {
        SetError(error, QStringLiteral("Cannot write %1: %2").arg(fileName, g_tiffMessage));
        return false;
    }
    return true;
}

} // namespace

bool WriteBmp(const QString& fileName, const Frame& frame, QString* error)
{
    // The frame's rows are already DIB rows (blue, green, red, padded to four
    // bytes); a BMP only stores them from the bottom up.
    constexpr int headersSize = 14 + 40;
    const qsizetype imageSize = qsizetype(frame.stride()) * frame.height();
    QByteArray bytes(headersSize + imageSize, '\0');
    char* b = bytes.data();
    b[0] = 'B';
    b[1] = 'M';
    WriteLE<uint32_t>(b + 2, uint32_t(bytes.size()));
    WriteLE<uint32_t>(b + 10, headersSize);
    WriteLE<uint32_t>(b + 14, 40);
    WriteLE<int32_t>(b + 18, frame.width());
    WriteLE<int32_t>(b + 22, frame.height()); // positive: bottom-up
    WriteLE<uint16_t>(b + 26, 1);             // planes
    WriteLE<uint16_t>(b + 28, 24);            // bits per pixel
    WriteLE<uint32_t>(b + 30, 0);             // BI_RGB
    WriteLE<uint32_t>(b + 34, uint32_t(imageSize));
    char* rows = b + headersSize;
    for (int y = 0; y < frame.height(); ++y)
        std::memcpy(rows + qsizetype(frame.height() - 1 - y) * frame.stride(), frame.row(y), size_t(frame.stride()));
    return WriteWholeFile(fileName, bytes.constData(), bytes.size(), error);
}

bool WriteJpeg(const QString& fileName, const Frame& frame, int quality, QString* error)
{
    tjhandle compressor = tjInitCompress();
    if (!compressor) {
        SetError(error, QStringLiteral("Cannot start the JPEG encoder"));
        return false;
    }
    unsigned char* jpeg = nullptr;
    unsigned long jpegSize = 0;
    const int rc = tjCompress2(compressor, frame.bits(), frame.width(), frame.stride(), frame.height(), TJPF_BGR,
                               &jpeg, &jpegSize, TJSAMP_420, std::clamp(quality, 1, 100), 0);
    bool ok = false;
    if (rc != 0) {
        SetError(error, QStringLiteral("Cannot encode %1: %2").arg(fileName, QString::fromLocal8Bit(tjGetErrorStr2(compressor))));
    } else {
        ok = WriteWholeFile(fileName, reinterpret_cast<const char*>(jpeg), qsizetype(jpegSize), error);
    }
    tjFree(jpeg);
    tjDestroy(compressor);
    return ok;
}

bool WriteTiff(const QString& fileName, const Frame& frame, QString* error)
{
    MultiPageTiffWriter writer;
    if (!writer.open(fileName, error))
        return false;
    const bool ok = writer.appendPage(frame, error);
    writer.close();
    if (!ok)
        QFile::remove(fileName); // no half-written image left behind
    return ok;
}

struct MultiPageTiffWriter::Handle {
    TIFF* tiff = nullptr;
};

MultiPageTiffWriter::MultiPageTiffWriter() = default;

MultiPageTiffWriter::~MultiPageTiffWriter()
{
    close();
}

bool MultiPageTiffWriter::open(const QString& fileName, QString* error, bool bigTiff)
{
    close();
    InstallTiffHandlers();
    g_tiffMessage.clear();
    TIFF* tiff = TIFFOpen(QFile::encodeName(fileName).constData(), bigTiff ? "w8" : "w");
    if (!tiff) {
        SetError(error, QStringLiteral("Cannot create %1%2").arg(fileName, g_tiffMessage.isEmpty() ? QString() : QStringLiteral(": ") + g_tiffMessage));
        return false;
    }
    m_handle = std::make_unique<Handle>();
    m_handle->tiff = tiff;
    m_fileName = fileName;
    m_pages = 0;
    return true;
}

bool MultiPageTiffWriter::appendPage(const Frame& frame, QString* error)
{
    if (!m_handle) {
        SetError(error, QStringLiteral("No TIFF file is open"));
        return false;
    }
    g_tiffMessage.clear();
    if (!WriteTiffPage(m_handle->tiff, frame, error, m_fileName))
        return false;
    ++m_pages;
    return true;
}

void MultiPageTiffWriter::close()
{
    if (m_handle) {
        TIFFClose(m_handle->tiff);
        m_handle.reset();
    }
}

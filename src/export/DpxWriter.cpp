#include "export/DpxWriter.h"

#include "common/Frame.h"
#include "common/LittleEndian.h"
#include "export/ImageFileWriters.h"
#include "export/RgbRows.h"

#include <QFile>
#include <algorithm>
#include <cstring>

namespace {

// Fixed-width text; the rest of the field stays zero.
void PutText(char* base, int offset, int width, const QByteArray& text)
{
    std::memcpy(base + offset, text.constData(), size_t(std::min<qsizetype>(text.size(), width)));
}

// A length byte followed by the characters.
void PutCountedText(char* base, int offset, int maxChars, const QByteArray& text)
{
    const int length = int(std::min<qsizetype>(text.size(), maxChars));
    base[offset] = char(length);
    std::memcpy(base + offset + 1, text.constData(), size_t(length));
}

void FillImageElement(char* element, int descriptor, int rowPadding)
{
    WriteLE<uint32_t>(element, 0);               // unsigned data
    WriteLE<uint32_t>(element + 4, 0);           // reference low data code
    WriteLE<float>(element + 8, 0.0f);           // reference low quantity
    WriteLE<uint32_t>(element + 12, 255);        // reference high data code
    WriteLE<float>(element + 16, 255.0f);        // reference high quantity
    element[20] = char(descriptor); // 50: red, green, blue interleaved
    element[21] = 2;                // linear transfer
    element[22] = 0;                // user-defined colorimetry
    element[23] = 8;                // bits per sample
    WriteLE<uint16_t>(element + 24, 1);          // packing
    WriteLE<uint16_t>(element + 26, 0);          // no encoding
    WriteLE<uint32_t>(element + 28, uint32_t(Dpx::DataOffset));
    WriteLE<uint32_t>(element + 32, uint32_t(rowPadding));
    WriteLE<uint32_t>(element + 36, 0);          // end-of-image padding
    PutText(element, 40, 32, QByteArrayLiteral("RGB NuvIE"));
}

} // namespace

QByteArray BuildDpxFile(const Frame& frame, const QString& pathForHeader, const QDateTime& created)
{
    QByteArray file;
    BuildDpxFile(frame, pathForHeader, created, file);
    return file;
}

void BuildDpxFile(const Frame& frame, const QString& pathForHeader, const QDateTime& created, QByteArray& file)
{
    const int width = frame.width();
    const int height = frame.height();
    const int rowBytes = Dpx::RowBytes(width);
    const qsizetype dataSize = qsizetype(rowBytes) * height;
    file.resize(Dpx::DataOffset + dataSize);
    char* h = file.data();
    // Every byte the fields and pixels below leave alone is zero.
    std::memset(h, 0, size_t(Dpx::DataOffset));

    // File information header.
    WriteLE<uint32_t>(h, 0x53445058u);
    WriteLE<uint32_t>(h + 4, uint32_t(Dpx::DataOffset));
    PutText(h, 8, 8, QByteArrayLiteral("V1.0"));
    WriteLE<uint32_t>(h + 16, uint32_t(Dpx::DataOffset + dataSize));
    WriteLE<uint32_t>(h + 20, 0);
    WriteLE<uint32_t>(h + 24, uint32_t(Dpx::HeaderSize));
    WriteLE<uint32_t>(h + 28, 0);
    WriteLE<uint32_t>(h + 32, 0);
    PutCountedText(h, 36, 99, QFile::encodeName(pathForHeader));
    PutCountedText(h, 136, 23, created.toString(QStringLiteral("yyyy:MM:dd:HH:mm:ss")).toLatin1() + ":LTZ");
    PutText(h, 160, 100, QByteArrayLiteral("Qor Player"));
    PutText(h, 260, 200, QByteArrayLiteral("Stravo K4"));
    WriteLE<uint32_t>(h + 660, 0xFFFFFFFFu); // not encrypted

    // Image information header.
    WriteLE<uint16_t>(h + 768, 0); // left to right, top to bottom
    WriteLE<uint16_t>(h + 770, 1); // one image element
    WriteLE<uint32_t>(h + 772, uint32_t(width));
    WriteLE<uint32_t>(h + 776, uint32_t(height));
    FillImageElement(h + 780, 50, rowBytes - 3 * width);

    // Orientation header.
    WriteLE<float>(h + 1416, float(width) / 2.0f);
    WriteLE<float>(h + 1420, float(height) / 2.0f);
    WriteLE<uint32_t>(h + 1424, uint32_t(width));
    WriteLE<uint32_t>(h + 1428, uint32_t(height));
    WriteLE<uint32_t>(h + 1628, 1); // pixel aspect ratio 1:1
    WriteLE<uint32_t>(h + 1632, 1);

    // Pixels: the frame's blue, green, red rows become packed red, green, blue.
    for (int y = 0; y < height; ++y) {
        char* out = h + Dpx::DataOffset + qsizetype(y) * rowBytes;
        BgrToRgb(frame.row(y), reinterpret_cast<uint8_t*>(out), width);
        std::memset(out + 3 * width, 0, size_t(rowBytes - 3 * width));
    }
}

bool WriteDpx(const QString& fileName, const Frame& frame, QString* error)
{
    QByteArray scratch;
    return WriteDpx(fileName, frame, error, scratch);
}

bool WriteDpx(const QString& fileName, const Frame& frame, QString* error, QByteArray& scratch)
{
    BuildDpxFile(frame, fileName, QDateTime::currentDateTime(), scratch);
    return WriteWholeFile(fileName, scratch.constData(), scratch.size(), error);
}

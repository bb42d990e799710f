#include "export/DpxWriter.h"

#include "common/Frame.h"
#include "export/ImageFileWriters.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace {

void PutU32(char* base, int offset, uint32_t value) { qToLittleEndian<uint32_t>(value, base + offset); }
void PutU16(char* base, int offset, uint16_t value) { qToLittleEndian<uint16_t>(value, base + offset); }

void PutFloat(char* base, int offset, float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    PutU32(base, offset, bits);
}

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
    PutU32(element, 0, 0);          // unsigned data
    PutU32(element, 4, 0);          // reference low data code
    PutFloat(element, 8, 0.0f);     // reference low quantity
    PutU32(element, 12, 255);       // reference high data code
    PutFloat(element, 16, 255.0f);  // reference high quantity
    element[20] = char(descriptor); // 50: red, green, blue interleaved
    element[21] = 2;                // linear transfer
    element[22] = 0;                // user-defined colorimetry
    element[23] = 8;                // bits per sample
    PutU16(element, 24, 1);         // packing
    PutU16(element, 26, 0);         // no encoding
    PutU32(element, 28, uint32_t(Dpx::DataOffset));
    PutU32(element, 32, uint32_t(rowPadding));
    PutU32(element, 36, 0);         // end-of-image padding
    PutText(element, 40, 32, QByteArrayLiteral("RGB NuvIE"));
}

} // namespace

QByteArray BuildDpxFile(const Frame& frame, const QString& pathForHeader, const QDateTime& created)
{
    const int width = frame.width();
    const int height = frame.height();
    const int rowBytes = Dpx::RowBytes(width);
    const qsizetype dataSize = qsizetype(rowBytes) * height;
    QByteArray file(Dpx::DataOffset + dataSize, '\0');
    char* h = file.data();

    // File information header.
    PutU32(h, 0, 0x53445058u);
    PutU32(h, 4, uint32_t(Dpx::DataOffset));
    PutText(h, 8, 8, QByteArrayLiteral("V1.0"));
    PutU32(h, 16, uint32_t(Dpx::DataOffset + dataSize));
    PutU32(h, 20, 0);
    PutU32(h, 24, uint32_t(Dpx::HeaderSize));
    PutU32(h, 28, 0);
    PutU32(h, 32, 0);
    PutCountedText(h, 36, 99, QFile::encodeName(pathForHeader));
    PutCountedText(h, 136, 23, created.toString(QStringLiteral("yyyy:MM:dd:HH:mm:ss")).toLatin1() + ":LTZ");
    PutText(h, 160, 100, QByteArrayLiteral("Qor Player"));
    PutText(h, 260, 200, QByteArrayLiteral("Stravo K4"));
    PutU32(h, 660, 0xFFFFFFFFu); // not encrypted

    // Image information header.
    PutU16(h, 768, 0); // left to right, top to bottom
    PutU16(h, 770, 1); // one image element
    PutU32(h, 772, uint32_t(width));
    PutU32(h, 776, uint32_t(height));
    FillImageElement(h + 780, 50, rowBytes - 3 * width);

    // Orientation header.
    PutFloat(h, 1416, float(width) / 2.0f);
    PutFloat(h, 1420, float(height) / 2.0f);
    PutU32(h, 1424, uint32_t(width));
    PutU32(h, 1428, uint32_t(height));
    PutU32(h, 1628, 1); // pixel aspect ratio 1:1
    PutU32(h, 1632, 1);

    // Pixels: the frame's blue, green, red rows become packed red, green, blue.
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = frame.row(y);
        char* out = h + Dpx::DataOffset + qsizetype(y) * rowBytes;
        for (int x = 0; x < width; ++x, in += 3, out += 3) {
            out[0] = char(in[2]);
            out[1] = char(in[1]);
            out[2] = char(in[0]);
        }
    }
    return file;
}

bool WriteDpx(const QString& fileName, const Frame& frame, QString* error)
{
    const QByteArray bytes = BuildDpxFile(frame, fileName, QDateTime::currentDateTime());
    return WriteWholeFile(fileName, bytes.constData(), bytes.size(), error);
}

#pragma once
// DPX (SMPTE 268M, "V1.0") writer for rendered frames: a 1664-byte header,
// zero padding up to byte 8192, then 8-bit red, green, blue triples row by
// row from the top. Numbers are little-endian; the magic "XPDS" tells
// readers so.
//
// The pixels are described as one interleaved RGB image element (descriptor
// 50) and every row is padded to a 32-bit boundary, as the format requires:
// three single-colour elements pointing at the same interleaved block, or
// unpadded rows, make ImageMagick and FFmpeg read wrong colours or nothing.

#include <QByteArray>
#include <QDateTime>
#include <QString>

class Frame;

namespace Dpx {
constexpr int DataOffset = 8192;
constexpr int HeaderSize = 1664;
// Bytes per pixel row in the file: 3 per pixel, padded to 4.
inline int RowBytes(int width) { return (width * 3 + 3) & ~3; }
}

// The whole file in memory. `pathForHeader` goes into the header's file-name
// field (cut to 99 bytes); `created` into its creation time.
QByteArray BuildDpxFile(const Frame& frame, const QString& pathForHeader, const QDateTime& created);
// The same into `file`, reusing its memory (a sequence of frames of one size
// then allocates nothing per frame).
void BuildDpxFile(const Frame& frame, const QString& pathForHeader, const QDateTime& created, QByteArray& file);

// Writes `frame` to `fileName`, replacing an existing file. Returns false
// with a message in *error on failure.
bool WriteDpx(const QString& fileName, const Frame& frame, QString* error);
// The same, building the file in `scratch`.
bool WriteDpx(const QString& fileName, const Frame& frame, QString* error, QByteArray& scratch);

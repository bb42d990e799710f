#pragma once
// Finds the "rinf" information chunk (a RecordingInfo record, 8378 bytes)
// that our exported AVI files carry at file level. A small RIFF walk of our
// own: FFmpeg does not expose unknown file-level chunks.
//
// The walk visits every top-level RIFF form ("AVI " and OpenDML "AVIX") and
// the LIST chunks inside them except "movi" (frame data), checks every size
// against its parent and the file, and stops after a fixed number of chunks,
// so a hostile file can neither make it read outside the file nor loop.

#include <QByteArray>
#include <QString>
#include <optional>

class QIODevice;

// The first RecordingInfo::Size bytes of the first "rinf" chunk, or nothing
// when the file has none (or the chunk is shorter than a record).
std::optional<QByteArray> ReadAviInfoChunk(QIODevice& device);
std::optional<QByteArray> ReadAviInfoChunk(const QString& path);

// libFuzzer target: the RIFF walk that looks for the "rinf" information chunk
// (top-level "AVI " and "AVIX" forms, nested LIST chunks, sizes checked
// against parents and the file). The input is a whole file.

#include "document/RecordingInfo.h"
#include "sources/avi/AviInfoChunk.h"

#include <QBuffer>
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return 0;
    const std::optional<QByteArray> chunk = ReadAviInfoChunk(buffer);
    // A found record is always exactly one record taken from the file.
    if (chunk && (chunk->size() != RecordingInfo::Size || !bytes.contains(*chunk)))
        std::abort();
    return 0;
}

#include "sources/avi/AviInfoChunk.h"

#include "common/LittleEndian.h"
#include "document/RecordingInfo.h"

#include <QFile>
#include <cstring>

namespace {

// Enough for any real AVI header area; bounds the work on hostile files.
constexpr int MaxChunksVisited = 100000;
constexpr int MaxListDepth = 4;

struct Walk {
    QIODevice& device;
    qint64 fileSize;
    int visited = 0;
    std::optional<QByteArray> found;
};

bool readHeader(QIODevice& device, qint64 pos, char id[4], uint32_t& size)
{
    char header[8];
    if (!device.seek(pos) || device.read(header, 8) != 8)
        return false;
    std::memcpy(id, header, 4);
    size = ReadLE<uint32_t>(header + 4);
    return true;
}

bool readFourCC(QIODevice& device, qint64 pos, char id[4])
{
    return device.seek(pos) && device.read(id, 4) == 4;
}

// Visits the chunks between `begin` and `end` (both inside the file).
void walkChunks(Walk& walk, qint64 begin, qint64 end, int depth)
{
    qint64 pos = begin;
    while (!walk.found && pos + 8 <= end && walk.visited < MaxChunksVisited) {
        ++walk.visited;
        char id[4];
        uint32_t size = 0;
        if (!readHeader(walk.device, pos, id, size))
            return;
        const qint64 dataStart = pos + 8;
        // A size running past its parent (truncated file) is cut to what is there.
        const qint64 dataEnd = std::min<qint64>(dataStart + qint64(size), end);

        if (std::memcmp(id, "rinf", 4) == 0) {
            if (dataEnd - dataStart >= RecordingInfo::Size && walk.device.seek(dataStart)) {
                QByteArray bytes = walk.device.read(RecordingInfo::Size);
                if (bytes.size() == RecordingInfo::Size)
                    walk.found = bytes;
            }
            return;
        }
        const bool isList = std::memcmp(id, "LIST", 4) == 0 || std::memcmp(id, "RIFF", 4) == 0;
        if (isList && depth < MaxListDepth && dataEnd - dataStart >= 4) {
            char form[4];
            if (!readFourCC(walk.device, dataStart, form))
                return;
            // Frame data holds no file-level chunks; skipping it keeps the walk short.
            if (std::memcmp(form, "movi", 4) != 0)
                walkChunks(walk, dataStart + 4, dataEnd, depth + 1);
        }
        // Chunks are padded to an even size. The step is always >= 8.
        pos = dataStart + qint64(size) + (size & 1);
    }
}

} // namespace

std::optional<QByteArray> ReadAviInfoChunk(QIODevice& device)
{
    if (!device.isOpen() || device.isSequential())
        return std::nullopt;
    Walk walk{device, device.size(), 0, std::nullopt};
    // Top level: a sequence of RIFF forms ("AVI ", then "AVIX" ...).
    qint64 pos = 0;
    while (!walk.found && pos + 12 <= walk.fileSize && walk.visited < MaxChunksVisited) {
        ++walk.visited;
        char id[4];
        uint32_t size = 0;
        if (!readHeader(device, pos, id, size) || std::memcmp(id, "RIFF", 4) != 0)
            break;
        char form[4];
        if (!readFourCC(device, pos + 8, form))
            break;
        if (std::memcmp(form, "AVI ", 4) != 0 && std::memcmp(form, "AVIX", 4) != 0)
            break;
        const qint64 end = std::min<qint64>(pos + 8 + qint64(size), walk.fileSize);
        walkChunks(walk, pos + 12, end, 1);
        pos = pos + 8 + qint64(size) + (size & 1);
    }
    return walk.found;
}

std::optional<QByteArray> ReadAviInfoChunk(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return ReadAviInfoChunk(file);
}

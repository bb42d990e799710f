#include "sources/avi/AviWriter.h"

#include "sources/avi/AviErrors.h"

#include "common/LittleEndian.h"

#include <QFile>
#include <turbojpeg.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr uint32_t SuggestedBufferSize = 3932160;
constexpr uint32_t AviIndexKeyFrame = 0x10;     // AVIIF_KEYFRAME
constexpr uint32_t AviFlagHasIndex = 0x10;      // AVIF_HASINDEX
constexpr uint32_t AviFlagIsInterleaved = 0x100; // AVIF_ISINTERLEAVED
// Entries reserved in the super index: 256 RIFF forms of 1 GB each.
constexpr int SuperIndexEntries = 256;
constexpr int SuperIndexChunkSize = 24 + 16 * SuperIndexEntries;
constexpr int DmlhChunkSize = 248;
constexpr int StreamNameSize = 64;
constexpr int GreyPaletteEntries = 255;

// Little-endian appends to a byte buffer.
struct Bytes {
    QByteArray data;
    void fourcc(const char* id) { data.append(id, 4); }
    void u8(uint8_t v) { data.append(char(v)); }
    void u16(uint16_t v) { AppendLE<uint16_t>(data, v); }
    void u32(uint32_t v) { AppendLE<uint32_t>(data, v); }
    void u64(uint64_t v) { AppendLE<uint64_t>(data, v); }
    void zeros(int n) { data.append(n, '\0'); }
    int size() const { return int(data.size()); }
    // Starts a chunk; returns where its size goes, for endChunk().
    int beginChunk(const char* id) { fourcc(id); u32(0); return size() - 4; }
    int beginList(const char* id, const char* form) { int at = beginChunk(id); fourcc(form); return at; }
    void endChunk(int sizeAt)
    {
        const uint32_t n = uint32_t(size() - sizeAt - 4);
        WriteLE<uint32_t>(data.data() + sizeAt, n);
        if (n & 1)
            u8(0);
    }
};

// The system's text for the last failed call ("No space left on device").
QString OsReason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

struct FrameEntry {
    uint64_t chunkPos;   // absolute position of the chunk header
    uint32_t size;       // bytes of frame data
};

struct SuperIndexEntry {
    uint64_t ixPos;
    uint32_t ixSize;
    uint32_t frames;
};

} // namespace

struct AviWriter::Impl {
    int64_t riffLimit;

    std::FILE* file = nullptr;
    QString path;
    int width = 0;
    int height = 0;
    int fps = 0;
    AviCodec codec = AviCodec::Dib24;
    int quality = 90;
    QByteArray rinf;
    char chunkId[4] = {'0', '0', 'd', 'b'};
    uint32_t imageBytes = 0;     // bytes of one uncompressed frame
    int greyStride = 0;

    uint64_t pos = 0;            // current end of the file
    int headerSize = 0;          // bytes before the first "LIST movi"
    uint64_t riffStart = 0;      // position of the current "RIFF"
    uint64_t moviListStart = 0;  // position of the current "LIST movi"
    std::vector<FrameEntry> riffFrames;   // frames of the current RIFF form
    std::vector<FrameEntry> firstRiffFrames;
    std::vector<SuperIndexEntry> superIndex;
    uint32_t firstRiffSize = 0;
    uint32_t maxChunkSize = 0;
    int totalFrames = 0;
    int riffs = 0;

    std::unique_ptr<AviFrameEncoder> encoder;  // for writeFrame()

    QString error;
    uint32_t errorCode = 0;

    explicit Impl(int64_t limit) : riffLimit(limit) {}

    bool fail(uint32_t code, const QString& text)
    {
        errorCode = code;
        error = text;
        return false;
    }

    bool writeRaw(const void* bytes, size_t n)
    {
        if (n && std::fwrite(bytes, 1, n, file) != n) {
            // Back to the end of the last complete chunk, so close() can
            // still index what was written.
            const QString reason = OsReason();
            fseeko(file, off_t(pos), SEEK_SET);
            return fail(AviError::FileWrite, QStringLiteral("Cannot write to %1: %2").arg(path, reason));
        }
        pos += n;
        return true;
    }
    bool writeBytes(const Bytes& b) { return writeRaw(b.data.constData(), size_t(b.data.size())); }

    bool patch32(uint64_t at, uint32_t value)
    {
        char b[4];
        WriteLE<uint32_t>(b, value);
        if (fseeko(file, off_t(at), SEEK_SET) != 0 || std::fwrite(b, 1, 4, file) != 4
            || fseeko(file, off_t(pos), SEEK_SET) != 0)
            return fail(AviError::FileWrite, QStringLiteral("Cannot write to %1: %2").arg(path, OsReason()));
        return true;
    }

    QByteArray buildHeader() const;
    bool beginRiff();
    bool finishRiff();
    bool writeChunk(const uint8_t* data, uint32_t size);
    AviFrameEncoder* frameEncoder();
};

// Everything before the first "LIST movi". Its size never changes, so close()
// can write it again over the first version with the final counts.
QByteArray AviWriter::Impl::buildHeader() const
{
    const bool grey = codec == AviCodec::Grey8;
    Bytes b;
    b.fourcc("RIFF");
    b.u32(firstRiffSize);
    b.fourcc("AVI ");

    const int hdrl = b.beginList("LIST", "hdrl");
    const int avih = b.beginChunk("avih");
    b.u32(uint32_t(1000000 / fps));                       // microseconds per frame
    b.u32(uint32_t(std::min<uint64_t>(uint64_t(maxChunkSize) * fps, UINT32_MAX)));
    b.u32(0);                                              // padding granularity
    b.u32(AviFlagHasIndex | AviFlagIsInterleaved);
    b.u32(uint32_t(firstRiffFrames.size()));               // frames of the first RIFF
    b.u32(0);                                              // initial frames
    b.u32(1);                                              // streams
    b.u32(SuggestedBufferSize);
    b.u32(uint32_t(width));
    b.u32(uint32_t(height));
    b.zeros(16);
    b.endChunk(avih);

    const int strl = b.beginList("LIST", "strl");
    const int strh = b.beginChunk("strh");
    b.fourcc("vids");
    b.fourcc(codec == AviCodec::Mjpeg ? "MJPG" : "DIB ");
    b.u32(0);                                              // flags
    b.u16(0);                                              // priority
    b.u16(0);                                              // language
    b.u32(0);                                              // initial frames
    b.u32(1);                                              // scale
    b.u32(uint32_t(fps));                                  // rate
    b.u32(0);                                              // start
    b.u32(uint32_t(totalFrames));                          // length
    b.u32(SuggestedBufferSize);
    b.u32(0);                                              // quality
    b.u32(0);                                              // sample size
    b.u16(0);                                              // frame rectangle
    b.u16(0);
    b.u16(uint16_t(width));
    b.u16(uint16_t(height));
    b.endChunk(strh);

    const int strf = b.beginChunk("strf");
    b.u32(40);                                             // BITMAPINFOHEADER
    b.u32(uint32_t(width));
    b.u32(uint32_t(height));                               // positive: bottom-up rows
    b.u16(1);
    b.u16(grey ? 8 : 24);
    if (codec == AviCodec::Mjpeg)
        b.fourcc("MJPG");
    else
        b.u32(0);                                          // BI_RGB
    b.u32(imageBytes);
    b.u32(0);
    b.u32(0);
    b.u32(grey ? GreyPaletteEntries : 0);                  // colours used
    b.u32(grey ? GreyPaletteEntries : 0);                  // colours important
    if (grey) {
        for (int i = 0; i < GreyPaletteEntries; ++i) {
            b.u8(uint8_t(i));
            b.u8(uint8_t(i));
            b.u8(uint8_t(i));
            b.u8(0);
        }
    }
    b.endChunk(strf);

    const int strn = b.beginChunk("strn");
    const char name[] = "LUMETR0 09 \r";
    b.data.append(name, 12);
    b.zeros(StreamNameSize - 12);
    b.endChunk(strn);

    // OpenDML super index: one entry per RIFF form, pointing at its ix00.
    const int indx = b.beginChunk("indx");
    b.u16(4);                                              // longs per entry
    b.u8(0);                                               // sub type
    b.u8(0);                                               // AVI_INDEX_OF_INDEXES
    b.u32(uint32_t(superIndex.size()));
    b.fourcc(chunkId);
    b.zeros(12);
    for (const SuperIndexEntry& e : superIndex) {
        b.u64(e.ixPos);
        b.u32(e.ixSize);
        b.u32(e.frames);
    }
    b.zeros(16 * (SuperIndexEntries - int(superIndex.size())));
    b.endChunk(indx);
    b.endChunk(strl);

    const int odml = b.beginList("LIST", "odml");
    const int dmlh = b.beginChunk("dmlh");
    b.u32(uint32_t(totalFrames));
    b.zeros(DmlhChunkSize - 4);
    b.endChunk(dmlh);
    b.endChunk(odml);
    b.endChunk(hdrl);

    if (!rinf.isEmpty()) {
        const int chunk = b.beginChunk("rinf");
        b.data.append(rinf);
        b.endChunk(chunk);
    }
    return b.data;
}

bool AviWriter::Impl::beginRiff()
{
    riffStart = pos;
    Bytes b;
    if (riffs > 0) {
        b.fourcc("RIFF");
        b.u32(0);                                          // patched by finishRiff()
        b.fourcc("AVIX");
    }
    moviListStart = pos + uint64_t(b.size());
    b.fourcc("LIST");
    b.u32(0);
    b.fourcc("movi");
    ++riffs;
    riffFrames.clear();
    return writeBytes(b);
}

// Closes the current RIFF form: its standard index "ix00" (inside movi), the
// movi size, for the first form the legacy "idx1", and the RIFF size.
bool AviWriter::Impl::finishRiff()
{
    const uint64_t moviBase = moviListStart + 8;   // the "movi" fourcc
    if (!riffFrames.empty()) {
        Bytes ix;
        const int at = ix.beginChunk("ix00");
        ix.u16(2);                                         // longs per entry
        ix.u8(0);                                          // frame index
        ix.u8(1);                                          // AVI_INDEX_OF_CHUNKS
        ix.u32(uint32_t(riffFrames.size()));
        ix.fourcc(chunkId);
        ix.u64(moviBase);
        ix.u32(0);
        for (const FrameEntry& e : riffFrames) {
            ix.u32(uint32_t(e.chunkPos + 8 - moviBase));   // offset of the data
            ix.u32(e.size);                                // high bit clear: key frame
        }
        ix.endChunk(at);
        if (superIndex.size() >= size_t(SuperIndexEntries))
            return fail(AviError::BadSize, QStringLiteral("The AVI file is too large"));
        superIndex.push_back({pos, uint32_t(ix.size()), uint32_t(riffFrames.size())});
        if (!writeBytes(ix))
            return false;
    }
    if (!patch32(moviListStart + 4, uint32_t(pos - moviListStart - 8)))
        return false;

    if (riffs == 1) {
        Bytes idx1;
        const int at = idx1.beginChunk("idx1");
        for (const FrameEntry& e : riffFrames) {
            idx1.fourcc(chunkId);
            idx1.u32(AviIndexKeyFrame);
            idx1.u32(uint32_t(e.chunkPos - moviBase));     // chunk header, from "movi"
            idx1.u32(e.size);
        }
        idx1.endChunk(at);
        if (!writeBytes(idx1))
            return false;
        firstRiffFrames = riffFrames;
        firstRiffSize = uint32_t(pos - 8);
        return true;
    }
    return patch32(riffStart + 4, uint32_t(pos - riffStart - 8));
}

bool AviWriter::Impl::writeChunk(const uint8_t* data, uint32_t size)
{
    const uint64_t padded = size + (size & 1);
    // Bytes this RIFF would have after the frame, with its indexes.
    const uint64_t n = riffFrames.size() + 1;
    uint64_t projected = pos + 8 + padded - riffStart + 32 + 8 * n;
    if (riffs == 1)
        projected += 8 + 16 * n;
    if (!riffFrames.empty() && projected > uint64_t(riffLimit)) {
        if (superIndex.size() + 1 >= size_t(SuperIndexEntries))
            return fail(AviError::BadSize, QStringLiteral("The AVI file is too large"));
        if (!finishRiff() || !beginRiff())
            return false;
    }
    char header[8];
    std::memcpy(header, chunkId, 4);
    WriteLE<uint32_t>(header + 4, size);
    const uint64_t chunkPos = pos;
    if (!writeRaw(header, 8) || !writeRaw(data, size))
        return false;
    if (size & 1) {
        const char zero = 0;
        if (!writeRaw(&zero, 1))
            return false;
    }
    riffFrames.push_back({chunkPos, size});
    maxChunkSize = std::max(maxChunkSize, size);
    ++totalFrames;
    return true;
}

AviFrameEncoder::AviFrameEncoder(int width, int height, AviCodec codec, int quality)
    : m_width(width), m_height(height), m_codec(codec), m_quality(std::clamp(quality, 1, 100)),
      m_greyStride((width + 3) & ~3)
{
    if (codec == AviCodec::Mjpeg) {
        m_jpeg = tjInitCompress();
        m_buffer.resize(tjBufSize(width, height, TJSAMP_420));
    } else if (codec == AviCodec::Grey8) {
        m_buffer.resize(size_t(m_greyStride) * size_t(height));
    } else {
        m_buffer.resize(size_t(Frame::strideFor(width)) * size_t(height));
    }
}

AviFrameEncoder::~AviFrameEncoder()
{
    if (m_jpeg)
        tjDestroy(m_jpeg);
}

bool AviFrameEncoder::fail(uint32_t code, const QString& text)
{
    m_errorCode = code;
    m_error = text;
    return false;
}

bool AviFrameEncoder::encode(const Frame& frame)
{
    if (frame.width() != m_width || frame.height() != m_height)
        return fail(AviError::BadFormat,
                    QStringLiteral("Frame size %1 x %2 differs from the file's %3 x %4")
                        .arg(frame.width()).arg(frame.height()).arg(m_width).arg(m_height));
    switch (m_codec) {
    case AviCodec::Dib24: {
        // DIB rows run bottom-up; both layouts pad rows to four bytes.
        const size_t stride = size_t(frame.stride());
        uint8_t* out = m_buffer.data();
        for (int y = m_height - 1; y >= 0; --y, out += stride)
            std::memcpy(out, frame.row(y), stride);
        m_out = m_buffer.data();
        m_size = uint32_t(stride * size_t(m_height));
        return true;
    }
    case AviCodec::Grey8: {
        uint8_t* out = m_buffer.data();
        for (int y = m_height - 1; y >= 0; --y, out += m_greyStride) {
            const uint8_t* in = frame.row(y) + 1;   // green byte
            for (int x = 0; x < m_width; ++x)
                out[x] = std::min<uint8_t>(in[3 * x], 254);
            std::fill(out + m_width, out + m_greyStride, uint8_t(0));
        }
        m_out = m_buffer.data();
        m_size = uint32_t(m_buffer.size());
        return true;
    }
    case AviCodec::Mjpeg: {
        if (!m_jpeg)
            return fail(AviError::NoCompressor, QStringLiteral("Cannot start the JPEG compressor"));
        unsigned char* jpegData = m_buffer.data();
        unsigned long jpegSize = m_buffer.size();
        if (tjCompress2(m_jpeg, frame.bits(), m_width, frame.stride(), m_height, TJPF_BGR,
                        &jpegData, &jpegSize, TJSAMP_420, m_quality, TJFLAG_NOREALLOC | TJFLAG_FASTDCT) != 0)
            return fail(AviError::CantCompress,
                        QStringLiteral("JPEG compression failed: %1").arg(QString::fromLocal8Bit(tjGetErrorStr2(m_jpeg))));
        m_out = jpegData;
        m_size = uint32_t(jpegSize);
        return true;
    }
    }
    return false;
}

bool AviFrameEncoder::encodeGrey(const uint8_t* pixels, int stride)
{
    if (m_codec != AviCodec::Grey8 || !pixels || stride < m_width)
        return fail(AviError::BadParam, QStringLiteral("Not an 8-bit grey AVI frame"));
    uint8_t* out = m_buffer.data();
    for (int y = m_height - 1; y >= 0; --y, out += m_greyStride) {
        const uint8_t* in = pixels + size_t(y) * size_t(stride);
        for (int x = 0; x < m_width; ++x)
            out[x] = std::min<uint8_t>(in[x], 254);   // 255 lies outside the palette
        std::fill(out + m_width, out + m_greyStride, uint8_t(0));
    }
    m_out = m_buffer.data();
    m_size = uint32_t(m_buffer.size());
    return true;
}

AviWriter::AviWriter(int64_t riffLimit) : d(std::make_unique<Impl>(riffLimit)) {}

AviWriter::~AviWriter()
{
    close();
}

bool AviWriter::open(const QString& path, int width, int height, int framesPerSecond,
                     AviCodec codec, int quality, const QByteArray& rinfChunk, QString* error)
{
    close();
    Impl& s = *d;
    s.error.clear();
    s.errorCode = 0;
    auto failOpen = [&](uint32_t code, const QString& text) {
        s.fail(code, text);
        if (error)
            *error = text;
        return false;
    };
    // Frame rectangle fields are 16-bit; the limit also keeps frame sizes in 32 bits.
    if (width <= 0 || height <= 0 || width > 32767 || height > 32767)
        return failOpen(AviError::BadFormat, QStringLiteral("Invalid frame size %1 x %2").arg(width).arg(height));
    if (framesPerSecond <= 0)
        return failOpen(AviError::BadParam, QStringLiteral("Invalid frame rate %1").arg(framesPerSecond));

    s.path = path;
    s.width = width;
    s.height = height;
    s.fps = framesPerSecond;
    s.codec = codec;
    s.quality = std::clamp(quality, 1, 100);
    s.rinf = rinfChunk;
    s.greyStride = (width + 3) & ~3;
    s.imageBytes = codec == AviCodec::Grey8 ? uint32_t(s.greyStride) * uint32_t(height)
                                            : uint32_t(Frame::strideFor(width)) * uint32_t(height);
    std::memcpy(s.chunkId, codec == AviCodec::Mjpeg ? "00dc" : "00db", 4);
    s.pos = 0;
    s.riffs = 0;
    s.totalFrames = 0;
    s.maxChunkSize = 0;
    s.firstRiffSize = 0;
    s.riffFrames.clear();
    s.firstRiffFrames.clear();
    s.superIndex.clear();

    // Made when writeFrame() first needs it (exporters that encode on
    // threads of their own never do); a compressor that cannot start fails
    // the open, not the first frame.
    s.encoder.reset();
    if (codec == AviCodec::Mjpeg && !s.frameEncoder()->ready())
        return failOpen(AviError::NoCompressor, QStringLiteral("Cannot start the JPEG compressor"));

    s.file = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!s.file)
        return failOpen(AviError::FileOpen, QStringLiteral("Cannot create %1: %2").arg(path, OsReason()));
    std::setvbuf(s.file, nullptr, _IOFBF, 1 << 20);

    const QByteArray header = s.buildHeader();
    s.headerSize = int(header.size());
    if (!s.writeRaw(header.constData(), size_t(header.size())) || !s.beginRiff()) {
        const QString text = s.error;
        std::fclose(s.file);
        s.file = nullptr;
        return failOpen(s.errorCode, text);
    }
    return true;
}

AviFrameEncoder* AviWriter::Impl::frameEncoder()
{
    if (!encoder)
        encoder = std::make_unique<AviFrameEncoder>(width, height, codec, quality);
    return encoder.get();
}

bool AviWriter::writeFrame(const Frame& frame)
{
    Impl& s = *d;
    if (!s.file)
        return s.fail(AviError::BadHandle, QStringLiteral("The AVI file is not open"));
    AviFrameEncoder* encoder = s.frameEncoder();
    if (!encoder->encode(frame))
        return s.fail(encoder->errorCode(), encoder->error());
    return s.writeChunk(encoder->data(), encoder->size());
}

bool AviWriter::writeGreyFrame(const uint8_t* pixels, int stride)
{
    Impl& s = *d;
    if (!s.file)
        return s.fail(AviError::BadHandle, QStringLiteral("The AVI file is not open"));
    AviFrameEncoder* encoder = s.frameEncoder();
    if (!encoder->encodeGrey(pixels, stride))
        return s.fail(encoder->errorCode(), encoder->error());
    return s.writeChunk(encoder->data(), encoder->size());
}

bool AviWriter::writeEncodedFrame(const uint8_t* data, uint32_t size)
{
    Impl& s = *d;
    if (!s.file)
        return s.fail(AviError::BadHandle, QStringLiteral("The AVI file is not open"));
    if (!data)
        return s.fail(AviError::BadParam, QStringLiteral("No frame data"));
    return s.writeChunk(data, size);
}

bool AviWriter::close()
{
    Impl& s = *d;
    if (!s.file)
        return true;
    // Keep the first failure's text; a failed write leaves the chunks written
    // so far, and closing still indexes them.
    const QString earlierError = s.error;
    const uint32_t earlierCode = s.errorCode;
    bool ok = s.finishRiff();
    if (ok) {
        const QByteArray header = s.buildHeader();
        ok = header.size() == s.headerSize && fseeko(s.file, 0, SEEK_SET) == 0
             && std::fwrite(header.constData(), 1, size_t(header.size()), s.file) == size_t(header.size());
        if (!ok)
            s.fail(AviError::FileWrite, QStringLiteral("Cannot write to %1: %2").arg(s.path, OsReason()));
    }
    if (std::fclose(s.file) != 0 && ok)
        ok = s.fail(AviError::FileWrite, QStringLiteral("Cannot write to %1: %2").arg(s.path, OsReason()));
    s.file = nullptr;
    if (!earlierError.isEmpty()) {
        s.error = earlierError;
        s.errorCode = earlierCode;
    }
    return ok;
}

bool AviWriter::isOpen() const { return d->file != nullptr; }
int AviWriter::framesWritten() const { return d->totalFrames; }
int AviWriter::riffCount() const { return d->riffs; }
QString AviWriter::lastError() const { return d->error; }
uint32_t AviWriter::lastErrorCode() const { return d->errorCode; }

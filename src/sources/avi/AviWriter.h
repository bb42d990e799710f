#pragma once
// AviWriter: writes exported frame ranges as AVI files, frame by frame, with
// no help from FFmpeg. Every frame is a key frame.
//
// File layout (OpenDML / AVI 2.0, so files beyond 1 GB stay readable):
//   RIFF 'AVI ' : LIST hdrl (avih, LIST strl (strh, strf, strn, indx),
//                 LIST odml (dmlh)), 'rinf' chunk, LIST movi (frames, ix00),
//                 idx1 (frames of this first RIFF only)
//   RIFF 'AVIX' : LIST movi (frames, ix00)      ... one per further ~1 GB
// The stream header has type "vids", scale 1, rate = frames per second,
// suggested buffer size 3932160, the frame rectangle, and the 64-byte stream
// name "LUMETR0 09 " + CR. The length fields hold the frames really written.
//
// Codecs:
//   Dib24  uncompressed 24-bit BGR ("DIB ", rows bottom-up, 4-byte padded)
//   Mjpeg  Motion JPEG ("MJPG"), one baseline JPEG per frame (TurboJPEG),
//          quality 0..100
//   Grey8  8-bit palette image ("DIB ") with a 255-entry grey palette
//          (entry i = grey level i); writeFrame() takes each pixel's green
//          byte, clamped to 254, as its index
//
// Usage:
//   AviWriter writer;
//   QString error;
//   if (!writer.open(path, w, h, playSpeed, AviCodec::Mjpeg, 90,
//                    info.toBytes(), &error)) { ... }
//   for (...) if (!writer.writeFrame(frame)) { /* writer.lastError() */ break; }
//   writer.close();   // also after a failure or abort: the file stays readable
//
// Failures also carry an AVIERR_* code (lastErrorCode()) for
// ReportAviErrorText() in AviErrors.h.

#include "common/Frame.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

enum class AviCodec {
    Dib24,
    Mjpeg,
    Grey8,
};

// Turns frames into the chunk data of an AVI stream (see the codecs above).
// Frames are independent, so an exporter may run one encoder per thread and
// hand the results to one AviWriter in frame order (writeEncodedFrame()):
// the file is the same as from writeFrame().
class AviFrameEncoder {
public:
    AviFrameEncoder(int width, int height, AviCodec codec, int quality);
    ~AviFrameEncoder();
    AviFrameEncoder(const AviFrameEncoder&) = delete;
    AviFrameEncoder& operator=(const AviFrameEncoder&) = delete;

    // Encodes one frame of the size given above; data() and size() hold the
    // result until the next call. False with errorCode()/error() on failure.
    bool encode(const Frame& frame);
    // Grey8 only: one byte per pixel, row 0 at the top, `stride` bytes apart.
    bool encodeGrey(const uint8_t* pixels, int stride);
    // False when the JPEG compressor could not be started.
    bool ready() const { return m_codec != AviCodec::Mjpeg || m_jpeg; }
    const uint8_t* data() const { return m_out; }
    uint32_t size() const { return m_size; }
    uint32_t errorCode() const { return m_errorCode; }
    QString error() const { return m_error; }

private:
    bool fail(uint32_t code, const QString& text);

    int m_width;
    int m_height;
    AviCodec m_codec;
    int m_quality;
    int m_greyStride;
    std::vector<uint8_t> m_buffer;
    void* m_jpeg = nullptr;     // tjhandle, made on first use
    const uint8_t* m_out = nullptr;
    uint32_t m_size = 0;
    uint32_t m_errorCode = 0;
    QString m_error;
};

class AviWriter {
public:
    // Each RIFF form is closed before it would grow beyond this many bytes.
    // Tests pass a small limit to exercise the OpenDML split quickly.
    static constexpr int64_t DefaultRiffLimit = int64_t(1) << 30;

    explicit AviWriter(int64_t riffLimit = DefaultRiffLimit);
    ~AviWriter();   // closes an open file
    AviWriter(const AviWriter&) = delete;
    AviWriter& operator=(const AviWriter&) = delete;

    // Creates (truncates) `path`. `framesPerSecond` >= 1 becomes the stream
    // rate; `quality` (0..100) is used by Mjpeg only. `rinfChunk` is written
    // as the file-level "rinf" chunk (normally RecordingInfo::toBytes());
    // empty means no chunk. Returns false with *error set on failure.
    bool open(const QString& path, int width, int height, int framesPerSecond,
              AviCodec codec, int quality, const QByteArray& rinfChunk,
              QString* error = nullptr);

    // Appends one frame; it must have the size given to open().
    bool writeFrame(const Frame& frame);

    // Appends a frame encoded by an AviFrameEncoder of this file's size,
    // codec and quality.
    bool writeEncodedFrame(const uint8_t* data, uint32_t size);

    // Grey8 only: appends a frame given as one byte per pixel (palette
    // indices 0..254, row 0 at the top, `stride` bytes apart).
    bool writeGreyFrame(const uint8_t* pixels, int stride);

    // Finishes the indexes and headers and closes the file. Safe to call
    // more than once and after a failed write. Returns false if the final
    // writes fail.
    bool close();

    bool isOpen() const;
    int framesWritten() const;
    // Number of RIFF forms so far (1 + number of "AVIX" forms).
    int riffCount() const;
    QString lastError() const;
    uint32_t lastErrorCode() const;   // an AviError:: value, 0 when none

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

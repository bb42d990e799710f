#pragma once
// AviSource: reads the first video stream of an AVI file through FFmpeg
// (any codec FFmpeg decodes: uncompressed DIB, MJPEG, MPEG-4, H.264, FFV1...)
// and delivers frame n, numbered 0..frameCount()-1, as a 24-bit Frame of the
// file's frame size.
//
// Random access is exact: a request seeks to the key frame at or before n and
// decodes forward, numbering frames by their stream time stamps; asking for
// n+1 right after n (playback) just decodes the next frame without seeking.
//
// Usage:
//   QString error;
//   auto source = OpenAviSource(path, &error);
//   if (!source) { /* show error */ }
//   source->fillInfo(doc.info);            // kind 0, counts, size, rinf fields
//   Frame f; source->readFrame(n, f);
//
// Not thread-safe; one reader per document.

#include "document/FrameSource.h"

#include <QString>
#include <cstdint>
#include <memory>

class AviSource : public FrameSource {
public:
    // A chunk's time-zero frame beyond this size is ignored (taken as 0).
    static constexpr int64_t MaxTimeZeroFrame = 1000000000;

    ~AviSource() override;

    int sourceKind() const override { return 0; }

    // Sets FileName, SourceKind 0, FrameCount, FirstFrame 0, LastFrame
    // FrameCount-1, RangeCopyFirst/Last and RangeFirst/Last alike,
    // ImageWidth/Height, and from the "rinf" chunk TimeZeroFrame, FrameRate,
    // InfoTitle, InfoText[0..15] and the calibration (CalUnitIndex,
    // PixelsPerUnit, CalPoint1/2; only a valid one), every other chunk field
    // is ignored.
    // Without a chunk: TimeZeroFrame 0, FrameRate 1000. FrameInterval is
    // 1 / FrameRate. A chunk whose frame rate is not positive is treated as
    // 1000 frames per second so the time axis stays finite.
    void fillInfo(RecordingInfo& info) const override;

    // Frame n (0-based) into `frame` (resized to width() x height()). Returns
    // false, leaving `frame` as it was, for n outside 0..frameCount()-1 or
    // when decoding fails (lastError() says why).
    bool readFrame(int frameNumber, Frame& frame) override;

    QString lastError() const override;
    // Set when the file holds fewer frames than its header promises.
    QString openWarning() const override;

    int frameCount() const;
    int width() const;
    int height() const;
    // Frames per second of the stream header (rate / scale); informational.
    double streamFrameRate() const;
    // Whether the file carried a "rinf" chunk (the document's HasInfoChunk).
    bool hasInfoChunk() const;

private:
    friend std::unique_ptr<AviSource> OpenAviSource(const QString&, QString*);
    struct Impl;
    AviSource();
    std::unique_ptr<Impl> d;
};

// Opens `path`. Returns null and sets *error (if given) when the file is
// missing, is not a readable video file, has no video stream or no decoder
// for it.
std::unique_ptr<AviSource> OpenAviSource(const QString& path, QString* error);

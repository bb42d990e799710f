#include "sources/avi/AviSource.h"

#include "sources/avi/AviInfoChunk.h"

#include <QFile>
#include <QFileInfo>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <queue>
#include <vector>

namespace {

// Frames larger than this are refused as implausible (hostile headers).
constexpr int64_t MaxPixels = int64_t(16384) * 16384;

QString ffmpegError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromLocal8Bit(text);
}

struct FrameDeleter {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;

// One decoded picture and the frame number it shows.
struct Picture {
    FramePtr frame{av_frame_alloc()};
    int64_t number = -1;
    bool leading = false;   // displays before the key frame decoding started at
    bool valid() const { return number >= 0; }
    void reset() { av_frame_unref(frame.get()); number = -1; leading = false; }
};

} // namespace

struct AviSource::Impl {
    QString path;
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    AVPacket* packet = av_packet_alloc();
    SwsContext* scaler = nullptr;

    int width = 0;
    int height = 0;
    int frameCount = 0;
    int64_t firstTimestamp = 0;   // stream time stamp of frame 0
    AVRational frameDuration{1, 1};  // one frame in stream time-base units (as a ratio)
    bool reorders = false;        // decoder output order differs from packet order
    std::optional<QByteArray> infoChunk;
    // Palette of 8-bit files. The demuxer hands it out once, with the first
    // packet, so it is kept and given to the decoder again after each seek.
    QByteArray palette;
    bool paletteSent = false;

    // Decoder state. `current` is the last picture handed out or decoded;
    // `ahead` a picture already decoded past a requested (missing) frame.
    Picture current;
    Picture ahead;
    bool decoderPrimed = false;   // packets were sent since the last seek
    bool inputEnded = false;
    // Frame numbers of the packets sent and not yet output, smallest first:
    // in display order the next picture shows the smallest of them.
    std::priority_queue<int64_t, std::vector<int64_t>, std::greater<>> pending;

    // Open GOPs: B-frames sent right after the key frame a seek landed on
    // display before it and may never come out (their reference lies before
    // the seek). Packets are tagged with their number (in pts) to tell which
    // picture the decoder returns; see receive().
    AVCodecParserContext* parser = nullptr;   // picture types of packets
    int64_t seekKeyTag = -1;
    bool collectingLeading = false;
    std::vector<int64_t> leadingTags;
    int leadingSeen = 0;

    QString error;
    QString warning;   // notice from opening (a file cut short)

    ~Impl()
    {
        if (parser)
            av_parser_close(parser);
        sws_freeContext(scaler);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
        av_packet_free(&packet);
    }

    int64_t frameNumberOf(int64_t ts) const
    {
        if (ts == AV_NOPTS_VALUE)
            return -1;
        // (ts - first) / frameDuration, rounded to the nearest frame.
        return av_rescale_rnd(ts - firstTimestamp, frameDuration.den, frameDuration.num, AV_ROUND_NEAR_INF);
    }
    int64_t timestampOf(int64_t n) const
    {
        return firstTimestamp + av_rescale_rnd(n, frameDuration.num, frameDuration.den, AV_ROUND_NEAR_INF);
    }

    // Frame number of the key frame at or before n, from the index; -1 when unknown.
    int64_t keyFrameAtOrBefore(int64_t n) const
    {
        const AVIndexEntry* e = avformat_index_get_entry_from_timestamp(stream, timestampOf(n), AVSEEK_FLAG_BACKWARD);
        return e ? frameNumberOf(e->timestamp) : -1;
    }

    bool countFrames();
    bool seekTo(int64_t n);
    bool decodeUntil(int64_t n);
    bool receive(Picture& out);
    void noteLeadingPicture(int64_t number);
    int64_t lastSeekKey = -1;   // frame number of the key frame of the last seek
    bool convert(const AVFrame* f, Frame& target);
};

bool AviSource::Impl::countFrames()
{
    frameCount = 0;
    if (stream->nb_frames > 0 && stream->nb_frames <= INT32_MAX)
        frameCount = int(stream->nb_frames);
    if (frameCount == 0) {
        const int entries = avformat_index_get_entries_count(stream);
        if (entries > 0) {
            const AVIndexEntry* last = avformat_index_get_entry(stream, entries - 1);
            frameCount = int(std::clamp<int64_t>(frameNumberOf(last->timestamp) + 1, 0, INT32_MAX));
        }
    }
    const int64_t promised = frameCount;
    const int entries = avformat_index_get_entries_count(stream);
    const int64_t fileSize = avio_size(format->pb);
    if (frameCount > 0 && entries > 0 && fileSize > 0) {
        // A file cut short may keep an index (or a header count) that points
        // past its end: only the frames whose data is wholly there count.
        int k = entries - 1;
        while (k >= 0) {
            const AVIndexEntry* e = avformat_index_get_entry(stream, k);
            if (e->pos + 8 + e->size <= fileSize)
                break;
            --k;
        }
        const int64_t present = k < 0 ? 0 : frameNumberOf(avformat_index_get_entry(stream, k)->timestamp) + 1;
        if (present < frameCount)
            frameCount = 0; // the index falls short too: count the packets
    } else if (frameCount > 0 && entries == 0) {
        frameCount = 0; // a count with no index to back it: count the packets
    }
    if (frameCount == 0) {
        // No count and no index: read the packets once.
        int64_t lastNumber = -1;
        while (av_read_frame(format, packet) >= 0) {
            // A packet cut off by the end of the file is no frame.
            if (packet->stream_index == stream->index && packet->size > 0
                && !(packet->flags & AV_PKT_FLAG_CORRUPT)
                && (fileSize <= 0 || packet->pos < 0 || packet->pos + packet->size <= fileSize)) {
                const int64_t ts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
                lastNumber = std::max(lastNumber + 1, frameNumberOf(ts));
            }
            av_packet_unref(packet);
        }
        frameCount = int(std::clamp<int64_t>(lastNumber + 1, 0, INT32_MAX));
        if (promised > 0)
            frameCount = int(std::min<int64_t>(frameCount, promised));
        av_seek_frame(format, stream->index, firstTimestamp, AVSEEK_FLAG_BACKWARD);
    }
    if (frameCount > 0 && frameCount < promised)
        warning = QStringLiteral("The recording is cut short: the file holds only %1 of the "
                                 "%2 frames its header promises (frames 0 to %3).")
                      .arg(frameCount).arg(promised).arg(frameCount - 1);
    return frameCount > 0;
}

bool AviSource::Impl::seekTo(int64_t n)
{
    current.reset();
    ahead.reset();
    pending = {};
    seekKeyTag = -1;
    collectingLeading = false;
    leadingTags.clear();
    leadingSeen = 0;
    paletteSent = false;
    inputEnded = false;
    decoderPrimed = false;
    avcodec_flush_buffers(codec);
    lastSeekKey = std::max<int64_t>(keyFrameAtOrBefore(n), 0);
    const int result = av_seek_frame(format, stream->index, timestampOf(n), AVSEEK_FLAG_BACKWARD);
    if (result < 0) {
        // Some files seek only by byte position; starting over always works.
        if (avformat_seek_file(format, stream->index, INT64_MIN, firstTimestamp, firstTimestamp, 0) < 0) {
            error = QStringLiteral("Cannot seek to frame %1: %2").arg(n).arg(ffmpegError(result));
            return false;
        }
    }
    return true;
}

// Tags the packet about to be sent with its number and, right after a seek,
// notes the B-frames that follow the key frame: those display before it.
void AviSource::Impl::noteLeadingPicture(int64_t number)
{
    packet->pts = number;
    const bool first = !decoderPrimed;
    if (first) {
        seekKeyTag = number;
        leadingTags.clear();
        collectingLeading = parser != nullptr;
    }
    if (!collectingLeading)
        return;
    // The key frame is parsed too: it may carry the headers the parser needs.
    uint8_t* data = nullptr;
    int size = 0;
    av_parser_parse2(parser, codec, &data, &size, packet->data, packet->size, AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
    if (first)
        return;
    if (parser->pict_type == AV_PICTURE_TYPE_B)
        leadingTags.push_back(number);
    else
        collectingLeading = false;
}

// Takes the next decoded picture, if the decoder has one, and numbers it.
bool AviSource::Impl::receive(Picture& out)
{
    out.reset();
    if (avcodec_receive_frame(codec, out.frame.get()) < 0)
        return false;
    int64_t number = -1;
    if (!reorders)
        number = frameNumberOf(out.frame->best_effort_timestamp);
    if (reorders && seekKeyTag >= 0) {
        const int64_t tag = out.frame->pts;
        if (std::find(leadingTags.begin(), leadingTags.end(), tag) != leadingTags.end()) {
            ++leadingSeen;
            out.leading = true;   // decoded without its earlier reference
        } else if (tag == seekKeyTag) {
            // Leading pictures the decoder dropped still held their numbers.
            for (int k = leadingSeen; k < int(leadingTags.size()) && !pending.empty(); ++k)
                pending.pop();
            seekKeyTag = -1;
        }
    }
    if (number < 0 && !pending.empty())
        number = pending.top();
    // Drop the numbers of packets that produced no picture of their own.
    while (!pending.empty() && pending.top() <= number)
        pending.pop();
    out.number = std::max<int64_t>(number, 0);
    return true;
}

// Decodes forward until `current` holds frame n (or the last frame before it
// when n itself is missing from the stream).
bool AviSource::Impl::decodeUntil(int64_t n)
{
    if (ahead.valid() && ahead.number <= n) {
        std::swap(current, ahead);
        ahead.reset();
    }
    Picture next;
    while (!(current.valid() && current.number == n)) {
        if (ahead.valid())   // ahead.number > n: frame n is missing, show its predecessor
            return current.valid();
        if (receive(next)) {
            if (next.number <= n || !current.valid())
                std::swap(current, next);
            else
                std::swap(ahead, next);
            continue;
        }
        if (inputEnded) {
            // The header promised more frames than the file holds (a cut file).
            error = QStringLiteral("Frame %1 could not be decoded").arg(n);
            return false;
        }
        const int result = av_read_frame(format, packet);
        if (result < 0) {
            inputEnded = true;
            avcodec_send_packet(codec, nullptr);   // drain the decoder
            continue;
        }
        if (packet->stream_index == stream->index && packet->size > 0) {
            const int64_t ts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
            const int64_t number = frameNumberOf(ts);
            if (!palette.isEmpty() && !paletteSent) {
                if (!av_packet_get_side_data(packet, AV_PKT_DATA_PALETTE, nullptr)) {
                    uint8_t* data = av_packet_new_side_data(packet, AV_PKT_DATA_PALETTE, size_t(palette.size()));
                    if (data)
                        std::memcpy(data, palette.constData(), size_t(palette.size()));
                }
                paletteSent = true;
            }
            if (reorders && number >= 0)
                noteLeadingPicture(number);
            // A damaged packet is skipped; it will show no picture of its own.
            if (avcodec_send_packet(codec, packet) >= 0 && number >= 0)
                pending.push(number);
            decoderPrimed = true;
        }
        av_packet_unref(packet);
    }
    return true;
}

// Converts a decoded picture to 24-bit BGR of the file's frame size. On
// failure `target` is left as it was.
bool AviSource::Impl::convert(const AVFrame* f, Frame& target)
{
    if (f->width <= 0 || f->height <= 0 || !f->data[0]) {
        error = QStringLiteral("The decoder returned an empty picture");
        return false;
    }
    if (f->format == AV_PIX_FMT_BGR24 && f->width == width && f->height == height) {
        target.resize(width, height);
        const size_t rowBytes = size_t(width) * 3;
        for (int y = 0; y < height; ++y)
            std::memcpy(target.row(y), f->data[0] + ptrdiff_t(y) * f->linesize[0], rowBytes);
        return true;
    }
    scaler = sws_getCachedContext(scaler, f->width, f->height, AVPixelFormat(f->format), width, height,
                                  AV_PIX_FMT_BGR24, SWS_BILINEAR | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT,
                                  nullptr, nullptr, nullptr);
    if (!scaler) {
        error = QStringLiteral("Cannot convert pictures of this pixel format");
        return false;
    }
    target.resize(width, height);
    uint8_t* dst[4] = {target.bits(), nullptr, nullptr, nullptr};
    int dstStride[4] = {target.stride(), 0, 0, 0};
    sws_scale(scaler, f->data, f->linesize, 0, f->height, dst, dstStride);
    return true;
}

AviSource::AviSource() : d(std::make_unique<Impl>()) {}
AviSource::~AviSource() = default;

std::unique_ptr<AviSource> OpenAviSource(const QString& path, QString* error)
{
    auto fail = [&](const QString& text) -> std::unique_ptr<AviSource> {
        if (error)
            *error = text;
        return nullptr;
    };
    if (!QFileInfo(path).isFile())
        return fail(QStringLiteral("File not found: %1").arg(path));
    av_log_set_level(AV_LOG_FATAL);   // failures are reported through our own texts

    std::unique_ptr<AviSource> source(new AviSource);
    AviSource::Impl& s = *source->d;
    s.path = path;
    if (!s.packet)
        return fail(QStringLiteral("Out of memory"));
    int result = avformat_open_input(&s.format, QFile::encodeName(path).constData(), nullptr, nullptr);
    if (result < 0)
        return fail(QStringLiteral("Cannot open %1: %2").arg(path, ffmpegError(result)));
    result = avformat_find_stream_info(s.format, nullptr);
    if (result < 0)
        return fail(QStringLiteral("Cannot read %1: %2").arg(path, ffmpegError(result)));

    for (unsigned i = 0; i < s.format->nb_streams; ++i) {
        if (s.format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            s.stream = s.format->streams[i];
            break;
        }
    }
    if (!s.stream)
        return fail(QStringLiteral("%1 has no video stream").arg(path));
    for (unsigned i = 0; i < s.format->nb_streams; ++i) {
        if (s.format->streams[i] != s.stream)
            s.format->streams[i]->discard = AVDISCARD_ALL;
    }

    const AVCodecParameters* par = s.stream->codecpar;
    s.width = par->width;
    s.height = par->height;
    if (s.width <= 0 || s.height <= 0 || int64_t(s.width) * s.height > MaxPixels)
        return fail(QStringLiteral("%1 has an invalid frame size %2 x %3").arg(path).arg(s.width).arg(s.height));

    const AVCodec* decoder = avcodec_find_decoder(par->codec_id);
    if (!decoder)
        return fail(QStringLiteral("No decoder for the video of %1").arg(path));
    s.codec = avcodec_alloc_context3(decoder);
    if (!s.codec || avcodec_parameters_to_context(s.codec, par) < 0)
        return fail(QStringLiteral("Cannot set up the decoder for %1").arg(path));
    s.codec->thread_count = 0;   // as many as the machine has
    s.codec->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    // H.264 otherwise holds back pictures after a seek to a key frame that is
    // not an IDR picture; frames that really lack a reference are caught by
    // the leading-picture check in readFrame().
    s.codec->flags2 |= AV_CODEC_FLAG2_SHOW_ALL;
    result = avcodec_open2(s.codec, decoder, nullptr);
    if (result < 0)
        return fail(QStringLiteral("Cannot open the decoder for %1: %2").arg(path, ffmpegError(result)));

    // Time stamps count frames in AVI; other containers are mapped through the rate.
    const AVRational rate = s.stream->r_frame_rate.num > 0 ? s.stream->r_frame_rate : s.stream->avg_frame_rate;
    if (rate.num > 0 && rate.den > 0 && s.stream->time_base.num > 0) {
        // One frame in time-base units: (1 / rate) / time_base.
        s.frameDuration = av_div_q(av_inv_q(rate), s.stream->time_base);
        if (s.frameDuration.num <= 0 || s.frameDuration.den <= 0)
            s.frameDuration = {1, 1};
    }
    if (avformat_index_get_entries_count(s.stream) > 0)
        s.firstTimestamp = avformat_index_get_entry(s.stream, 0)->timestamp;
    else if (s.stream->start_time != AV_NOPTS_VALUE)
        s.firstTimestamp = s.stream->start_time;
    // B-frames: the decoder's time stamps cannot be trusted in AVI, so pictures
    // are numbered by the packets fed in instead.
    s.reorders = par->video_delay > 0 || s.codec->has_b_frames > 0;
    if (s.reorders) {
        s.parser = av_parser_init(par->codec_id);
        if (s.parser)
            s.parser->flags |= PARSER_FLAG_COMPLETE_FRAMES;
    }

    if (par->format == AV_PIX_FMT_PAL8 || par->codec_id == AV_CODEC_ID_RAWVIDEO) {
        // The first packet (still buffered from probing) carries the palette.
        while (av_read_frame(s.format, s.packet) >= 0) {
            const bool ours = s.packet->stream_index == s.stream->index;
            size_t size = 0;
            const uint8_t* data = av_packet_get_side_data(s.packet, AV_PKT_DATA_PALETTE, &size);
            if (ours && data && size > 0)
                s.palette = QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
            av_packet_unref(s.packet);
            if (ours)
                break;
        }
        av_seek_frame(s.format, s.stream->index, s.firstTimestamp, AVSEEK_FLAG_BACKWARD);
    }
    if (!s.countFrames())
        return fail(QStringLiteral("%1 holds no video frames").arg(path));
    s.infoChunk = ReadAviInfoChunk(path);
    return source;
}

void AviSource::fillInfo(RecordingInfo& info) const
{
    info.FileName = d->path;
    info.SourceKind = 0;
    info.TimeZeroFrame = 0;
    info.FrameRate = 1000;
    if (d->infoChunk) {
        RecordingInfo chunk;
        if (chunk.fromBytes(*d->infoChunk)) {
            // Frame numbers minus the time-zero frame must stay in 32 bits:
            // a value no recording can have is ignored.
            if (std::abs(int64_t(chunk.TimeZeroFrame)) <= MaxTimeZeroFrame)
                info.TimeZeroFrame = chunk.TimeZeroFrame;
            // A rate of 0 or less would make the frame interval infinite.
            if (chunk.FrameRate > 0)
                info.FrameRate = chunk.FrameRate;
            info.InfoTitle = chunk.InfoTitle;
            for (int k = 0; k < 16; ++k)
                info.InfoText[size_t(k)] = chunk.InfoText[size_t(k)];
            // The calibration travels with the recording; a factor or unit
            // no calibration can produce leaves the file uncalibrated.
            if (chunk.CalUnitIndex >= 0 && chunk.CalUnitIndex <= 6 && std::isfinite(chunk.PixelsPerUnit)
                && chunk.PixelsPerUnit > 0.0f) {
                info.CalUnitIndex = chunk.CalUnitIndex;
                info.PixelsPerUnit = chunk.PixelsPerUnit;
                info.CalPoint1 = chunk.CalPoint1;
                info.CalPoint2 = chunk.CalPoint2;
            }
        }
    }
    info.FrameInterval = 1.0f / float(info.FrameRate);
    info.FrameCount = d->frameCount;
    info.FirstFrame = info.RangeCopyFirst = info.RangeFirst = 0;
    info.LastFrame = info.RangeCopyLast = info.RangeLast = d->frameCount - 1;
    info.ImageWidth = d->width;
    info.ImageHeight = d->height;
}

bool AviSource::readFrame(int frameNumber, Frame& frame)
{
    Impl& s = *d;
    s.error.clear();
    if (frameNumber < 0 || frameNumber >= s.frameCount) {
        s.error = QStringLiteral("Frame %1 is outside 0..%2").arg(frameNumber).arg(s.frameCount - 1);
        return false;
    }
    const int64_t n = frameNumber;
    const bool haveCurrent = s.current.valid();
    // Going forward from the decoder's place costs n - current frames; a seek
    // costs n - key frames. Seek only when that is cheaper or we must go back.
    bool seek = !s.decoderPrimed || !haveCurrent || n < s.current.number;
    if (!seek && n > s.current.number + 1) {
        const int64_t key = s.keyFrameAtOrBefore(n);
        seek = key > s.current.number + 1;
    }
    if (seek && !(haveCurrent && n == s.current.number)) {
        if (!s.seekTo(n))
            return false;
    }
    if (!s.decodeUntil(n))
        return false;
    // Frame n displays before the key frame we started from (an open GOP, or
    // an index that lies): start one key frame earlier, at worst from frame 0.
    for (int retry = 0; s.current.number > n || s.current.leading; ++retry) {
        const int64_t from = retry < 3 && s.lastSeekKey > 0 ? s.keyFrameAtOrBefore(s.lastSeekKey - 1) : 0;
        if (!s.seekTo(std::max<int64_t>(from, 0)) || !s.decodeUntil(n))
            return false;
        if (from <= 0 && (s.current.number > n || s.current.leading)) {
            if (s.current.number > n) {
                s.error = QStringLiteral("Frame %1 could not be found").arg(n);
                return false;
            }
            break;   // decoded from the very start: nothing earlier to use
        }
    }
    return s.convert(s.current.frame.get(), frame);
}

QString AviSource::lastError() const { return d->error; }
QString AviSource::openWarning() const { return d->warning; }
int AviSource::frameCount() const { return d->frameCount; }
int AviSource::width() const { return d->width; }
int AviSource::height() const { return d->height; }
bool AviSource::hasInfoChunk() const { return d->infoChunk.has_value(); }

double AviSource::streamFrameRate() const
{
    const AVRational rate = d->stream->r_frame_rate;
    return rate.den > 0 ? av_q2d(rate) : 0.0;
}

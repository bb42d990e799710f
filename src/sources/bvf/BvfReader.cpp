#include "sources/bvf/BvfReader.h"

#include "sources/bvf/BvfFormat.h"

#include "adjust/ImageTurns.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <climits>

using namespace bvf;

namespace {
// Windows wider or taller than this cannot come from a camera; the limit
// keeps the size arithmetic far from overflow.
constexpr int64_t kMaxWindowSide = 1 << 16;
} // namespace

std::unique_ptr<TBVSCFILECAM> TBVSCFILECAM::open(const QString& path, QString* error)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Cannot open \"%1\": %2").arg(path, file->errorString());
        return nullptr;
    }
    QString why;
    auto reader = openDevice(std::move(file), &why);
    if (!reader && error)
        *error = QStringLiteral("\"%1\": %2").arg(QFileInfo(path).fileName(), why);
    return reader;
}

std::unique_ptr<TBVSCFILECAM> TBVSCFILECAM::openDevice(std::unique_ptr<QIODevice> device,
                                                       QString* error)
{
    if (!device || !device->isOpen() || device->isSequential()) {
        if (error)
            *error = QStringLiteral("The recording cannot be read.");
        return nullptr;
    }
    std::unique_ptr<TBVSCFILECAM> reader(new TBVSCFILECAM);
    reader->m_device = std::move(device);
    reader->m_fileSize = reader->m_device->size();
    QString why;
    if (!reader->readHeader(&why)) {
        if (error)
            *error = why;
        return nullptr;
    }
    return reader;
}

std::unique_ptr<TBVSCFILECAM> TBVSCFILECAM::openBytes(const QByteArray& bytes, QString* error)
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    buffer->open(QIODevice::ReadOnly);
    return openDevice(std::move(buffer), error);
}

TBVSCFILECAM::~TBVSCFILECAM() = default;

bool TBVSCFILECAM::readExactly(int64_t offset, char* into, int64_t count)
{
    if (offset < 0 || count < 0 || offset > m_fileSize || count > m_fileSize - offset)
        return false;
    if (!m_device->seek(offset))
        return false;
    return m_device->read(into, count) == count;
}

bool TBVSCFILECAM::readHeader(QString* error)
{
    char fileHeader[kFileHeaderSize];
    if (!readExactly(0, fileHeader, kFileHeaderSize)) {
        *error = QStringLiteral("The file is too short to be a Brava recording.");
        return false;
    }
    if (std::memcmp(fileHeader, kMagic, 4) != 0) {
        *error = QStringLiteral("The file is not a Brava recording (it does not start with \"BVSC\").");
        return false;
    }

    QByteArray camera(kCameraKept, '\0');
    QByteArray window(kWindowLeading + kWindowKept, '\0');
    bool haveCamera = false;
    bool haveWindow = false;
    int64_t pos = kFileHeaderSize;
    int32_t firstPayload = -1;

    // Chunks up to and including the first frame record (type 4).
    while (firstPayload < 0) {
        char chunk[kChunkHeaderSize];
        if (!readExactly(pos, chunk, kChunkHeaderSize)) {
            *error = QStringLiteral("The file ends before its first frame record "
                                    "(it is truncated or holds no frames).");
            return false;
        }
        const int32_t type = ReadLE<int32_t>(chunk + kChunkTypeOffset);
        const int32_t size = ReadLE<int32_t>(chunk + kChunkSizeOffset);
        const int64_t payloadAt = pos + kChunkHeaderSize + (type == ChunkWindow ? kWindowLeading : 0);
        if (size < 0 || payloadAt + size > m_fileSize) {
            *error = QStringLiteral("The file is truncated or damaged: the chunk of type %1 at "
                                    "offset %2 states %3 bytes, past the end of the file.")
                         .arg(type).arg(pos).arg(size);
            return false;
        }

        switch (type) {
        case ChunkCamera: {
            camera.fill('\0');
            readExactly(payloadAt, camera.data(), std::min<int64_t>(size, kCameraKept));
            haveCamera = true;
            m_isColour = uint8_t(camera[kCamColourFlag]) == 'C';
            m_sensor = SensorSizeForModel(camera.constData() + kCamModelCode);
            if (!m_sensor.isValid())
                m_sensor = QSize(ReadLE<uint16_t>(camera.constData() + kCamSensorWidth),
                                 ReadLE<uint16_t>(camera.constData() + kCamSensorHeight));
            if (m_sensor.width() < 2 || m_sensor.height() < 2) {
                *error = QStringLiteral("The sensor size (%1 x %2) is smaller than 2 x 2 pixels.")
                             .arg(m_sensor.width()).arg(m_sensor.height());
                return false;
            }
            // A dark frame read before the description no longer fits.
            m_darkUsable = m_darkUsable && m_darkSize == m_sensor;
            break;
        }
        case ChunkWindow: {
            window.fill('\0');
            readExactly(pos + kChunkHeaderSize, window.data(),
                        kWindowLeading + std::min<int64_t>(size, kWindowKept));
            haveWindow = true;
            m_startFrame = ReadLE<int32_t>(window.constData() + 4);
            m_endFrame = ReadLE<int32_t>(window.constData() + 8);
            break;
        }
        case ChunkDarkFrame: {
            // A dark frame that does not cover the sensor is of no use.
            const int64_t samples = int64_t(m_sensor.width()) * m_sensor.height();
            m_darkUsable = false;
            if (kImagePrefix + samples <= size) {
                m_dark.resize(size_t(samples));
                if (readExactly(payloadAt + kImagePrefix, reinterpret_cast<char*>(m_dark.data()),
                                samples)) {
                    int least = 255;
                    for (uint8_t s : m_dark)
                        least = std::min<int>(least, s);
                    m_darkMin = least == 255 ? 0 : least;
                    m_darkSize = m_sensor;
                    m_darkUsable = true;
                }
            }
            break;
        }
        case ChunkSettings: {
            m_rotation = 0;
            if (size == kSettingsSize) {
                QByteArray block(kSettingsSize, '\0');
                if (readExactly(payloadAt, block.data(), kSettingsSize))
                    applySettings(block.constData());
            }
            break;
        }
        case ChunkFirstFrame:
            m_framesStart = pos;
            m_frameStride = int64_t(size) + kChunkHeaderSize;
            firstPayload = size;
            break;
        default:
            break; // unknown chunks are skipped
        }
        pos = payloadAt + size;
    }

    if (!haveWindow) {
        *error = QStringLiteral("The file has no recording window (chunk type 2).");
        return false;
    }
    const char* win = window.constData() + kWindowLeading;
    const int32_t kind = ReadLE<int32_t>(win + kWinLayoutKind);
    if (kind == 0 || kind == 1) {
        m_windowTop = ReadLE<int32_t>(win + kWinTop);
        m_windowLeft = ReadLE<int32_t>(win + kWinLeft);
        m_windowBottom = ReadLE<int32_t>(win + kWinBottom);
        m_windowRight = ReadLE<int32_t>(win + kWinRight);
        m_frameRate = ReadLE<int32_t>(win + kWinFrameRate);
    } else {
        const char* cam = camera.constData();
        m_windowTop = ReadLE<uint16_t>(cam + kCamWindowTop);
        m_windowLeft = ReadLE<uint16_t>(cam + kCamWindowLeft);
        m_windowBottom = ReadLE<uint16_t>(cam + kCamWindowBottom);
        m_windowRight = ReadLE<uint16_t>(cam + kCamWindowRight);
        m_frameRate = ReadLE<uint16_t>(cam + kCamFrameRate);
    }
    (void)haveCamera;

    const int64_t width = int64_t(m_windowRight) - m_windowLeft + 1;
    const int64_t height = int64_t(m_windowBottom) - m_windowTop + 1;
    if (width < 2 || height < 2) {
        *error = QStringLiteral("The recorded window (%1 x %2) is smaller than 2 x 2 pixels.")
                     .arg(width).arg(height);
        return false;
    }
    if (width > kMaxWindowSide || height > kMaxWindowSide
        || kImagePrefix + width * height > int64_t(firstPayload)) {
        *error = QStringLiteral("The frame records (%1 bytes) are too small for the recorded "
                                "window of %2 x %3 pixels.")
                     .arg(firstPayload).arg(width).arg(height);
        return false;
    }
    m_width = int(width);
    m_height = int(height);
    if (m_frameRate <= 0) {
        *error = QStringLiteral("The recording's frame rate (%1) is not valid.").arg(m_frameRate);
        return false;
    }
    if (m_endFrame < m_startFrame) {
        *error = QStringLiteral("The frame range is reversed (first frame %1, last frame %2).")
                     .arg(m_startFrame).arg(m_endFrame);
        return false;
    }
    if (int64_t(m_endFrame) - m_startFrame + 1 > INT32_MAX) {
        *error = QStringLiteral("The frame range (%1 to %2) is too long.")
                     .arg(m_startFrame).arg(m_endFrame);
        return false;
    }
    // Dark-frame subtraction needs the window inside the dark frame.
    if (m_darkUsable) {
        m_darkUsable = m_windowLeft >= 0 && m_windowTop >= 0
            && int64_t(m_windowLeft) + width <= m_darkSize.width()
            && int64_t(m_windowTop) + height <= m_darkSize.height();
    }

    m_recordPayload = firstPayload;
    m_raw.resize(size_t(kImagePrefix + width * height));
    if (!readExactly(m_framesStart + kChunkHeaderSize, reinterpret_cast<char*>(m_raw.data()),
                     int64_t(m_raw.size()))) {
        *error = QStringLiteral("The first frame record cannot be read.");
        return false;
    }
    m_currentFrame = m_startFrame;
    decodeFrame();

    // A recording cut short (copy stopped, disk full): only the whole records
    // present can be shown; the rest must not pass for frames.
    m_promisedEndFrame = m_endFrame;
    const int64_t promised = int64_t(m_endFrame) - m_startFrame + 1;
    const int64_t present = recordsInFile();
    if (present < promised) {
        m_endFrame = int32_t(m_startFrame + present - 1);
        m_openWarning = QStringLiteral("The recording is cut short: the file holds only %1 of the "
                                       "%2 frames its header promises (frames %3 to %4).")
                            .arg(present).arg(promised).arg(m_startFrame).arg(m_endFrame);
    }
    return true;
}

void TBVSCFILECAM::applySettings(const char* block)
{
    const int version = SettingsVersion(uint8_t(block[kSetVersionHigh]), uint8_t(block[kSetVersionLow]));
    m_settingsVersion = version;
    if (version >= 70) {
        const int32_t chroma = ReadLE<int32_t>(block + kSetChroma);
        const int32_t gamma = ReadLE<int32_t>(block + kSetGamma);
        const int32_t wb = ReadLE<int32_t>(block + kSetWbMode);
        const int32_t enhance = ReadLE<int32_t>(block + kSetEnhance);
        m_chroma = chroma >= 0 && chroma <= 200 ? chroma : 100;
        m_gammaMode = gamma >= 0 && gamma <= 2 ? gamma : 0;
        m_enhanceLevel = enhance >= 0 && enhance <= 4 ? enhance : 2;
        m_wbMode = wb >= 0 && wb <= 5 ? wb : WbDaylight;
        m_wbTablesValid = false;
    }
    m_subtractDark = version >= 71 && ReadLE<int32_t>(block + kSetDarkSwitch) == kDarkSwitchOn;
    m_rotation = ReadLE<int32_t>(block + kSetRotation);
    if (ReadLE<int32_t>(block + kSetBuild) > kLastBuildWithoutPattern)
        m_bayerPattern = ReadLE<int32_t>(block + kSetBayerPattern) & 3;
}

int64_t TBVSCFILECAM::recordsInFile() const
{
    const int64_t needed = kChunkHeaderSize + int64_t(m_raw.size());
    if (m_fileSize - m_framesStart < needed)
        return 0;
    return (m_fileSize - m_framesStart - needed) / m_frameStride + 1;
}

bool TBVSCFILECAM::readFrame(int32_t frameNumber)
{
    if (frameNumber > m_endFrame && frameNumber <= m_promisedEndFrame) {
        m_error = QStringLiteral("Frame %1 is missing: the file ends before its record.")
                      .arg(frameNumber);
        return false;
    }
    if (frameNumber < m_startFrame || frameNumber > m_endFrame) {
        m_error = QStringLiteral("Frame %1 is outside the recording (frames %2 to %3).")
                      .arg(frameNumber).arg(m_startFrame).arg(m_endFrame);
        return false;
    }
    const int64_t index = int64_t(frameNumber) - m_startFrame;
    const int64_t at = m_framesStart + index * m_frameStride;
    char header[kChunkHeaderSize];
    if (!readExactly(at, header, kChunkHeaderSize)
        || at + kChunkHeaderSize + int64_t(m_raw.size()) > m_fileSize) {
        m_error = QStringLiteral("Frame %1 is missing: the file ends before its record.")
                      .arg(frameNumber);
        return false;
    }
    const int32_t payload = ReadLE<int32_t>(header + kChunkSizeOffset);
    if (payload != m_recordPayload) {
        m_error = QStringLiteral("Frame %1 is damaged: its record states %2 bytes where the "
                                 "first record states %3.")
                      .arg(frameNumber).arg(payload).arg(m_recordPayload);
        return false;
    }
    if (m_device->read(reinterpret_cast<char*>(m_raw.data()), int64_t(m_raw.size()))
        != int64_t(m_raw.size())) {
        m_error = QStringLiteral("Frame %1 cannot be read: %2").arg(frameNumber).arg(m_device->errorString());
        // The buffer may hold part of this record now: fetch the frame shown
        // before again so that redecode() still matches output().
        const int64_t current = m_framesStart + (int64_t(m_currentFrame) - m_startFrame) * m_frameStride;
        readExactly(current + kChunkHeaderSize, reinterpret_cast<char*>(m_raw.data()),
                    int64_t(m_raw.size()));
        return false;
    }
    m_currentFrame = frameNumber;
    decodeFrame();
    m_error.clear();
    return true;
}

void TBVSCFILECAM::redecode()
{
    decodeFrame();
}

void TBVSCFILECAM::setWbMode(int mode)
{
    m_wbMode = std::clamp(mode, 0, 5);
    m_wbTablesValid = false;
}

void TBVSCFILECAM::setUserWhiteReference(int red, int green, int blue)
{
    m_userWb = {std::clamp(red, 0, 255), std::clamp(green, 0, 255), std::clamp(blue, 0, 255)};
    m_wbTablesValid = false;
}

void TBVSCFILECAM::setChroma(int percent)
{
    m_chroma = std::clamp(percent, 0, 200);
}

void TBVSCFILECAM::setGammaMode(int mode)
{
    m_gammaMode = std::clamp(mode, 0, 2);
}

void TBVSCFILECAM::setEnhanceLevel(int level)
{
    m_enhanceLevel = std::clamp(level, 0, 4);
}

bool TBVSCFILECAM::pickWhiteReference(const QPoint& point, QString* refusal)
{
    if (point.x() < 0 || point.y() < 0 || point.x() >= m_output.width()
        || point.y() >= m_output.height())
        return false;
    // The reference is what the sensor saw: gamma, saturation and sharpening
    // would move a grey patch away from grey.
    const uint8_t* mosaic = preparedMosaic();
    Frame linear;
    ByteTable identity;
    for (int i = 0; i < 256; ++i)
        identity[size_t(i)] = uint8_t(i);
    if (m_isColour) {
        const int pattern = m_bayerPattern & 3;
        InterpolateGreen(mosaic, m_width, m_height, pattern, m_green, m_greenScratch);
        Demosaic(mosaic, m_green, pattern, {identity, identity, identity}, 100, linear, m_demosaicScratch);
    } else {
        MonochromeToFrame(mosaic, m_width, m_height, identity, linear);
    }
    Frame scratch;
    turn(linear, scratch);
    if (point.x() >= linear.width() || point.y() >= linear.height())
        return false;
    const uint8_t* p = linear.pixel(point.x(), point.y());
    const int red = p[2], green = p[1], blue = p[0];
    // A (nearly) black reference has no colour to balance against: its
    // tables would turn the whole picture black or to noise.
    if (std::max({red, green, blue}) < kDarkestWhiteReference) {
        if (refusal)
            *refusal = QStringLiteral("White reference too dark (%1, %2, %3): pick a light grey or white area")
                           .arg(red)
                           .arg(green)
                           .arg(blue);
        return false;
    }
    setUserWhiteReference(red, green, blue);
    setWbMode(WbUserDefined);
    decodeFrame();
    return true;
}

// The window image after dark-frame subtraction (when set and usable).
const uint8_t* TBVSCFILECAM::preparedMosaic()
{
    const int w = m_width;
    const int h = m_height;
    const uint8_t* mosaic = m_raw.data() + kImagePrefix;
    if (m_subtractDark && m_darkUsable) {
        m_mosaic.resize(size_t(w) * size_t(h));
        const int darkWidth = m_darkSize.width();
        for (int r = 0; r < h; ++r) {
            const uint8_t* s = mosaic + size_t(r) * size_t(w);
            const uint8_t* d = m_dark.data() + size_t(m_windowTop + r) * size_t(darkWidth)
                + size_t(m_windowLeft);
            uint8_t* o = m_mosaic.data() + size_t(r) * size_t(w);
            for (int c = 0; c < w; ++c) {
                const int v = int(s[c]) - (int(d[c]) + m_darkMin);
                o[c] = uint8_t(v < 0 ? 0 : v);
            }
        }
        mosaic = m_mosaic.data();
    }
    return mosaic;
}

// The reader's own rotation, the last step of the chain: 90, 180 or 270
// degrees clockwise; other values leave the frame as it is.
void TBVSCFILECAM::turn(Frame& frame, Frame& scratch) const
{
    ILRotate(frame, m_rotation, scratch);
}

void TBVSCFILECAM::decodeFrame()
{
    const int w = m_width;
    const int h = m_height;
    const uint8_t* mosaic = preparedMosaic();

    const ByteTable gamma = BuildGammaTable(m_gammaMode);
    if (m_isColour) {
        const int pattern = m_bayerPattern & 3;
        m_means = ComputeSiteMeans(mosaic, w, h, pattern);
        InterpolateGreen(mosaic, w, h, pattern, m_green, m_greenScratch);
        if (!m_wbTablesValid) {
            const std::array<int, 3> autoRef{m_means.red, m_means.green, m_means.blue};
            m_wbTables = BuildWhiteBalanceTables(WhiteReference(m_wbMode, autoRef, m_userWb));
            m_wbTablesValid = true;
        }
        if (m_chroma == 100) {
            // Gamma follows white balance directly: one table does both.
            std::array<ByteTable, 3> combined;
            for (int c = 0; c < 3; ++c)
                for (int i = 0; i < 256; ++i)
                    combined[c][i] = gamma[m_wbTables[c][i]];
            Demosaic(mosaic, m_green, pattern, combined, m_chroma, m_output, m_demosaicScratch);
        } else {
            Demosaic(mosaic, m_green, pattern, m_wbTables, m_chroma, m_output, m_demosaicScratch);
            if (m_gammaMode == 1 || m_gammaMode == 2)
                ApplyTable(m_output, gamma);
        }
    } else {
        m_means = SiteMeans{};
        MonochromeToFrame(mosaic, w, h, gamma, m_output);
    }

    if (m_enhanceLevel != 0)
        EnhanceEdges(m_output, m_enhanceLevel, !m_isColour, m_enhanceScratch);

    turn(m_output, m_turned);
}

#include "sources/bvf/BvfWriter.h"

#include "sources/bvf/BvfFormat.h"

#include <cstring>

namespace bvf {

namespace {

QByteArray ChunkHeader(int32_t type, int32_t size)
{
    QByteArray h(kChunkHeaderSize, '\0');
    WriteI32(h.data() + kChunkTypeOffset, type);
    WriteI32(h.data() + kChunkSizeOffset, size);
    return h;
}

} // namespace

int32_t RecordingLayout::recordPayload() const
{
    return int32_t(kImagePrefix + imageBytes() + recordPadding);
}

QByteArray HeaderBytes(const RecordingLayout& layout)
{
    const QRect win = layout.effectiveWindow();
    QByteArray out(kMagic, 4);
    out.append(QByteArray(kFileHeaderSize - 4, '\0'));

    QByteArray camera(kCameraKept, '\0');
    camera[kCamModelCode] = layout.model[0];
    camera[kCamModelCode + 1] = layout.model[1];
    camera[kCamColourFlag] = layout.colour ? 'C' : 'M';
    WriteU16(camera.data() + kCamWindowTop, uint16_t(win.top()));
    WriteU16(camera.data() + kCamWindowLeft, uint16_t(win.left()));
    WriteU16(camera.data() + kCamWindowBottom, uint16_t(win.bottom()));
    WriteU16(camera.data() + kCamWindowRight, uint16_t(win.right()));
    WriteU16(camera.data() + kCamFrameRate, uint16_t(layout.frameRate));
    WriteU16(camera.data() + kCamSensorWidth, uint16_t(layout.sensor.width()));
    WriteU16(camera.data() + kCamSensorHeight, uint16_t(layout.sensor.height()));
    out += ChunkHeader(ChunkCamera, camera.size()) + camera;

    QByteArray window(kWindowKept, '\0');
    WriteI32(window.data() + kWinLayoutKind, layout.layoutKind);
    WriteI32(window.data() + kWinTop, win.top());
    WriteI32(window.data() + kWinLeft, win.left());
    WriteI32(window.data() + kWinBottom, win.bottom());
    WriteI32(window.data() + kWinRight, win.right());
    WriteI32(window.data() + kWinFrameRate, layout.frameRate);
    QByteArray leading(kWindowLeading, '\0');
    WriteI32(leading.data() + 4, layout.startFrame);
    WriteI32(leading.data() + 8, layout.endFrame);
    out += ChunkHeader(ChunkWindow, window.size()) + leading + window;

    if (layout.unknownChunk)
        out += ChunkHeader(77, 40) + QByteArray(40, '\x5a');

    if (layout.writeSettings) {
        const SettingsBlock& s = layout.settings;
        QByteArray block(kSettingsSize, '\0');
        block[kSetVersionHigh] = char(s.versionHigh);
        block[kSetVersionLow] = char(s.versionLow);
        WriteI32(block.data() + kSetChroma, s.chroma);
        WriteI32(block.data() + kSetGamma, s.gammaMode);
        WriteI32(block.data() + kSetWbMode, s.wbMode);
        WriteI32(block.data() + kSetEnhance, s.enhanceLevel);
        WriteI32(block.data() + kSetBuild, s.build);
        WriteI32(block.data() + kSetDarkSwitch, s.darkSwitch);
        WriteI32(block.data() + kSetRotation, s.rotation);
        WriteI32(block.data() + kSetBayerPattern, s.bayerPattern);
        out += ChunkHeader(ChunkSettings, block.size()) + block;
    }

    if (!layout.darkFrame.empty()) {
        QByteArray dark(kImagePrefix, '\0');
        dark.append(reinterpret_cast<const char*>(layout.darkFrame.data()),
                    qsizetype(layout.darkFrame.size()));
        out += ChunkHeader(ChunkDarkFrame, dark.size()) + dark;
    }
    return out;
}

QByteArray FrameRecordBytes(const RecordingLayout& layout, const uint8_t* image)
{
    const int32_t payload = layout.recordPayload();
    QByteArray out = ChunkHeader(ChunkFirstFrame, payload);
    out.append(QByteArray(kImagePrefix, '\0'));
    out.append(reinterpret_cast<const char*>(image), qsizetype(layout.imageBytes()));
    out.append(QByteArray(layout.recordPadding, '\0'));
    return out;
}

QByteArray RecordingBytes(const RecordingLayout& layout,
                          const std::vector<std::vector<uint8_t>>& frames)
{
    QByteArray out = HeaderBytes(layout);
    for (const auto& f : frames)
        out += FrameRecordBytes(layout, f.data());
    return out;
}

bool BvfWriter::open(const QString& path, const RecordingLayout& layout, QString* error)
{
    m_layout = layout;
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error)
            *error = QStringLiteral("Cannot create \"%1\": %2").arg(path, m_file.errorString());
        return false;
    }
    const QByteArray header = HeaderBytes(layout);
    if (m_file.write(header) != header.size()) {
        if (error)
            *error = QStringLiteral("Cannot write \"%1\": %2").arg(path, m_file.errorString());
        m_failed = true;
        return false;
    }
    m_framesStart = header.size();
    m_stride = int64_t(layout.recordPayload()) + kChunkHeaderSize;
    m_next = 0;
    m_failed = false;
    return true;
}

bool BvfWriter::writeFrame(const uint8_t* image)
{
    return writeFrameAt(m_next, image);
}

bool BvfWriter::writeFrameAt(int64_t index, const uint8_t* image)
{
    if (!m_file.isOpen() || m_failed)
        return false;
    const QByteArray record = FrameRecordBytes(m_layout, image);
    if (!m_file.seek(m_framesStart + index * m_stride) || m_file.write(record) != record.size()) {
        m_failed = true;
        return false;
    }
    m_next = index + 1;
    return true;
}

bool BvfWriter::close(QString* error)
{
    if (!m_file.isOpen())
        return !m_failed;
    m_file.close();
    if (m_failed || m_file.error() != QFileDevice::NoError) {
        if (error)
            *error = QStringLiteral("Writing \"%1\" failed: %2").arg(m_file.fileName(), m_file.errorString());
        return false;
    }
    return true;
}

} // namespace bvf

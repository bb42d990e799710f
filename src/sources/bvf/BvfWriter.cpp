#include "sources/bvf/BvfWriter.h"

#include "sources/bvf/BvfFormat.h"

#include <cstring>

namespace bvf {

namespace {

QByteArray ChunkHeader(int32_t type, int32_t size)
{
    QByteArray h(kChunkHeaderSize, '\0');
    WriteLE<int32_t>(h.data() + kChunkTypeOffset, type);
    WriteLE<int32_t>(h.data() + kChunkSizeOffset, size);
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
    WriteLE<uint16_t>(camera.data() + kCamWindowTop, uint16_t(win.top()));
    WriteLE<uint16_t>(camera.data() + kCamWindowLeft, uint16_t(win.left()));
    WriteLE<uint16_t>(camera.data() + kCamWindowBottom, uint16_t(win.bottom()));
    WriteLE<uint16_t>(camera.data() + kCamWindowRight, uint16_t(win.right()));
    WriteLE<uint16_t>(camera.data() + kCamFrameRate, uint16_t(layout.frameRate));
    WriteLE<uint16_t>(camera.data() + kCamSensorWidth, uint16_t(layout.sensor.width()));
    WriteLE<uint16_t>(camera.data() + kCamSensorHeight, uint16_t(layout.sensor.height()));
    out += ChunkHeader(ChunkCamera, camera.size()) + camera;

    QByteArray window(kWindowKept, '\0');
    WriteLE<int32_t>(window.data() + kWinLayoutKind, layout.layoutKind);
    WriteLE<int32_t>(window.data() + kWinTop, win.top());
    WriteLE<int32_t>(window.data() + kWinLeft, win.left());
    WriteLE<int32_t>(window.data() + kWinBottom, win.bottom());
    WriteLE<int32_t>(window.data() + kWinRight, win.right());
    WriteLE<int32_t>(window.data() + kWinFrameRate, layout.frameRate);
    QByteArray leading(kWindowLeading, '\0');
    WriteLE<int32_t>(leading.data() + 4, layout.startFrame);
    WriteLE<int32_t>(leading.data() + 8, layout.endFrame);
    out += ChunkHeader(ChunkWindow, window.size()) + leading + window;

    if (layout.unknownChunk)
        out += ChunkHeader(77, 40) + QByteArray(40, '\x5a');

    if (layout.writeSettings) {
        const SettingsBlock& s = layout.settings;
        QByteArray block(kSettingsSize, '\0');
        block[kSetVersionHigh] = char(s.versionHigh);
        block[kSetVersionLow] = char(s.versionLow);
        WriteLE<int32_t>(block.data() + kSetChroma, s.chroma);
        WriteLE<int32_t>(block.data() + kSetGamma, s.gammaMode);
        WriteLE<int32_t>(block.data() + kSetWbMode, s.wbMode);
        WriteLE<int32_t>(block.data() + kSetEnhance, s.enhanceLevel);
        WriteLE<int32_t>(block.data() + kSetBuild, s.build);
        WriteLE<int32_t>(block.data() + kSetDarkSwitch, s.darkSwitch);
        WriteLE<int32_t>(block.data() + kSetRotation, s.rotation);
        WriteLE<int32_t>(block.data() + kSetBayerPattern, s.bayerPattern);
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

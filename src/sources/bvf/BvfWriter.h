#pragma once
// Writes Brava ".bvf" recordings in the camera's own layout: file header,
// camera description, recording window, processing settings, an optional
// dark frame, then one fixed-size record per frame. Used for test fixtures,
// the sample generator and the benchmarks.

#include <QByteArray>
#include <QFile>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <vector>

namespace bvf {

// Contents of the processing-settings chunk (type 5).
struct SettingsBlock {
    uint8_t versionHigh = 7; // version 71: all fields count
    uint8_t versionLow = 1;
    int32_t chroma = 100;
    int32_t gammaMode = 0;
    int32_t wbMode = 0;
    int32_t enhanceLevel = 0;
    int32_t build = 1075; // above 1074: the Bayer pattern field counts
    int32_t darkSwitch = 0; // 137 turns dark-frame subtraction on
    int32_t rotation = 0;
    int32_t bayerPattern = 0;
};

struct RecordingLayout {
    char model[2] = {'2', '0'}; // "20": 640 x 480 sensor
    QSize sensor{640, 480};     // written for model codes the reader does not know
    bool colour = false;
    QRect window;               // on the sensor; empty means the whole sensor
    int32_t startFrame = 0;
    int32_t endFrame = 0;
    int32_t frameRate = 1000;
    int32_t layoutKind = 0;     // 0 and 1 keep the window in the window chunk
    bool writeSettings = true;
    SettingsBlock settings;
    std::vector<uint8_t> darkFrame; // sensor-sized; empty: no dark-frame chunk
    int32_t recordPadding = 0;  // extra, uninterpreted bytes after each image
    bool unknownChunk = false;  // adds a chunk of a type the reader skips

    QRect effectiveWindow() const { return window.isEmpty() ? QRect(QPoint(0, 0), sensor) : window; }
    int64_t imageBytes() const
    {
        const QRect w = effectiveWindow();
        return int64_t(w.width()) * w.height();
    }
    // Payload size of every frame record.
    int32_t recordPayload() const;
};

// Everything before the first frame record.
QByteArray HeaderBytes(const RecordingLayout& layout);
// One frame record: header, uninterpreted prefix, window image, padding.
QByteArray FrameRecordBytes(const RecordingLayout& layout, const uint8_t* image);
// A whole recording in memory; `frames` holds window-sized images, one per
// frame from startFrame on (endFrame is not changed).
QByteArray RecordingBytes(const RecordingLayout& layout,
                          const std::vector<std::vector<uint8_t>>& frames);

class BvfWriter {
public:
    // Creates the file and writes the header.
    bool open(const QString& path, const RecordingLayout& layout, QString* error);
    // Appends the next frame record (window-sized image).
    bool writeFrame(const uint8_t* image);
    // Writes record `index` in place, leaving a hole before it if the file
    // is shorter (a sparse file on file systems that have them).
    bool writeFrameAt(int64_t index, const uint8_t* image);
    bool close(QString* error = nullptr);

    int64_t framesStart() const { return m_framesStart; }
    int64_t frameStride() const { return m_stride; }

private:
    QFile m_file;
    RecordingLayout m_layout;
    int64_t m_framesStart = 0;
    int64_t m_stride = 0;
    int64_t m_next = 0;
    bool m_failed = false;
};

} // namespace bvf

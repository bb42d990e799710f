#pragma once
// Writes Stravo ".svf" recordings (docs/SVF-FORMAT.md): the header, then one
// packed 12-bit mosaic per frame. Used by the sample generator, test
// fixtures and the benchmark.

#include "sources/bvf/SampleScene.h"
#include "sources/svf/SvfFormat.h"

#include <QFile>
#include <QSize>
#include <QString>
#include <functional>
#include <vector>

namespace svf {

// A whole recording in memory; `frames` holds width x height samples each.
QByteArray RecordingBytes(const Header& header, const std::vector<std::vector<uint16_t>>& frames);

class SvfWriter {
public:
    // Creates the file and writes the header (frames follow at
    // header.framesOffset, every header.frameStride bytes).
    bool open(const QString& path, const Header& header, QString* error);
    // Appends the next frame (width x height 12-bit samples).
    bool writeFrame(const uint16_t* samples);
    bool close(QString* error = nullptr);

private:
    QFile m_file;
    Header m_header;
    std::vector<uint8_t> m_record;
    bool m_failed = false;
};

// The sample scene (sources/bvf/SampleScene.h) as a 12-bit mosaic of
// pattern `pattern`: the picture's values made linear (sRGB to light), so
// that the normal luminance encoding shows about the same picture; grey
// (every site the luminance) unless `colour`.
void RenderSampleMosaic(int frameIndex, QSize size, bool colour, int pattern, std::vector<uint16_t>& samples);

// Writes a sample recording with the options of the Brava sample (the
// sides must be even).
bool WriteSampleRecording(const QString& path, const bvf::SampleOptions& options, QString* error,
                          const std::function<void(int done, int total)>& progress = {});

} // namespace svf

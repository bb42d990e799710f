#pragma once
// A tiny recording for exporter tests: frames first..last of w x h pixels
// whose colours depend on the frame number and position, so every exported
// pixel can be checked.

#include "document/FrameSource.h"
#include "document/VideoDocument.h"

#include <functional>
#include <memory>

inline uint8_t PatternBlue(int n, int x, int) { return uint8_t(n * 7 + x * 3); }
inline uint8_t PatternGreen(int n, int, int y) { return uint8_t(n * 13 + y * 5); }
inline uint8_t PatternRed(int n, int x, int y) { return uint8_t(n + x + 2 * y); }

// Paints frame n into an already sized frame.
using FramePainter = std::function<void(int n, Frame& frame)>;

inline void PaintPattern(int n, Frame& frame)
{
    for (int y = 0; y < frame.height(); ++y) {
        uint8_t* p = frame.row(y);
        for (int x = 0; x < frame.width(); ++x, p += 3) {
            p[0] = PatternBlue(n, x, y);
            p[1] = PatternGreen(n, x, y);
            p[2] = PatternRed(n, x, y);
        }
    }
}

class PatternSource : public FrameSource {
public:
    FramePainter painter = PaintPattern;

    PatternSource(int first, int last, int width, int height, int frameRate = 1000, int timeZero = 0)
        : m_first(first), m_last(last), m_width(width), m_height(height), m_rate(frameRate), m_timeZero(timeZero)
    {
    }

    int sourceKind() const override { return 7; }

    void fillInfo(RecordingInfo& info) const override
    {
        info.FrameCount = m_last - m_first + 1;
        info.FirstFrame = m_first;
        info.LastFrame = m_last;
        info.FrameRate = m_rate;
        info.TimeZeroFrame = m_timeZero;
        info.ImageWidth = m_width;
        info.ImageHeight = m_height;
        info.InfoText[0] = QStringLiteral("Qor Brava");
        info.InfoText[1] = QStringLiteral("SC");
    }

    bool readFrame(int n, Frame& frame) override
    {
        ++reads;
        if (n < m_first || n > m_last)
            return false;
        frame.resize(m_width, m_height);
        painter(n, frame);
        return true;
    }

    int reads = 0;

private:
    int m_first, m_last, m_width, m_height, m_rate, m_timeZero;
};

// A document holding a PatternSource recording.
inline std::unique_ptr<VideoDocument> MakePatternDocument(int first, int last, int width, int height,
                                                          int frameRate = 1000, int timeZero = 0,
                                                          FramePainter painter = PaintPattern,
                                                          const QString& fileName = QStringLiteral("/nonexistent/recording.bvf"))
{
    auto doc = std::make_unique<VideoDocument>();
    auto source = std::make_unique<PatternSource>(first, last, width, height, frameRate, timeZero);
    source->painter = std::move(painter);
    doc->AttachSource(std::move(source), fileName);
    return doc;
}

inline Frame PatternFrame(int n, int width, int height)
{
    Frame frame(width, height);
    PaintPattern(n, frame);
    return frame;
}

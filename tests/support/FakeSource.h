#pragma once
// A recording made up in memory: frames first..last of w x h pixels painted
// by a function of the frame number (by default the pattern of TestFrames.h,
// so every pixel read, rendered or exported can be checked).

#include "TestFrames.h"
#include "document/FrameSource.h"
#include "document/VideoDocument.h"

#include <functional>
#include <memory>

// Paints frame n into an already sized frame.
using FramePainter = std::function<void(int n, Frame& frame)>;

class FakeSource : public FrameSource {
public:
    FramePainter painter = PaintPattern;
    int kind = 7;             // the source kind it reports (0 AVI, 7 Brava)
    QString readerFileName;   // a name the reader reports itself, when set

    FakeSource(int first, int last, int width, int height, int frameRate = 1000, int timeZero = 0)
        : m_first(first), m_last(last), m_width(width), m_height(height), m_rate(frameRate), m_timeZero(timeZero)
    {
    }

    int sourceKind() const override { return kind; }

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
        if (!readerFileName.isEmpty())
            info.FileName = readerFileName;
    }

    bool readFrame(int n, Frame& frame) override
    {
        ++reads;
        lastRequested = n;
        if (n < m_first || n > m_last)
            return false;
        frame.resize(m_width, m_height);
        painter(n, frame);
        return true;
    }

    int reads = 0;
    int lastRequested = 0;

private:
    int m_first, m_last, m_width, m_height, m_rate, m_timeZero;
};

// A document holding a FakeSource recording.
inline std::unique_ptr<VideoDocument> MakePatternDocument(int first, int last, int width, int height,
                                                          int frameRate = 1000, int timeZero = 0,
                                                          FramePainter painter = PaintPattern,
                                                          const QString& fileName = QStringLiteral("/nonexistent/recording.bvf"))
{
    auto doc = std::make_unique<VideoDocument>();
    auto source = std::make_unique<FakeSource>(first, last, width, height, frameRate, timeZero);
    source->painter = std::move(painter);
    doc->AttachSource(std::move(source), fileName);
    return doc;
}

// One random 64 x 48 frame at 25 frames per second.
inline std::unique_ptr<FakeSource> MakeStillSource()
{
    auto source = std::make_unique<FakeSource>(0, 0, 64, 48, 25);
    source->painter = [](int, Frame& frame) { frame = RandomFrame(64, 48, 5); };
    return source;
}

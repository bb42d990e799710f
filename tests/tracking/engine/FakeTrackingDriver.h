#pragma once
// A driver for the tracking engine in tests: frames are drawn on demand (a
// bright Gaussian spot on a dark, slightly textured background, moving on a
// straight line), answers to questions are scripted, and everything the
// engine reports is recorded.

#include "common/Frame.h"
#include "tracking/engine/TrackingEngine.h"

#include <QStringList>
#include <cmath>
#include <functional>
#include <map>
#include <vector>

struct SpotScene {
    int width = 96;
    int height = 72;
    double startX = 30.5;   // centre at frame 0, image pixel coordinates
    double startY = 30.5;
    double stepX = 0.75;    // movement per frame
    double stepY = 0.4;
    double sigma = 2.0;
    int vanishFrom = -1;    // from this frame on the spot is gone (-1 never)
    double texture = 0.0;   // amplitude of a fixed background texture

    double X(int frame) const { return startX + stepX * frame; }
    double Y(int frame) const { return startY + stepY * frame; }

    Frame Render(int frame) const
    {
        Frame f(width, height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                // A still texture pulls a correlation toward standing still.
                double v = 20.0 + texture * double((x * 7 + y * 13) % 11) / 10.0;
                if (vanishFrom < 0 || frame < vanishFrom) {
                    const double dx = x + 0.5 - X(frame);
                    const double dy = y + 0.5 - Y(frame);
                    v += 220.0 * std::exp(-(dx * dx + dy * dy) / (2.0 * sigma * sigma));
                }
                const uint8_t g = uint8_t(std::lround(std::min(255.0, v)));
                uint8_t* p = f.pixel(x, y);
                p[0] = p[1] = p[2] = g;
            }
        }
        return f;
    }
};

class FakeTrackingDriver : public TrackingDriver {
public:
    SpotScene scene;
    int firstFrame = 0;
    int frameCount = 100;
    bool answer = true;
    std::vector<int> loaded;           // frames asked for, in order
    QStringList questions;
    QStringList told;
    std::vector<RunMessage> reports;
    int ticksScheduled = 0;
    int runsStopped = 0;
    std::map<int, int> status;         // point index -> last status index
    std::function<void()> onRefresh;   // e.g. press Stop in the middle of a run

    const Frame* FrameAt(int n) override
    {
        loaded.push_back(n);
        if (n < firstFrame || n >= firstFrame + frameCount)
            return nullptr;
        m_frame = scene.Render(n - firstFrame);
        return &m_frame;
    }
    bool Ask(BoxKind, const QString& text) override
    {
        questions << text;
        return answer;
    }
    void Tell(BoxKind, const QString& text) override { told << text; }
    void Report(const RunMessage& m) override { reports.push_back(m); }
    void PointStatus(int index, int s) override { status[index] = s; }
    void PointsRefreshed() override
    {
        if (onRefresh)
            onRefresh();
    }
    void ScheduleTick() override { ++ticksScheduled; }
    void RunStopped() override { ++runsStopped; }

    TrackingRecording Recording() const
    {
        TrackingRecording r;
        r.FirstFrame = firstFrame;
        r.FrameCount = frameCount;
        r.TimeZeroFrame = 0;
        r.FrameRate = 1000;
        r.FrameWidth = scene.width;
        r.FrameHeight = scene.height;
        return r;
    }

private:
    Frame m_frame;
};

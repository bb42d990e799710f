#pragma once
// A driver for the tracking engine in tests: frames are drawn on demand (a
// bright Gaussian spot on a dark, slightly textured background, moving on a
// straight line), and everything the engine reports is recorded.

#include "common/Frame.h"
#include "tracking/engine/TrackingEngine.h"

#include <algorithm>
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
    bool dark = false;      // a dark spot on a light background instead

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
                if (dark)
                    v = 255.0 - v;
                const uint8_t g = uint8_t(std::lround(std::clamp(v, 0.0, 255.0)));
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
    int frameRate = 1000;
    std::vector<int> loaded;           // frames asked for, in order
    std::vector<RunPanel> reports;
    int ticksScheduled = 0;
    int runsStopped = 0;
    StopReason lastStop = StopReason::Running;
    std::map<int, PointStatus> status; // point index -> last status
    std::function<void()> onRefresh;   // e.g. press Stop in the middle of a frame

    const Frame* FrameAt(int n) override
    {
        loaded.push_back(n);
        if (n < firstFrame || n >= firstFrame + frameCount)
            return nullptr;
        m_frame = scene.Render(n - firstFrame);
        return &m_frame;
    }
    void Report(const RunPanel& m) override { reports.push_back(m); }
    void PointStatusChanged(int index, PointStatus s) override { status[index] = s; }
    void PointsRefreshed() override
    {
        if (onRefresh)
            onRefresh();
    }
    void ScheduleTick() override { ++ticksScheduled; }
    void RunStopped(StopReason reason) override
    {
        ++runsStopped;
        lastStop = reason;
    }

    TrackingRecording Recording() const
    {
        TrackingRecording r;
        r.FirstFrame = firstFrame;
        r.FrameCount = frameCount;
        r.TimeZeroFrame = 0;
        r.FrameRate = frameRate;
        r.FrameWidth = scene.width;
        r.FrameHeight = scene.height;
        return r;
    }

private:
    Frame m_frame;
};

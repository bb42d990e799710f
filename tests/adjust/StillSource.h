#pragma once
// A recording of one random 64 × 48 frame, to feed a VideoDocument.

#include "document/FrameSource.h"

#include "TestFrames.h"

class StillSource : public FrameSource {
public:
    int sourceKind() const override { return 7; }
    void fillInfo(RecordingInfo& info) const override
    {
        info.FirstFrame = 0;
        info.LastFrame = 0;
        info.FrameCount = 1;
        info.FrameRate = 25;
        info.ImageWidth = 64;
        info.ImageHeight = 48;
    }
    bool readFrame(int, Frame& frame) override
    {
        frame = RandomFrame(64, 48, 5);
        return true;
    }
};

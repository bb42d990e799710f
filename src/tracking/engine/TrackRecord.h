#pragma once
// One stored frame of a tracking point: where the target was on that frame.
// A point holds one record per frame of its recording, so this record is
// kept small (32 bytes); the two integers and the extra double that older
// record layouts carried were never read and are not kept. Records are
// never written to a file as such (the exports write derived tables).

#include <cstdint>

struct TrackRecord {
    double Time = 0.0;       // (frame - TimeZeroFrame) / FrameRate, seconds
    double X = -1.0;         // x position in image pixels, -1 = none
    double Y = -1.0;         // y position, -1 = none
    int32_t FrameNo = 0;     // absolute frame number, FirstFrame + index
    uint8_t Status = 0;      // 0 no position, 1 position tracked or placed
    uint8_t RecMethod = 0;   // the point's Method when the record was made

    bool HasPosition() const { return X != -1.0; }
    // Back to "no position" (a Status 0 record always has X = Y = -1).
    void Clear()
    {
        X = -1.0;
        Y = -1.0;
        Status = 0;
    }
    void SetPosition(double x, double y)
    {
        X = x;
        Y = y;
        Status = 1;
    }
};

static_assert(sizeof(TrackRecord) == 32, "records are kept per frame and per point: keep them small");

#pragma once
// --calibrate X1,Y1,X2,Y2,DIST[,UNIT] for the commands that open a recording
// (frame, export, track): the two image points and the real distance between
// them, worked out as the calibration frame's "Calculate" does. UNIT is one of
// um, mm, cm, m, in, ft, px (default px).

#include "cli/CliOptions.h"

struct RecordingInfo;

// The option's line for a command's table.
CliOption CalibrateOption();

// Stores the calibration of --calibrate, when given, in `info`. Returns 0, or
// 2 after printing why the value is refused (`info` then stays unchanged).
int ApplyCalibrateOption(const CliArgs& args, RecordingInfo& info);

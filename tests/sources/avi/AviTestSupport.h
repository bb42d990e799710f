#pragma once
// Shared helpers of the AVI tests: recognisable test frames, running the
// ffmpeg tools, and comparing pictures.

#include "common/Frame.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// A frame whose every pixel depends on x, y and the frame number, smooth
// enough for JPEG and different enough between frames to tell them apart.
Frame MakeTestFrame(int width, int height, int n);

// Mean absolute difference per byte of two frames of the same size
// (a large number when the sizes differ).
double MeanAbsDiff(const Frame& a, const Frame& b);

// Index of the test frame (0..count-1) closest to `frame`.
int ClosestTestFrame(const Frame& frame, int count);

// Runs a program; returns its standard output, or sets *ok false.
QByteArray RunTool(const QString& program, const QStringList& args, bool* ok);
bool HaveFfmpeg();

// Writes `count` test frames as raw bgr24 to `path` (ffmpeg input).
bool WriteRawFrames(const QString& path, int width, int height, int count);

// Every frame of `aviPath` decoded by ffmpeg into 24-bit frames.
std::vector<Frame> DecodeWithFfmpeg(const QString& aviPath, int width, int height, bool* ok);

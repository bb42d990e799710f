#pragma once
// T/HIS time-history files: one channel per ".dat" text file, single-byte
// characters, every line ended by CR LF. Nineteen header lines, then one
// "x y" line per exported sample.

#include "graphs/Channel.h"

#include <QByteArray>
#include <QString>

// The complete file content. Every PointStep-th sample is written
// (N = samples / PointStep). Y has its sign changed when the channel is
// inverted; a stored Y of -1 is a missing sample and is written as "0".
QByteArray ThisFileBytes(const TABChannel& channel);

// Writes the file through a temporary file in the same folder that replaces
// `path` only once complete, so a failure leaves no partial file. On failure
// returns false and sets `error` to a message naming the file.
bool WriteThisFile(const TABChannel& channel, const QString& path, QString* error);

// Reads a T/HIS file back into a channel: units and title from lines 2 to 4
// (when they come before the first "$" line), $SPS_ and $TOF_ for the time
// base, then the "x y" lines after "$T/HIS_DATA". X that never decreases is
// plotted against time, any other X makes an X/Y track. On failure returns
// false with a message naming the file (or, for ParseThisFile, the line).
bool ParseThisFile(const QByteArray& bytes, TABChannel* channel, QString* error);
bool ReadThisFile(const QString& path, TABChannel* channel, QString* error);

#pragma once
// The logo entry (kind 15): a bitmap file scaled by a percentage and blended
// into one corner of every frame.

#include "common/Frame.h"

#include <QPoint>
#include <QSize>
#include <QString>
#include <memory>

struct LogoEntry;

// The logo's size at `percent`: Round(w × percent / 100) × Round(h × percent
// / 100), rounding half to even (50 % of 101 × 51 is 50 × 26). Empty when the
// percentage is not positive or the result is absurdly large.
QSize ScaledLogoSize(QSize original, int percent);

// Nearest-neighbour scaling without smoothing: every target pixel takes the
// source pixel under its centre, so rows and columns are dropped or repeated.
Frame ScaleNearest(const Frame& source, int width, int height);

// Top-left position of a logo of `logo` size in corner 0 top left, 1 top
// right, 2 bottom left, 3 bottom right of a frame of `frame` size (negative
// when the logo is larger than the frame). False for other corners.
bool LogoCornerPosition(QSize frame, QSize logo, int corner, QPoint* position);

// The logo file loaded as a 24-bit frame and scaled by `percent`; null when
// the file is missing or unreadable or the size is empty. Loaded logos are
// kept in a small cache keyed by file and percentage and reloaded when the
// file's size, modification time or content (a hash of its first and last
// blocks) changes, so playback does not decode the file for every frame
// while edits to the file still show up.
std::shared_ptr<const Frame> LoadScaledLogo(const QString& fileName, int percent);
void ClearLogoCache();

// Draws a logo entry onto the frame (nothing when disabled, when the file is
// missing, or for an unknown corner).
void DrawLogoEntry(Frame& frame, const LogoEntry& entry);

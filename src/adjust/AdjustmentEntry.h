#pragma once
// One display operation of a document's AdjustmentList. The fields are shared
// by all kinds and mean different things per kind (see the per-kind aliases
// in the comments).

#include <QString>
#include <memory>
#include <vector>

class Frame;

enum AdjustmentKind : int {
    KindContrast = 1,
    KindLogo = 15,
    KindRgb = 16,
    KindText = 19,
    KindTimeStamp = 28,
    KindHueSat = 41,
    KindGamma = 56,
    KindRotate = 101,
    KindBrightness = 1000,
    KindGrid = 1020,
};

struct AdjustmentEntry {
    int Kind = 0;
    int Value1 = 0;   // contrast, red, hue, mirror code, brightness; LogoNumber; AnnX
    int Value2 = 0;   // green, saturation, turn code; LogoCorner; AnnY; grid angle
    int Value3 = 0;   // blue, value; LogoMethod; AnnAngle
    float RealValue = 0.0f; // gamma exponent; grid size

    // Logo (kind 15)
    QString LogoFile;
    int LogoSize = 100;   // percent
    bool LogoDisabled = false; // a pending logo not yet added: the pipeline skips it
    QString LogoLabel;

    // Text and time stamps (kinds 19, 28)
    int AnnBackground = 0; // 0 transparent, 1 black, 2 white
    QString AnnDrawText;
    int AnnInfoKind = 0;   // 0 seconds, 1 milliseconds, 2 frame number
    int AnnDecimals = 0;
    QString AnnLabel;
    int AnnFontSize = 12;  // character-cell height in pixels
    bool AnnFontBold = false;
    bool AnnFontItalic = false;
    bool AnnFontUnderline = false;
    bool AnnFontStrikeOut = false;
    unsigned AnnFontColour = 0x00FFFFFF; // 0x00BBGGRR
    QString AnnFontName = QStringLiteral("Arial");

    // Calibration grid (kind 1020)
    int GridStartX = 0;
    int GridStartY = 0;
    bool GridPolar = false;
    float GridPixelsPerUnit = 1.0f;
};

using AdjustmentList = std::vector<std::unique_ptr<AdjustmentEntry>>;

// Brings every field of an entry made outside the tool frames (a file, the
// command line) into the range its frame can set: sliders to their ends,
// unknown mirror, turn, background and method codes to 0 ("none"), a gamma
// exponent to 0.1 .. 1.9 (0 stays "no curve", a non-number becomes 1).
// Unknown logo corners stay: they draw nothing.
void ClampToFrameRanges(AdjustmentEntry& entry);

// The first entry of that kind, or nullptr.
AdjustmentEntry* FindEntry(const AdjustmentList& list, int kind);

// Runs the entry's operation on the frame in place. The frame keeps 24 bits
// per pixel; only the quarter turns of a rotate entry change its size.
// Entries of unknown kinds, and the calibration grid (which the document
// only remembers), do nothing.
void ApplyEntry(Frame& frame, const AdjustmentEntry& entry);

// Text, time-stamp and logo entries: drawn over the picture, not changing it.
bool IsOverlayKind(int kind);

// Applies the list: first every pixel operation in list order, then every
// text, time-stamp and logo entry in list order among themselves, at the
// coordinates of the finished (turned) picture. So a white annotation stays
// white whatever brightness follows it, and a stamp stays where it was
// placed when a turn is added later. The pixel operations give the same
// result as calling ApplyEntry for each; consecutive brightness, gamma,
// contrast and colour balance entries all map each byte through a curve, so
// they are composed into one table per channel and cost one pass together.
void ApplyAdjustmentList(Frame& frame, const AdjustmentList& list);

#pragma once
// One display operation of a document's AdjustmentList: a kind with the
// parameters of that kind. Each kind has its own parameter struct; the entry
// holds exactly one of them. The kind numbers are stored in files and named on
// the command line, so they never change.

#include <QString>
#include <memory>
#include <type_traits>
#include <variant>
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

// Kind 1.
struct ContrastEntry {
    static constexpr AdjustmentKind Kind() { return KindContrast; }
    int Amount = 0; // -150 .. 150
    bool operator==(const ContrastEntry&) const = default;
};

// Kind 15: a bitmap file blended into one corner.
struct LogoEntry {
    static constexpr AdjustmentKind Kind() { return KindLogo; }
    int LogoNumber = 0; // logo entries listed when the file was chosen; not used for drawing
    int LogoCorner = 0; // 0 top left, 1 top right, 2 bottom left, 3 bottom right
    int LogoMethod = 0; // blending: 0 hatch, 1 solid, 2 average, 3 and, 4 or
    QString LogoFile;
    int LogoSize = 100;        // percent
    bool LogoDisabled = false; // a pending logo not yet added: the pipeline skips it
    QString LogoLabel;
    bool operator==(const LogoEntry&) const = default;
};

// Kind 16: colour balance.
struct RgbEntry {
    static constexpr AdjustmentKind Kind() { return KindRgb; }
    int Red = 0; // each -150 .. 150
    int Green = 0;
    int Blue = 0;
    bool operator==(const RgbEntry&) const = default;
};

// Kinds 19 (free text) and 28 (time or frame number, rewritten before every
// drawing): the same fields, so one struct that remembers which of the two.
struct AnnotationEntry {
    AdjustmentKind Kind() const { return TimeStamp ? KindTimeStamp : KindText; }
    bool TimeStamp = false;
    int AnnX = 0;     // origin (top-left of the first character cell), image pixels
    int AnnY = 0;
    int AnnAngle = 0; // degrees, counter-clockwise
    int AnnBackground = 0; // 0 transparent, 1 black, 2 white
    QString AnnDrawText;
    int AnnInfoKind = 0;   // time stamps: 0 seconds, 1 milliseconds, 2 frame number
    int AnnDecimals = 0;
    QString AnnLabel;
    int AnnFontSize = 12;  // character-cell height in pixels
    bool AnnFontBold = false;
    bool AnnFontItalic = false;
    bool AnnFontUnderline = false;
    bool AnnFontStrikeOut = false;
    unsigned AnnFontColour = 0x00FFFFFF; // 0x00BBGGRR
    QString AnnFontName = QStringLiteral("Arial");
    bool operator==(const AnnotationEntry&) const = default;
};

// Kind 41.
struct HueSatEntry {
    static constexpr AdjustmentKind Kind() { return KindHueSat; }
    int Hue = 0;        // -180 .. 180
    int Saturation = 0; // -100 .. 100
    int Value = 0;      // no frame sets it: stays 0
    bool operator==(const HueSatEntry&) const = default;
};

// Kind 56.
struct GammaEntry {
    static constexpr AdjustmentKind Kind() { return KindGamma; }
    int Slider = 0;        // the frame's slider, 1 .. 19
    float Exponent = 0.0f; // (20 - slider) / 10; 0 draws no curve
    bool operator==(const GammaEntry&) const = default;
};

// Kind 101.
struct RotateEntry {
    static constexpr AdjustmentKind Kind() { return KindRotate; }
    int Mirror = 0; // 1 top to bottom, 2 left to right, 3 both, other none
    int Turn = 0;   // 1 quarter turn one way, 2 the other way, 3 half turn, other none
    bool operator==(const RotateEntry&) const = default;
};

// Kind 1000.
struct BrightnessEntry {
    static constexpr AdjustmentKind Kind() { return KindBrightness; }
    int Offset = 0; // added to every channel
    bool operator==(const BrightnessEntry&) const = default;
};

// Kind 1020: the calibration grid. The document only remembers it; the
// view paints it.
struct CalibrationGridEntry {
    static constexpr AdjustmentKind Kind() { return KindGrid; }
    int AngleDegrees = 0;
    float GridSize = 0.0f; // spacing in calibration units
    int StartX = 0;        // start position, image pixels
    int StartY = 0;
    bool Polar = false;    // rings instead of lines
    float PixelsPerUnit = 1.0f; // the calibration when the grid was last set
    bool operator==(const CalibrationGridEntry&) const = default;
};

class AdjustmentEntry {
public:
    using Parameters = std::variant<ContrastEntry, LogoEntry, RgbEntry, AnnotationEntry, HueSatEntry, GammaEntry,
                                    RotateEntry, BrightnessEntry, CalibrationGridEntry>;

    // From any one kind's struct (or a Parameters).
    template <class T>
        requires std::is_constructible_v<Parameters, T&&>
    AdjustmentEntry(T&& parameters) : m_parameters(std::forward<T>(parameters))
    {
    }

    AdjustmentKind Kind() const
    {
        return std::visit([](const auto& p) { return p.Kind(); }, m_parameters);
    }

    // The parameters when the entry holds a T, else nullptr.
    template <class T>
    T* As()
    {
        return std::get_if<T>(&m_parameters);
    }
    template <class T>
    const T* As() const
    {
        return std::get_if<T>(&m_parameters);
    }

    Parameters& Params() { return m_parameters; }
    const Parameters& Params() const { return m_parameters; }

    bool operator==(const AdjustmentEntry&) const = default;

private:
    Parameters m_parameters;
};

using AdjustmentList = std::vector<std::unique_ptr<AdjustmentEntry>>;

// A new entry of a stored kind number with the start values of its struct;
// nullptr for a number that is no kind.
std::unique_ptr<AdjustmentEntry> MakeAdjustmentEntry(int kind);

// The grid the calibration frame gives a document that has none.
inline CalibrationGridEntry StartGridEntry()
{
    return {.AngleDegrees = 0, .GridSize = 10.0f, .StartX = 0, .StartY = 0, .Polar = false};
}

// Whether an entry still holds what a tool frame puts in when it is docked
// (neutral brightness, contrast, colour, gamma and turn; the start grid), or
// is only the logo frame's pending preview: nothing the user made. Texts and
// time stamps are only ever added by the user.
bool IsUntouchedEntry(const AdjustmentEntry& entry);

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
// The calibration grid (which the document only remembers) does nothing.
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

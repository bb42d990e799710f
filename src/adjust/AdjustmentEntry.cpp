#include "adjust/AdjustmentEntry.h"

#include "adjust/ByteTables.h"
#include "adjust/FilterLibrary.h"
#include "adjust/ImageTurns.h"
#include "adjust/LogoOverlay.h"
#include "adjust/PixelOps.h"
#include "adjust/TextDrawing.h"
#include "common/Frame.h"
#include "common/Overloaded.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

// A code outside the ones a frame offers means "nothing", never the nearest
// code (mirror 7 is not "both").
int KnownCodeOrZero(int code, int highest)
{
    return code >= 0 && code <= highest ? code : 0;
}


} // namespace

std::unique_ptr<AdjustmentEntry> MakeAdjustmentEntry(int kind)
{
    switch (kind) {
    case KindContrast: return std::make_unique<AdjustmentEntry>(ContrastEntry{});
    case KindLogo: return std::make_unique<AdjustmentEntry>(LogoEntry{});
    case KindRgb: return std::make_unique<AdjustmentEntry>(RgbEntry{});
    case KindText: return std::make_unique<AdjustmentEntry>(AnnotationEntry{});
    case KindTimeStamp: {
        AnnotationEntry stamp;
        stamp.TimeStamp = true;
        return std::make_unique<AdjustmentEntry>(stamp);
    }
    case KindHueSat: return std::make_unique<AdjustmentEntry>(HueSatEntry{});
    case KindGamma: return std::make_unique<AdjustmentEntry>(GammaEntry{});
    case KindRotate: return std::make_unique<AdjustmentEntry>(RotateEntry{});
    case KindBrightness: return std::make_unique<AdjustmentEntry>(BrightnessEntry{});
    case KindGrid: return std::make_unique<AdjustmentEntry>(CalibrationGridEntry{});
    default: return nullptr;
    }
}

bool IsUntouchedEntry(const AdjustmentEntry& entry)
{
    const auto noCode = [](int code) { return code < 1 || code > 3; };
    return std::visit(Overloaded{
                          [](const ContrastEntry& e) { return e.Amount == 0; },
                          [](const LogoEntry& e) { return e.LogoDisabled; },
                          [](const RgbEntry& e) { return e.Red == 0 && e.Green == 0 && e.Blue == 0; },
                          [](const AnnotationEntry&) { return false; },
                          [](const HueSatEntry& e) { return e.Hue == 0 && e.Saturation == 0 && e.Value == 0; },
                          [](const GammaEntry& e) { return e.Exponent == 0.0f || e.Exponent == 1.0f; },
                          [&](const RotateEntry& e) { return noCode(e.Mirror) && noCode(e.Turn); },
                          [](const BrightnessEntry& e) { return e.Offset == 0; },
                          [](const CalibrationGridEntry& e) {
                              CalibrationGridEntry start = StartGridEntry();
                              start.PixelsPerUnit = e.PixelsPerUnit; // follows the calibration
                              return e == start;
                          },
                      },
                      entry.Params());
}

void ClampToFrameRanges(AdjustmentEntry& entry)
{
    std::visit(Overloaded{
                   [](ContrastEntry& e) { e.Amount = std::clamp(e.Amount, -150, 150); },
                   [](RgbEntry& e) {
                       e.Red = std::clamp(e.Red, -150, 150);
                       e.Green = std::clamp(e.Green, -150, 150);
                       e.Blue = std::clamp(e.Blue, -150, 150);
                   },
                   [](HueSatEntry& e) {
                       e.Hue = std::clamp(e.Hue, -180, 180);
                       e.Saturation = std::clamp(e.Saturation, -100, 100);
                       e.Value = 0;
                   },
                   [](GammaEntry& e) {
                       // 0 is the neutral "no curve"; anything else within the slider's
                       // exponents 0.1 .. 1.9 (a huge exponent would turn the picture black).
                       e.Slider = std::clamp(e.Slider, 1, 19);
                       if (!std::isfinite(e.Exponent))
                           e.Exponent = 1.0f;
                       else if (e.Exponent != 0.0f)
                           e.Exponent = std::clamp(e.Exponent, 0.1f, 1.9f);
                   },
                   [](RotateEntry& e) {
                       e.Mirror = KnownCodeOrZero(e.Mirror, 3);
                       e.Turn = KnownCodeOrZero(e.Turn, 3);
                   },
                   [](BrightnessEntry& e) { e.Offset = std::clamp(e.Offset, -254, 254); },
                   [](AnnotationEntry& e) {
                       e.AnnX = std::clamp(e.AnnX, -1000000, 1000000);
                       e.AnnY = std::clamp(e.AnnY, -1000000, 1000000);
                       e.AnnAngle = std::clamp(e.AnnAngle, -180, 180);
                       e.AnnBackground = KnownCodeOrZero(e.AnnBackground, 2);
                       e.AnnInfoKind = KnownCodeOrZero(e.AnnInfoKind, 2);
                       e.AnnDecimals = std::clamp(e.AnnDecimals, 0, 15);
                       e.AnnFontSize =
                           std::clamp(e.AnnFontSize == INT32_MIN ? 0 : std::abs(e.AnnFontSize), 1, 4096);
                       e.AnnDrawText.truncate(255);
                       e.AnnLabel.truncate(255);
                   },
                   [](LogoEntry& e) {
                       e.LogoSize = std::clamp(e.LogoSize, 1, 1000);
                       e.LogoMethod = KnownCodeOrZero(e.LogoMethod, 4);
                       e.LogoLabel.truncate(255);
                   },
                   [](CalibrationGridEntry&) {},
               },
               entry.Params());
}

bool IsOverlayKind(int kind)
{
    return kind == KindText || kind == KindTimeStamp || kind == KindLogo;
}

AdjustmentEntry* FindEntry(const AdjustmentList& list, int kind)
{
    for (const auto& entry : list)
        if (entry->Kind() == kind)
            return entry.get();
    return nullptr;
}

void ApplyEntry(Frame& frame, const AdjustmentEntry& entry)
{
    if (frame.isEmpty())
        return;
    std::visit(Overloaded{
                   [&](const ContrastEntry& e) { NVIM_Contrast(frame, e.Amount); },
                   [&](const LogoEntry& e) { DrawLogoEntry(frame, e); },
                   [&](const RgbEntry& e) { NVIM_WorkOutColours(e.Red, e.Green, e.Blue, frame); },
                   [&](const AnnotationEntry& e) { DrawTextEntry(frame, e); },
                   [&](const HueSatEntry& e) {
                       if (e.Hue != 0 || e.Saturation != 0 || e.Value != 0)
                           NVIM_RGBBitmapToHSV(frame, e.Hue, e.Saturation, e.Value);
                   },
                   [&](const GammaEntry& e) { ApplyGamma(frame, e.Exponent); },
                   [&](const RotateEntry& e) { ApplyRotateMirror(frame, e.Mirror, e.Turn); },
                   [&](const BrightnessEntry& e) {
                       if (e.Offset != 0)
                           AdjustBrightness(frame, e.Offset);
                   },
                   [](const CalibrationGridEntry&) {}, // only remembered by the document
               },
               entry.Params());
}

namespace {

// The per-channel curves of the entries that are pure byte maps; false for
// every other kind. Follows ApplyEntry exactly (including its "do nothing"
// cases, which give identity tables).
bool ChannelCurves(const AdjustmentEntry& entry, ByteTable& blue, ByteTable& green, ByteTable& red)
{
    return std::visit(Overloaded{
                          [&](const BrightnessEntry& e) {
                              const int d = std::clamp(e.Offset, -255, 255);
                              for (int v = 0; v < 256; ++v)
                                  blue[v] = uint8_t(std::clamp(v + d, 0, 255));
                              green = red = blue;
                              return true;
                          },
                          [&](const GammaEntry& e) {
                              for (int v = 0; v < 256; ++v)
                                  blue[v] = uint8_t(v);
                              if (e.Exponent != 0.0f && std::isfinite(e.Exponent))
                                  blue = GammaTable(e.Exponent);
                              green = red = blue;
                              return true;
                          },
                          [&](const ContrastEntry& e) {
                              blue = ContrastTable(e.Amount);
                              green = red = blue;
                              return true;
                          },
                          [&](const RgbEntry& e) {
                              red = ColourGainTable(e.Red);
                              green = ColourGainTable(e.Green);
                              blue = ColourGainTable(e.Blue);
                              return true;
                          },
                          [](const auto&) { return false; },
                      },
                      entry.Params());
}

} // namespace

void ApplyAdjustmentList(Frame& frame, const AdjustmentList& list)
{
    ByteTable blue, green, red;
    bool pending = false;
    auto flush = [&] {
        if (!pending)
            return;
        pending = false;
        if (blue == green && green == red) {
            if (!IsIdentityTable(blue))
                ApplyByteTable(frame, blue);
        } else {
            ApplyChannelTables(frame, blue, green, red);
        }
    };
    for (const auto& entry : list) {
        if (IsOverlayKind(entry->Kind()))
            continue; // drawn below, over the finished picture
        ByteTable b, g, r;
        if (!ChannelCurves(*entry, b, g, r)) {
            flush();
            ApplyEntry(frame, *entry);
            continue;
        }
        if (!pending) {
            blue = b;
            green = g;
            red = r;
            pending = true;
            continue;
        }
        // Compose: first the curves so far, then this entry's.
        for (int v = 0; v < 256; ++v) {
            blue[v] = b[blue[v]];
            green[v] = g[green[v]];
            red[v] = r[red[v]];
        }
    }
    flush();
    for (const auto& entry : list)
        if (IsOverlayKind(entry->Kind()))
            ApplyEntry(frame, *entry);
}

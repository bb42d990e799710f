#include "adjust/AdjustmentEntry.h"

#include "adjust/ByteTables.h"
#include "adjust/FilterLibrary.h"
#include "adjust/ImageTurns.h"
#include "adjust/LogoOverlay.h"
#include "adjust/PixelOps.h"
#include "adjust/TextDrawing.h"
#include "common/Frame.h"

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

void ClampToFrameRanges(AdjustmentEntry& e)
{
    switch (e.Kind) {
    case KindContrast:
        e.Value1 = std::clamp(e.Value1, -150, 150);
        break;
    case KindRgb:
        e.Value1 = std::clamp(e.Value1, -150, 150);
        e.Value2 = std::clamp(e.Value2, -150, 150);
        e.Value3 = std::clamp(e.Value3, -150, 150);
        break;
    case KindHueSat:
        e.Value1 = std::clamp(e.Value1, -180, 180);
        e.Value2 = std::clamp(e.Value2, -100, 100);
        e.Value3 = 0;
        break;
    case KindGamma:
        // 0 is the neutral "no curve"; anything else within the slider's
        // exponents 0.1 .. 1.9 (a huge exponent would turn the picture black).
        e.Value1 = std::clamp(e.Value1, 1, 19);
        if (!std::isfinite(e.RealValue))
            e.RealValue = 1.0f;
        else if (e.RealValue != 0.0f)
            e.RealValue = std::clamp(e.RealValue, 0.1f, 1.9f);
        break;
    case KindRotate:
        e.Value1 = KnownCodeOrZero(e.Value1, 3);
        e.Value2 = KnownCodeOrZero(e.Value2, 3);
        break;
    case KindBrightness:
        e.Value1 = std::clamp(e.Value1, -254, 254);
        break;
    case KindText:
    case KindTimeStamp:
        e.Value1 = std::clamp(e.Value1, -1000000, 1000000);
        e.Value2 = std::clamp(e.Value2, -1000000, 1000000);
        e.Value3 = std::clamp(e.Value3, -180, 180);
        e.AnnBackground = KnownCodeOrZero(e.AnnBackground, 2);
        e.AnnInfoKind = KnownCodeOrZero(e.AnnInfoKind, 2);
        e.AnnDecimals = std::clamp(e.AnnDecimals, 0, 15);
        e.AnnFontSize = std::clamp(e.AnnFontSize == INT32_MIN ? 0 : std::abs(e.AnnFontSize), 1, 4096);
        e.AnnDrawText.truncate(255);
        e.AnnLabel.truncate(255);
        break;
    case KindLogo:
        e.LogoSize = std::clamp(e.LogoSize, 1, 1000);
        e.Value3 = KnownCodeOrZero(e.Value3, 4);
        e.LogoLabel.truncate(255);
        break;
    default:
        break;
    }
}

bool IsOverlayKind(int kind)
{
    return kind == KindText || kind == KindTimeStamp || kind == KindLogo;
}

AdjustmentEntry* FindEntry(const AdjustmentList& list, int kind)
{
    for (const auto& entry : list)
        if (entry->Kind == kind)
            return entry.get();
    return nullptr;
}

void ApplyEntry(Frame& frame, const AdjustmentEntry& entry)
{
    if (frame.isEmpty())
        return;
    switch (entry.Kind) {
    case KindContrast:
        NVIM_Contrast(frame, entry.Value1);
        break;
    case KindLogo:
        DrawLogoEntry(frame, entry);
        break;
    case KindRgb:
        NVIM_WorkOutColours(entry.Value1, entry.Value2, entry.Value3, frame);
        break;
    case KindText:
    case KindTimeStamp:
        DrawTextEntry(frame, entry);
        break;
    case KindHueSat:
        if (entry.Value1 != 0 || entry.Value2 != 0 || entry.Value3 != 0)
            NVIM_RGBBitmapToHSV(frame, entry.Value1, entry.Value2, entry.Value3);
        break;
    case KindGamma:
        ApplyGamma(frame, entry.RealValue);
        break;
    case KindRotate:
        ApplyRotateMirror(frame, entry.Value1, entry.Value2);
        break;
    case KindBrightness:
        if (entry.Value1 != 0)
            AdjustBrightness(frame, entry.Value1);
        break;
    default: // KindGrid and unknown kinds
        break;
    }
}

namespace {

// The per-channel curves of the entries that are pure byte maps; false for
// every other kind. Follows ApplyEntry exactly (including its "do nothing"
// cases, which give identity tables).
bool ChannelCurves(const AdjustmentEntry& entry, ByteTable& blue, ByteTable& green, ByteTable& red)
{
    switch (entry.Kind) {
    case KindBrightness: {
        const int d = std::clamp(entry.Value1, -255, 255);
        for (int v = 0; v < 256; ++v)
            blue[v] = uint8_t(std::clamp(v + d, 0, 255));
        green = red = blue;
        return true;
    }
    case KindGamma:
        for (int v = 0; v < 256; ++v)
            blue[v] = uint8_t(v);
        if (entry.RealValue != 0.0f && std::isfinite(entry.RealValue))
            blue = GammaTable(entry.RealValue);
        green = red = blue;
        return true;
    case KindContrast:
        blue = ContrastTable(entry.Value1);
        green = red = blue;
        return true;
    case KindRgb:
        red = ColourGainTable(entry.Value1);
        green = ColourGainTable(entry.Value2);
        blue = ColourGainTable(entry.Value3);
        return true;
    default:
        return false;
    }
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
        if (IsOverlayKind(entry->Kind))
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
        if (IsOverlayKind(entry->Kind))
            ApplyEntry(frame, *entry);
}

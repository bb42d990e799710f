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
}

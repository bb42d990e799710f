#include "adjust/AdjustmentEntry.h"

#include "adjust/FilterLibrary.h"
#include "adjust/ImageTurns.h"
#include "adjust/LogoOverlay.h"
#include "adjust/PixelOps.h"
#include "adjust/TextDrawing.h"
#include "common/Frame.h"

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

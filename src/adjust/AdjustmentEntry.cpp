#include "adjust/AdjustmentEntry.h"

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
    // Placeholder dispatcher: the pixel operations plug in here.
    (void)frame;
    (void)entry;
}

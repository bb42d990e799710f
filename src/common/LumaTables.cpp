#include "common/LumaTables.h"

const LumaTables& BuildLumaTables()
{
    static const LumaTables tables = [] {
        LumaTables t;
        for (int v = 0; v < 256; ++v) {
            t.wR[v] = float(0.299L * v);
            t.wG[v] = float(0.587L * v);
            t.wB[v] = float(0.114L * v);
        }
        return t;
    }();
    return tables;
}

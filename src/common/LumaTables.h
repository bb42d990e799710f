#pragma once
// Luminance weight tables: wR[v] = 0.299 v, wG[v] = 0.587 v, wB[v] = 0.114 v,
// computed in extended precision and stored as single precision. Built once,
// on first use, and shared by the histograms and the Brava edge enhancement.

struct LumaTables {
    float wR[256];
    float wG[256];
    float wB[256];
};

// Builds the tables on the first call; later calls return the same tables.
const LumaTables& BuildLumaTables();

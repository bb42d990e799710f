#include "sources/svf/SvfDemosaic.h"

#include "sources/svf/SvfFormat.h"

#include <algorithm>
#include <cstdlib>

namespace svf {

void Plane16::resize(int w, int h, int b)
{
    width = w;
    height = h;
    border = b;
    stride = w + 2 * b;
    samples.resize(size_t(stride) * size_t(h + 2 * b));
}

void Plane16::mirrorBorder()
{
    // Columns first on the inner rows, then whole rows (corners follow).
    for (int y = 0; y < height; ++y) {
        uint16_t* r = row(y);
        for (int k = 1; k <= border; ++k) {
            r[-k] = r[std::min(k, width - 1)];
            r[width - 1 + k] = r[std::max(width - 1 - k, 0)];
        }
    }
    for (int k = 1; k <= border; ++k) {
        std::copy_n(row(std::min(k, height - 1)) - border, stride, row(-k) - border);
        std::copy_n(row(std::max(height - 1 - k, 0)) - border, stride, row(height - 1 + k) - border);
    }
}

namespace {

inline uint16_t clamp12(int v)
{
    return uint16_t(v < 0 ? 0 : (v > kMaxSample ? kMaxSample : v));
}

// The two columns of a row pair: whether column 0 is green and whether the
// row holds red (else blue) sites.
struct RowPhase {
    bool greenFirst;
    bool redRow;
};

RowPhase PhaseOf(int pattern, int y)
{
    const Site s0 = SiteAt(pattern, 0, y);
    const Site s1 = SiteAt(pattern, 1, y);
    const Site chroma = s0 == SiteGreen ? s1 : s0;
    return {s0 == SiteGreen, chroma == SiteRed};
}

// Green at a red or blue site, edge-directed.
inline int GreenEdge(const uint16_t* m, const uint16_t* up, const uint16_t* dn, int x)
{
    const int l = m[x - 1], r = m[x + 1], u = up[x], d = dn[x];
    const int dh = std::abs(l - r);
    const int dv = std::abs(u - d);
    if (dh < dv)
        return (l + r + 1) >> 1;
    if (dv < dh)
        return (u + d + 1) >> 1;
    return (l + r + u + d + 2) >> 2;
}

// Green at a red or blue site, gradient-corrected (Hamilton-Adams).
inline int GreenGradient(const uint16_t* m, const uint16_t* up, const uint16_t* dn,
                         const uint16_t* up2, const uint16_t* dn2, int x)
{
    const int c = m[x];
    const int l = m[x - 1], r = m[x + 1], u = up[x], d = dn[x];
    const int lapH = 2 * c - m[x - 2] - m[x + 2];
    const int lapV = 2 * c - up2[x] - dn2[x];
    const int dh = std::abs(l - r) + std::abs(lapH);
    const int dv = std::abs(u - d) + std::abs(lapV);
    const int gh4 = 2 * (l + r) + lapH;
    const int gv4 = 2 * (u + d) + lapV;
    if (dh < dv)
        return clamp12((gh4 + 2) >> 2);
    if (dv < dh)
        return clamp12((gv4 + 2) >> 2);
    return clamp12((gh4 + gv4 + 4) >> 3);
}

template <bool GradientCorrected>
void GreenRows(const Mosaic& mosaic, Plane16& green)
{
    const Plane16& p = mosaic.plane;
    for (int y = 0; y < p.height; ++y) {
        const RowPhase phase = PhaseOf(mosaic.pattern, y);
        const uint16_t* m = p.row(y);
        const uint16_t* up = p.row(y - 1);
        const uint16_t* dn = p.row(y + 1);
        const uint16_t* up2 = p.row(y - 2);
        const uint16_t* dn2 = p.row(y + 2);
        uint16_t* g = green.row(y);
        const int firstChroma = phase.greenFirst ? 1 : 0;
        for (int x = 1 - firstChroma; x < p.width; x += 2)
            g[x] = m[x];
        for (int x = firstChroma; x < p.width; x += 2) {
            if constexpr (GradientCorrected)
                g[x] = uint16_t(GreenGradient(m, up, dn, up2, dn2, x));
            else
                g[x] = uint16_t(GreenEdge(m, up, dn, x));
        }
    }
    green.mirrorBorder();
}

// Bilinear: one row, both phases of a column pair at a time.
template <bool GreenFirst>
void BilinearRow(const uint16_t* m, const uint16_t* up, const uint16_t* dn, int width,
                 uint16_t* own, uint16_t* g, uint16_t* other)
{
    for (int x0 = 0; x0 < width; x0 += 2) {
        const int xg = GreenFirst ? x0 : x0 + 1;
        const int xc = GreenFirst ? x0 + 1 : x0;
        // Green site: the row's colour left and right, the other above and below.
        g[xg] = m[xg];
        own[xg] = uint16_t((m[xg - 1] + m[xg + 1] + 1) >> 1);
        other[xg] = uint16_t((up[xg] + dn[xg] + 1) >> 1);
        // Colour site: green from the four direct, the other from the diagonals.
        own[xc] = m[xc];
        g[xc] = uint16_t((m[xc - 1] + m[xc + 1] + up[xc] + dn[xc] + 2) >> 2);
        other[xc] = uint16_t((up[xc - 1] + up[xc + 1] + dn[xc - 1] + dn[xc + 1] + 2) >> 2);
    }
}

// Colour differences: red and blue as green plus the interpolated difference.
template <bool GreenFirst, bool DiagonalChoice>
void DifferenceRow(const uint16_t* m, const uint16_t* up, const uint16_t* dn, const uint16_t* G,
                   const uint16_t* Gup, const uint16_t* Gdn, int width, uint16_t* own, uint16_t* g,
                   uint16_t* other)
{
    for (int x0 = 0; x0 < width; x0 += 2) {
        const int xg = GreenFirst ? x0 : x0 + 1;
        const int xc = GreenFirst ? x0 + 1 : x0;
        {
            const int gv = G[xg];
            g[xg] = uint16_t(gv);
            own[xg] = clamp12(gv + ((m[xg - 1] - G[xg - 1] + m[xg + 1] - G[xg + 1] + 1) >> 1));
            other[xg] = clamp12(gv + ((up[xg] - Gup[xg] + dn[xg] - Gdn[xg] + 1) >> 1));
        }
        {
            const int gv = G[xc];
            g[xc] = uint16_t(gv);
            own[xc] = m[xc];
            const int nw = up[xc - 1] - Gup[xc - 1];
            const int ne = up[xc + 1] - Gup[xc + 1];
            const int sw = dn[xc - 1] - Gdn[xc - 1];
            const int se = dn[xc + 1] - Gdn[xc + 1];
            int diff = (nw + ne + sw + se + 2) >> 2;
            if constexpr (DiagonalChoice) {
                const int d1 = std::abs(up[xc - 1] - dn[xc + 1]) + std::abs(2 * gv - Gup[xc - 1] - Gdn[xc + 1]);
                const int d2 = std::abs(up[xc + 1] - dn[xc - 1]) + std::abs(2 * gv - Gup[xc + 1] - Gdn[xc - 1]);
                if (d1 < d2)
                    diff = (nw + se + 1) >> 1;
                else if (d2 < d1)
                    diff = (ne + sw + 1) >> 1;
            }
            other[xc] = clamp12(gv + diff);
        }
    }
}

} // namespace

void InterpolateGreen(const Mosaic& mosaic, DemosaicMethod method, Plane16& green)
{
    green.resize(mosaic.plane.width, mosaic.plane.height, 1);
    if (method == DemosaicMethod::GradientCorrected)
        GreenRows<true>(mosaic, green);
    else
        GreenRows<false>(mosaic, green);
}

void DemosaicRow(const Mosaic& mosaic, const Plane16& green, DemosaicMethod method, int y,
                 uint16_t* red, uint16_t* greenOut, uint16_t* blue)
{
    const Plane16& p = mosaic.plane;
    const RowPhase phase = PhaseOf(mosaic.pattern, y);
    uint16_t* own = phase.redRow ? red : blue;
    uint16_t* other = phase.redRow ? blue : red;
    const uint16_t* m = p.row(y);
    const uint16_t* up = p.row(y - 1);
    const uint16_t* dn = p.row(y + 1);
    if (method == DemosaicMethod::Bilinear) {
        if (phase.greenFirst)
            BilinearRow<true>(m, up, dn, p.width, own, greenOut, other);
        else
            BilinearRow<false>(m, up, dn, p.width, own, greenOut, other);
        return;
    }
    const uint16_t* G = green.row(y);
    const uint16_t* Gup = green.row(y - 1);
    const uint16_t* Gdn = green.row(y + 1);
    const bool diagonal = method == DemosaicMethod::GradientCorrected;
    if (phase.greenFirst) {
        if (diagonal)
            DifferenceRow<true, true>(m, up, dn, G, Gup, Gdn, p.width, own, greenOut, other);
        else
            DifferenceRow<true, false>(m, up, dn, G, Gup, Gdn, p.width, own, greenOut, other);
    } else {
        if (diagonal)
            DifferenceRow<false, true>(m, up, dn, G, Gup, Gdn, p.width, own, greenOut, other);
        else
            DifferenceRow<false, false>(m, up, dn, G, Gup, Gdn, p.width, own, greenOut, other);
    }
}

void DemosaicPlanes(const Mosaic& mosaic, DemosaicMethod method, RgbPlanes& out)
{
    const int w = mosaic.plane.width;
    const int h = mosaic.plane.height;
    out.width = w;
    out.height = h;
    const size_t n = size_t(w) * size_t(h);
    out.red.resize(n);
    out.green.resize(n);
    out.blue.resize(n);
    Plane16 green;
    if (method != DemosaicMethod::Bilinear)
        InterpolateGreen(mosaic, method, green);
    for (int y = 0; y < h; ++y) {
        const size_t at = size_t(y) * size_t(w);
        DemosaicRow(mosaic, green, method, y, out.red.data() + at, out.green.data() + at, out.blue.data() + at);
    }
}

} // namespace svf

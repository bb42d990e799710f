// Each demosaic method against a plain per-pixel reference: the formulas
// written out with mirrored coordinates, no borders, no row tricks.

#include "SvfTestSupport.h"

#include <cstdlib>

using namespace svftest;
using svf::DemosaicMethod;

namespace {

struct Reference {
    const Samples& s;
    int w, h, pattern;

    static int mirror(int v, int n) { return v < 0 ? -v : (v >= n ? 2 * (n - 1) - v : v); }
    int M(int x, int y) const { return s[size_t(mirror(y, h) * w + mirror(x, w))]; }
    svf::Site site(int x, int y) const { return svf::SiteAt(pattern, mirror(x, w), mirror(y, h)); }
    static int floorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
    static int clamp12(int v) { return std::clamp(v, 0, 4095); }

    int green(DemosaicMethod method, int x, int y) const
    {
        x = mirror(x, w);
        y = mirror(y, h);
        if (site(x, y) == svf::SiteGreen)
            return M(x, y);
        const int l = M(x - 1, y), r = M(x + 1, y), u = M(x, y - 1), d = M(x, y + 1);
        int dh = std::abs(l - r), dv = std::abs(u - d);
        if (method == DemosaicMethod::EdgeDirected) {
            if (dh < dv) return floorDiv(l + r + 1, 2);
            if (dv < dh) return floorDiv(u + d + 1, 2);
            return floorDiv(l + r + u + d + 2, 4);
        }
        const int c = M(x, y);
        const int lapH = 2 * c - M(x - 2, y) - M(x + 2, y);
        const int lapV = 2 * c - M(x, y - 2) - M(x, y + 2);
        dh += std::abs(lapH);
        dv += std::abs(lapV);
        const double gh = (l + r) / 2.0 + lapH / 4.0;
        const double gv = (u + d) / 2.0 + lapV / 4.0;
        const double g = dh < dv ? gh : (dv < dh ? gv : (gh + gv) / 2.0);
        return clamp12(int(std::floor(g + 0.5)));
    }

    // Red, green, blue at (x, y).
    std::array<int, 3> pixel(DemosaicMethod method, int x, int y) const
    {
        const svf::Site here = site(x, y);
        std::array<int, 3> out{};
        if (method == DemosaicMethod::Bilinear) {
            if (here == svf::SiteGreen) {
                out[1] = M(x, y);
                out[site(x + 1, y)] = floorDiv(M(x - 1, y) + M(x + 1, y) + 1, 2);
                out[site(x, y + 1)] = floorDiv(M(x, y - 1) + M(x, y + 1) + 1, 2);
            } else {
                out[here] = M(x, y);
                out[1] = floorDiv(M(x - 1, y) + M(x + 1, y) + M(x, y - 1) + M(x, y + 1) + 2, 4);
                out[site(x + 1, y + 1)] = floorDiv(M(x - 1, y - 1) + M(x + 1, y - 1) + M(x - 1, y + 1) + M(x + 1, y + 1) + 2, 4);
            }
            return out;
        }
        auto G = [&](int u, int v) { return green(method, u, v); };
        auto D = [&](int u, int v) { return M(u, v) - G(u, v); }; // colour difference at a colour site
        const int g = G(x, y);
        out[1] = g;
        if (here == svf::SiteGreen) {
            out[site(x + 1, y)] = clamp12(g + floorDiv(D(x - 1, y) + D(x + 1, y) + 1, 2));
            out[site(x, y + 1)] = clamp12(g + floorDiv(D(x, y - 1) + D(x, y + 1) + 1, 2));
            return out;
        }
        out[here] = M(x, y);
        const int nw = D(x - 1, y - 1), ne = D(x + 1, y - 1), sw = D(x - 1, y + 1), se = D(x + 1, y + 1);
        int diff = floorDiv(nw + ne + sw + se + 2, 4);
        if (method == DemosaicMethod::GradientCorrected) {
            const int d1 = std::abs(M(x - 1, y - 1) - M(x + 1, y + 1)) + std::abs(2 * g - G(x - 1, y - 1) - G(x + 1, y + 1));
            const int d2 = std::abs(M(x + 1, y - 1) - M(x - 1, y + 1)) + std::abs(2 * g - G(x + 1, y - 1) - G(x - 1, y + 1));
            if (d1 < d2) diff = floorDiv(nw + se + 1, 2);
            else if (d2 < d1) diff = floorDiv(ne + sw + 1, 2);
        }
        out[site(x + 1, y + 1)] = clamp12(g + diff);
        return out;
    }
};

svf::Mosaic MosaicOf(const Samples& s, int w, int h, int pattern)
{
    svf::Mosaic m;
    m.pattern = pattern;
    m.plane.resize(w, h, svf::Mosaic::kBorder);
    for (int y = 0; y < h; ++y)
        std::copy_n(s.data() + size_t(y * w), w, m.plane.row(y));
    m.plane.mirrorBorder();
    return m;
}

} // namespace

TEST(SvfDemosaic, EveryMethodMatchesThePerPixelReference)
{
    const int w = 12, h = 10;
    // Random samples reach every branch (ties, clamps, both diagonals); a
    // ramp with an edge has the ties.
    const Samples inputs[] = {
        Random(w, h, 7),
        Random(w, h, 8),
        [&] { Samples s(size_t(w * h)); for (int y = 0; y < h; ++y) for (int x = 0; x < w; ++x) s[size_t(y * w + x)] = uint16_t(x < 6 ? 300 + 20 * y : 3900); return s; }(),
    };
    const DemosaicMethod methods[] = {DemosaicMethod::Bilinear, DemosaicMethod::EdgeDirected, DemosaicMethod::GradientCorrected};
    for (const Samples& input : inputs)
        for (int pattern = 0; pattern < 4; ++pattern)
            for (DemosaicMethod method : methods) {
                svf::RgbPlanes out;
                svf::DemosaicPlanes(MosaicOf(input, w, h, pattern), method, out);
                const Reference ref{input, w, h, pattern};
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        const auto want = ref.pixel(method, x, y);
                        const size_t i = size_t(y * w + x);
                        ASSERT_EQ(out.red[i], want[0]) << "method " << int(method) << " pattern " << pattern << " at " << x << "," << y;
                        ASSERT_EQ(out.green[i], want[1]) << "method " << int(method) << " pattern " << pattern << " at " << x << "," << y;
                        ASSERT_EQ(out.blue[i], want[2]) << "method " << int(method) << " pattern " << pattern << " at " << x << "," << y;
                    }
            }
}

TEST(SvfDemosaic, FlatColourStaysFlatInEveryMethod)
{
    // A uniformly lit coloured surface: red 1000, green 2000, blue 3000.
    const int w = 8, h = 8;
    for (int pattern = 0; pattern < 4; ++pattern) {
        Samples s(size_t(w * h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                s[size_t(y * w + x)] = uint16_t(1000 * (int(svf::SiteAt(pattern, x, y)) + 1));
        for (auto method : {DemosaicMethod::Bilinear, DemosaicMethod::EdgeDirected, DemosaicMethod::GradientCorrected}) {
            svf::RgbPlanes out;
            svf::DemosaicPlanes(MosaicOf(s, w, h, pattern), method, out);
            for (size_t i = 0; i < s.size(); ++i) {
                ASSERT_EQ(out.red[i], 1000);
                ASSERT_EQ(out.green[i], 2000);
                ASSERT_EQ(out.blue[i], 3000);
            }
        }
    }
}

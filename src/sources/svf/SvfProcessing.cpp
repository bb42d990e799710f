#include "sources/svf/SvfProcessing.h"

#include <algorithm>
#include <cmath>

namespace svf {

namespace {

using Matrix = std::array<double, 9>;

Matrix Multiply(const Matrix& a, const Matrix& b)
{
    Matrix m{};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            m[r * 3 + c] = a[r * 3] * b[c] + a[r * 3 + 1] * b[3 + c] + a[r * 3 + 2] * b[6 + c];
    return m;
}

constexpr Matrix kIdentity{1, 0, 0, 0, 1, 0, 0, 0, 1};
// Sensor primaries to Rec. 709 (rows sum to one: greys stay grey).
constexpr Matrix kRgbCorrection{1.28, -0.20, -0.08, -0.12, 1.22, -0.10, -0.03, -0.25, 1.28};
// The wide-gamut rendering of method B2: softer, film-like primaries.
constexpr Matrix kWideGamut{0.82, 0.14, 0.04, 0.06, 0.86, 0.08, 0.02, 0.12, 0.86};

// Rec. 709 luminance weights, for saturation and hue.
constexpr double kLr = 0.2126, kLg = 0.7152, kLb = 0.0722;

Matrix SaturationHue(int saturationPercent, int hueDegrees)
{
    const double s = std::clamp(saturationPercent, 0, 200) / 100.0;
    const Matrix sat{kLr + (1 - kLr) * s, kLg - kLg * s, kLb - kLb * s,
                     kLr - kLr * s, kLg + (1 - kLg) * s, kLb - kLb * s,
                     kLr - kLr * s, kLg - kLg * s, kLb + (1 - kLb) * s};
    const double a = std::clamp(hueDegrees, -180, 180) * M_PI / 180.0;
    const double c = std::cos(a), n = std::sin(a);
    // Rotation about the grey axis (the usual luminance-preserving form).
    const Matrix hue{kLr + c * (1 - kLr) - n * kLr, kLg - c * kLg - n * kLg, kLb - c * kLb + n * (1 - kLb),
                     kLr - c * kLr + n * 0.143, kLg + c * (1 - kLg) + n * 0.140, kLb - c * kLb - n * 0.283,
                     kLr - c * kLr - n * (1 - kLr), kLg - c * kLg + n * kLg, kLb + c * (1 - kLb) + n * kLb};
    return Multiply(hue, sat);
}

double Rec709(double v)
{
    return v < 0.018 ? 4.5 * v : 1.099 * std::pow(v, 0.45) - 0.099;
}

double Curve(const CustomCurve& curve, double v)
{
    const double at = std::clamp(v, 0.0, 1.0) * 4.0;
    const int i = std::min(int(at), 3);
    const double t = at - i;
    return (curve[size_t(i)] * (1 - t) + curve[size_t(i + 1)] * t) / 255.0;
}

} // namespace

CustomCurve DefaultCustomCurve()
{
    CustomCurve c{};
    for (int i = 0; i < 5; ++i)
        c[size_t(i)] = int(std::lround(255.0 * Rec709(i / 4.0)));
    return c;
}

std::array<double, 3> TemperatureGains(int kelvin)
{
    // Colour of a black body in sRGB (Tanner Helland's fit), made linear.
    auto white = [](double k) {
        const double t = k / 100.0;
        const double r = t <= 66 ? 255 : 329.698727446 * std::pow(t - 60, -0.1332047592);
        const double g = t <= 66 ? 99.4708025861 * std::log(t) - 161.1195681661
                                 : 288.1221695283 * std::pow(t - 60, -0.0755148492);
        const double b = t >= 66 ? 255 : (t <= 19 ? 0 : 138.5177312231 * std::log(t - 10) - 305.0447927307);
        auto lin = [](double v) {
            v = std::clamp(v, 1.0, 255.0) / 255.0;
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return std::array<double, 3>{lin(r), lin(g), lin(b)};
    };
    const auto light = white(kelvin);
    const auto neutral = white(6500);
    std::array<double, 3> gains{};
    for (int c = 0; c < 3; ++c)
        gains[size_t(c)] = neutral[size_t(c)] / light[size_t(c)];
    const double g = gains[1];
    for (double& v : gains)
        v /= g;
    return gains;
}

ColourMatrix BuildColourMatrix(const ProcessSettings& settings, const std::array<double, 3>& whiteGains,
                               bool wideGamut)
{
    const double gain = std::pow(10.0, std::clamp(settings.gain, 0, 24) / 20.0);
    Matrix m = SaturationHue(settings.saturation, settings.hue);
    if (wideGamut)
        m = Multiply(m, kWideGamut);
    if (settings.rgbCorrection == 1)
        m = Multiply(m, kRgbCorrection);
    const Matrix wb{whiteGains[0], 0, 0, 0, whiteGains[1], 0, 0, 0, whiteGains[2]};
    m = Multiply(m, wb);
    ColourMatrix out{};
    for (int i = 0; i < 9; ++i)
        out[size_t(i)] = int32_t(std::clamp(std::lround(m[size_t(i)] * gain * 4096.0), -31L * 4096, 31L * 4096));
    return out;
}

void BuildToneTable(const ProcessSettings& settings, const CustomCurve& curve, ToneTable& table)
{
    table.resize(kToneInputs);
    constexpr double kKnee = 0.8;
    const double gammaExponent = 1.0 / (1.0 + 0.125 * std::clamp(settings.gamma, 0, 8));
    for (int i = 0; i < kToneInputs; ++i) {
        double v = i / 4095.0;
        if (settings.knee == 1 && v > kKnee)
            v = kKnee + (1 - kKnee) * std::tanh((v - kKnee) / (1 - kKnee));
        v = std::min(v, 1.0);
        switch (settings.luminanceLut) {
        case 1: break;
        case 2: v = Curve(curve, v); break;
        default: v = Rec709(v); break;
        }
        v = std::pow(std::clamp(v, 0.0, 1.0), gammaExponent);
        table[size_t(i)] = uint8_t(std::lround(255.0 * v));
    }
}

namespace {

#if defined(__x86_64__) && defined(__GNUC__)
#define QOR_SVF_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define QOR_SVF_CLONES
#endif

// The matrix, clamped to the tone table's inputs; a loop the compiler
// vectorises (the table lookups that follow cannot be).
QOR_SVF_CLONES
void MatrixRow(const uint16_t* __restrict red, const uint16_t* __restrict green, const uint16_t* __restrict blue,
               int width, const int32_t* __restrict k, uint16_t* __restrict ro, uint16_t* __restrict go,
               uint16_t* __restrict bo)
{
    constexpr int32_t kTop = kToneInputs - 1;
    const int32_t k0 = k[0], k1 = k[1], k2 = k[2], k3 = k[3], k4 = k[4], k5 = k[5], k6 = k[6], k7 = k[7], k8 = k[8];
    for (int x = 0; x < width; ++x) {
        const int32_t r = red[x], g = green[x], b = blue[x];
        ro[x] = uint16_t(std::clamp((k0 * r + k1 * g + k2 * b + 2048) >> 12, 0, kTop));
        go[x] = uint16_t(std::clamp((k3 * r + k4 * g + k5 * b + 2048) >> 12, 0, kTop));
        bo[x] = uint16_t(std::clamp((k6 * r + k7 * g + k8 * b + 2048) >> 12, 0, kTop));
    }
}

} // namespace

void ColourRow(const uint16_t* red, const uint16_t* green, const uint16_t* blue, int width,
               const ColourMatrix& k, const uint8_t* tone, uint8_t* bgr)
{
    // In chunks that stay in the first-level cache.
    constexpr int kChunk = 512;
    uint16_t ro[kChunk], go[kChunk], bo[kChunk];
    for (int x0 = 0; x0 < width; x0 += kChunk) {
        const int n = std::min(kChunk, width - x0);
        MatrixRow(red + x0, green + x0, blue + x0, n, k.data(), ro, go, bo);
        uint8_t* out = bgr + 3 * x0;
        for (int x = 0; x < n; ++x) {
            out[3 * x] = tone[bo[x]];
            out[3 * x + 1] = tone[go[x]];
            out[3 * x + 2] = tone[ro[x]];
        }
    }
}

namespace {

// [1 2 1] / 4 in both directions, edges repeated, into `out`.
void Blur121(const Frame& in, Frame& out)
{
    const int w = in.width(), h = in.height();
    out.resize(w, h);
    const int n = 3 * w;
    std::vector<uint16_t> rows(static_cast<size_t>(n));
    for (int y = 0; y < h; ++y) {
        const uint8_t* a = in.row(std::max(y - 1, 0));
        const uint8_t* b = in.row(y);
        const uint8_t* c = in.row(std::min(y + 1, h - 1));
        for (int i = 0; i < n; ++i)
            rows[size_t(i)] = uint16_t(a[i] + 2 * b[i] + c[i]);
        uint8_t* o = out.row(y);
        for (int i = 0; i < n; ++i) {
            const int l = i >= 3 ? rows[size_t(i - 3)] : rows[size_t(i)];
            const int r = i + 3 < n ? rows[size_t(i + 3)] : rows[size_t(i)];
            o[i] = uint8_t((l + 2 * rows[size_t(i)] + r + 8) >> 4);
        }
    }
}

} // namespace

void LowPass(Frame& frame, Frame& scratch)
{
    if (frame.width() < 1 || frame.height() < 1)
        return;
    Blur121(frame, scratch);
    std::swap(frame, scratch);
}

void Enhance(Frame& frame, int enhance, Frame& scratch)
{
    const int amount = std::clamp(enhance, 0, 8); // quarters
    if (amount == 0 || frame.isEmpty())
        return;
    Blur121(frame, scratch);
    const int n = 3 * frame.width();
    for (int y = 0; y < frame.height(); ++y) {
        uint8_t* o = frame.row(y);
        const uint8_t* b = scratch.row(y);
        for (int i = 0; i < n; ++i) {
            const int v = o[i] + ((amount * (o[i] - b[i]) + 2) >> 2);
            o[i] = uint8_t(std::clamp(v, 0, 255));
        }
    }
}

} // namespace svf

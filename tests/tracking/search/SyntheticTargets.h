#pragma once
// Synthetic grey frames with targets at known sub-pixel positions, for the
// target search tests and benchmarks. Every pixel holds the exact average of
// the continuous target over its area (anti-aliased), so a target centre can
// sit anywhere between pixel centres.

#include "common/Frame.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace synthetic {

// A grey image in doubles, turned into a Frame at the end.
struct GreyImage {
    int width = 0;
    int height = 0;
    std::vector<double> v;
    GreyImage(int w, int h, double fill = 0.0) : width(w), height(h), v(size_t(w) * h, fill) {}
    double& at(int x, int y) { return v[size_t(y) * width + x]; }

    // Adds zero-mean Gaussian noise of the given standard deviation.
    void addNoise(double sigma, uint32_t seed)
    {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> uniform(1e-12, 1.0);
        for (double& p : v) {
            // Box-Muller, so the noise is the same with every standard library.
            const double g = std::sqrt(-2.0 * std::log(uniform(rng)))
                             * std::cos(6.283185307179586 * uniform(rng));
            p += sigma * g;
        }
    }

    Frame toFrame() const
    {
        Frame f(width, height);
        for (int y = 0; y < height; ++y) {
            uint8_t* row = f.row(y);
            for (int x = 0; x < width; ++x) {
                const auto g = uint8_t(std::clamp(std::lround(v[size_t(y) * width + x]), 0L, 255L));
                row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = g;
            }
        }
        return f;
    }
};

// Fraction of pixel [i, i+1) that lies at or beyond edge c.
inline double CoverBeyond(int i, double c) { return std::clamp(i + 1.0 - c, 0.0, 1.0); }

// A quadrant target centred at (cx, cy): light where (x - cx) and (y - cy)
// have the same sign, dark elsewhere; anti-aliased exactly.
inline GreyImage QuadrantImage(int w, int h, double cx, double cy, double light, double dark)
{
    GreyImage img(w, h);
    for (int y = 0; y < h; ++y) {
        const double ay = CoverBeyond(y, cy);
        for (int x = 0; x < w; ++x) {
            const double ax = CoverBeyond(x, cx);
            const double lightArea = ax * ay + (1.0 - ax) * (1.0 - ay);
            img.at(x, y) = dark + (light - dark) * lightArea;
        }
    }
    return img;
}

// Pixel-average of a unit-peak Gaussian profile along one axis.
inline double GaussianCover(int i, double c, double sigma)
{
    const double s = std::sqrt(2.0) * sigma;
    return 0.5 * (std::erf((i + 1.0 - c) / s) - std::erf((i - c) / s)) * std::sqrt(2.0 * M_PI) * sigma;
}

// A Gaussian spot of the given peak (above or below the background;
// negative amplitude gives a dark spot) centred at (cx, cy).
inline void AddGaussianSpot(GreyImage& img, double cx, double cy, double sigma, double amplitude)
{
    std::vector<double> gx(size_t(img.width)), gy(size_t(img.height));
    for (int x = 0; x < img.width; ++x)
        gx[size_t(x)] = GaussianCover(x, cx, sigma);
    for (int y = 0; y < img.height; ++y)
        gy[size_t(y)] = GaussianCover(y, cy, sigma);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            img.at(x, y) += amplitude * gx[size_t(x)] * gy[size_t(y)];
}

// A smooth random texture (a sum of plane waves) shifted by (dx, dy): the
// pixel-average of each wave is exact (a sinc factor per axis), so the
// shifted texture is a true sub-pixel translation.
struct Texture {
    struct Wave { double a, b, phase, amplitude; };
    std::vector<Wave> waves;
    double base = 128.0;

    explicit Texture(uint32_t seed, int count = 12, double maxFrequency = 0.9)
    {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> freq(-maxFrequency, maxFrequency);
        std::uniform_real_distribution<double> phase(0.0, 6.283185307179586);
        for (int k = 0; k < count; ++k)
            waves.push_back({freq(rng), freq(rng), phase(rng), 60.0 / std::sqrt(double(count))});
    }

    static double Sinc(double t) { return std::fabs(t) < 1e-12 ? 1.0 : std::sin(t) / t; }

    GreyImage render(int w, int h, double dx, double dy) const
    {
        GreyImage img(w, h, base);
        for (const Wave& wave : waves) {
            const double damp = wave.amplitude * Sinc(wave.a / 2.0) * Sinc(wave.b / 2.0);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    img.at(x, y) += damp * std::sin(wave.a * (x + 0.5 - dx) + wave.b * (y + 0.5 - dy) + wave.phase);
        }
        return img;
    }
};

} // namespace synthetic

#pragma once
// Scales the visible part of a 24-bit frame into a 32-bit view buffer with
// one of the four zoom kernels. Separable: when enlarging, each needed source
// row is first resampled horizontally and the rows are then combined
// vertically; when shrinking, each view row is first combined from its
// source rows and then resampled horizontally (the fewer rows go through
// the horizontal pass). Fixed-point weight tables are rebuilt only when the
// mapping changes.
// Only the view pixels the image covers are touched, so the cost follows the
// view size, not the frame size (at high zoom only a few source rows are read).

#include <QImage>
#include <QRect>
#include <cstdint>
#include <vector>

// Index order matches the zoom-mode list: "Basic", "Linear", "Quadratic", "Advanced".
enum class ZoomKernel { Box = 0, Linear = 1, Cubic = 2, Mitchell = 3 };

// The kernel's value at distance x (in source pixels at scale >= 1).
double ZoomKernelValue(ZoomKernel kernel, double x);
// Half width of the kernel's support.
double ZoomKernelRadius(ZoomKernel kernel);

class ViewResampler {
public:
    struct Source {
        const uint8_t* Bits = nullptr; // blue, green, red per pixel
        int Width = 0;
        int Height = 0;
        int Stride = 0;
    };

    // Draws the image into `dest` (Format_RGB32 or ARGB32_Premultiplied),
    // where image point p lands at view p × scale + offset. Only pixels inside
    // `clip` whose centres lie on the image are written; the returned
    // rectangle is that area (empty when the image is not visible).
    QRect Render(const Source& source, QImage& dest, const QRect& clip, double scale, double offsetX,
                 double offsetY, ZoomKernel kernel);
    // Threads a large area is drawn with; 0 (the default): one per core.
    void SetThreads(int threads) { m_threads = threads; }

private:
    // Contributions of source pixels to one axis of view pixels.
    struct AxisTable {
        std::vector<int> First;     // first source index per view pixel
        std::vector<int> Count;     // number of taps per view pixel
        std::vector<int> Offset;    // start of its weights in Weights
        std::vector<int16_t> Weights; // 14-bit fixed point, summing to 1 << 14
        int MinSource = 0;
        int MaxSource = -1;
        // The same contributions with Taps weights for every view pixel
        // (zeros where it has fewer), from FirstOfTaps: loops of a fixed
        // length, same sums. Taps is 0 when the source is too short for it.
        int Taps = 0;
        std::vector<int> FirstOfTaps;
        std::vector<int16_t> TapWeights;
        // What the table was built for.
        ZoomKernel Kernel = ZoomKernel::Box;
        double Scale = 0.0, Offset0 = 0.0;
        int ViewStart = 0, ViewCount = -1, SourceLength = 0;
    };

    // Working rows of one thread.
    struct Scratch {
        std::vector<int16_t> Rows; // resampled rows, 6 fraction bits
        std::vector<int> Acc;      // one row being summed
    };

    static void buildAxis(AxisTable& table, ZoomKernel kernel, double scale, double offset, int viewStart,
                          int viewCount, int sourceLength);
    // View rows [rowBegin, rowEnd) of the area at (x0, y0), viewW wide.
    void renderSourceRowsFirst(const Source& src, QImage& dest, int x0, int y0, int viewW, int rowBegin, int rowEnd,
                               Scratch& scratch) const;
    void renderViewRowsFirst(const Source& src, QImage& dest, int x0, int y0, int viewW, int rowBegin, int rowEnd,
                             Scratch& scratch) const;

    AxisTable m_x;
    AxisTable m_y;
    std::vector<Scratch> m_scratch; // one per thread of a render
    int m_threads = 0;
};

#include "graphs/CfcFilter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Texts of the arithmetic faults, as the user sees them.
QString faultText(double value)
{
    return std::isnan(value) ? QStringLiteral("Invalid floating point operation")
                             : QStringLiteral("Floating point overflow");
}

// Collects the fault messages of one filtering. A run of bad samples faults
// on every sample it touches, so only the first few are spelled out and the
// rest are counted in one closing line.
class FaultLog {
public:
    explicit FaultLog(QStringList* out) : out_(out) {}
    ~FaultLog()
    {
        if (out_ && count_ > kSpelledOut)
            out_->append(QStringLiteral("%1 more arithmetic faults").arg(qulonglong(count_ - kSpelledOut)));
    }
    void add(double value, size_t s)
    {
        if (out_ && count_ < kSpelledOut)
            out_->append(faultText(value) + QStringLiteral(" at ") + QString::number(qulonglong(s)));
        ++count_;
    }

private:
    static constexpr size_t kSpelledOut = 20;
    QStringList* out_;
    size_t count_ = 0;
};

bool isMissing(float v)
{
    return v == kChannelMissingSample || v == kTrackingMissingSample;
}

// The run in the middle, n - 1 samples on each side reflected through the end
// sample: 2 x[0] - x[k] before it and 2 x[n-1] - x[n-1-k] after it.
std::vector<double> extendEnds(const float* x, size_t n)
{
    const size_t pad = n - 1;
    std::vector<double> e(n + 2 * pad);
    const double first = x[0], last = x[n - 1];
    for (size_t i = 0; i < n; ++i)
        e[pad + i] = x[i];
    for (size_t k = 1; k <= pad; ++k) {
        e[pad - k] = 2.0 * first - double(x[k]);
        e[pad + n - 1 + k] = 2.0 * last - double(x[n - 1 - k]);
    }
    return e;
}

// One pass of the section in transposed direct form II, in place, forward or
// backward over v. The state starts as the steady state of a constant input
// equal to the first sample the pass meets, so a constant passes unchanged
// and a pass has no start-up of its own.
void runPass(const CfcCoefficients& c, double* v, size_t m, bool backward, FaultLog& log)
{
    // Section in the usual b / a form: b = (a0, a1, a2), a = (1, -b1, -b2).
    const double b0 = c.a0, b1 = c.a1, b2 = c.a2, fb1 = c.b1, fb2 = c.b2;
    const double gain = (b0 + b1 + b2) / (1.0 - fb1 - fb2);
    const double start = v[backward ? m - 1 : 0];
    double z0 = (gain - b0) * start;
    double z1 = (b2 + fb2 * gain) * start;
    for (size_t k = 0; k < m; ++k) {
        const size_t s = backward ? m - 1 - k : k;
        const double x = v[s];
        const double y = z0 + b0 * x;
        if (!std::isfinite(y)) [[unlikely]] {
            // The state is left as it was, so one bad sample spoils one output.
            log.add(y, s);
            v[s] = 0.0;
            continue;
        }
        z0 = z1 + b1 * x + fb1 * y;
        z1 = b2 * x + fb2 * y;
        v[s] = y;
    }
}

// Filters one run of valid samples into out.
void filterRun(const CfcCoefficients& c, const float* x, size_t n, float* out, FaultLog& log)
{
    std::vector<double> e = extendEnds(x, n);
    runPass(c, e.data(), e.size(), false, log);
    runPass(c, e.data(), e.size(), true, log);
    const size_t pad = n - 1;
    for (size_t i = 0; i < n; ++i) {
        const double y = e[pad + i];
        float value = float(y);
        if (!std::isfinite(value)) [[unlikely]] {
            log.add(y, pad + i);
            value = 0.0f;
        }
        out[i] = value;
    }
}

} // namespace

CfcCoefficients CfcFilterCoefficients(double cfc, float sampleRate)
{
    const double t = 1.0 / double(sampleRate);
    const double wd = 2.0 * std::numbers::pi * cfc * 2.0775;
    const double wa = std::sin(wd * t / 2.0) / std::cos(wd * t / 2.0);
    const double wa2 = wa * wa;
    const double s = std::numbers::sqrt2 * wa + wa2;
    CfcCoefficients c;
    c.a0 = wa2 / (1.0 + s);
    c.a1 = 2.0 * c.a0;
    c.a2 = c.a0;
    c.b1 = -2.0 * (wa2 - 1.0) / (1.0 + s);
    c.b2 = (std::numbers::sqrt2 * wa - 1.0 - wa2) / (1.0 + s);
    return c;
}

std::vector<float> CfcFilter(const std::vector<float>& input, double cfc, float sampleRate, QStringList* faults)
{
    const size_t n = input.size();
    std::vector<float> result(input);
    if (n == 0)
        return result;
    const CfcCoefficients c = CfcFilterCoefficients(cfc, sampleRate);
    FaultLog log(faults);
    for (size_t begin = 0; begin < n;) {
        if (isMissing(input[begin])) {
            ++begin;
            continue;
        }
        size_t end = begin;
        while (end < n && !isMissing(input[end]))
            ++end;
        filterRun(c, input.data() + begin, end - begin, result.data() + begin, log);
        begin = end;
    }
    return result;
}

QString CfcRateProblem(double cfc, double sampleRate)
{
    if (!(sampleRate > 0) || !std::isfinite(sampleRate))
        return QStringLiteral("The channel has no valid sample rate");
    // At or below 2 x 2.0775 x cfc the pre-warped corner reaches the Nyquist
    // frequency and the section is no longer a low-pass.
    if (sampleRate <= 2.0 * 2.0775 * cfc)
        return QStringLiteral("Sample rate %1 is too low for CFC %2").arg(sampleRate).arg(cfc);
    return QString();
}

bool ApplyCfc(TABChannel& channel, int cfc, QStringList* faults)
{
    const float sampleRate = float(1.0L / channel.SampleInterval);
    const QString problem = CfcRateProblem(cfc, sampleRate);
    if (!problem.isEmpty()) {
        if (faults)
            faults->append(problem);
        return false;
    }
    channel.YData = CfcFilter(channel.YData, cfc, sampleRate, faults);
    if (channel.PlotKind == kPlotCrossPlot || channel.PlotKind == kPlotXYTrack)
        channel.XData = CfcFilter(channel.XData, cfc, sampleRate, faults);
    return true;
}

QString CfcTitle(const QString& title, int cfc)
{
    return ChannelText(title + QStringLiteral(": CFC") + QString::number(cfc));
}

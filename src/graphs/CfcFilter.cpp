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

// The data in the middle third; each outer third holds d(N-1) ... d(0) with
// d(i) = 2 x[i] - x[i+1] and d(N-1) = x[N-1], read from the data outward on
// the left and continuing the same sequence on the right.
std::vector<float> extendEnds(const std::vector<float>& x)
{
    const size_t n = x.size();
    std::vector<float> e(3 * n);
    for (size_t i = 0; i < n; ++i) {
        const float next = i + 1 < n ? x[i + 1] : x[i];
        const float d = float(2.0 * double(x[i]) - double(next));
        e[n - 1 - i] = d;
        e[3 * n - 1 - i] = d;
        e[n + i] = x[i];
    }
    return e;
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
    c.a0 = float(wa2 / (1.0 + s));
    c.a1 = 2.0f * c.a0;
    c.a2 = c.a0;
    c.b1 = float(-2.0 * (wa2 - 1.0) / (1.0 + s));
    c.b2 = float((std::numbers::sqrt2 * wa - 1.0 - wa2) / (1.0 + s));
    return c;
}

namespace {

// The two passes are kept apart from the bookkeeping so that the recursion
// state stays in registers: each output waits on the one before it, and that
// chain (multiply, add, round to single and back) sets the speed.

// Forward pass, in place: f holds the extended input E on entry and F on
// return (F[0] = E[0] and F[1] = E[1]). The output memory is cleared when it
// falls below 1e-7, which keeps a decaying tail out of denormals.
void forwardPass(const CfcCoefficients& c, float* f, size_t m, FaultLog& log)
{
    const double a0 = c.a0, a1 = c.a1, a2 = c.a2, b1 = c.b1, b2 = c.b2;
    double y1 = f[1], y2 = f[0];
    double e1 = f[1], e2 = f[0]; // E[s - 1], E[s - 2]
    for (size_t s = 2; s < m; ++s) {
        const double e0 = f[s];
        // b1*y1 is added last: it is the only term that waits for the
        // previous sample.
        const double partial = a0 * e0 + a1 * e1 + a2 * e2 + b2 * y2;
        const double sum = partial + b1 * y1;
        e2 = e1;
        e1 = e0;
        const float out = float(sum);
        if (!std::isfinite(out)) [[unlikely]] {
            log.add(sum, s);
            f[s] = 0.0f;
            continue;
        }
        f[s] = out;
        y2 = y1;
        // A branch rather than a select keeps the test off the chain.
        if (std::fabs(out) < 1e-7f) [[unlikely]]
            y1 = 0.0;
        else
            y1 = out;
    }
}

// Backward pass over f from a zero state, from sample `from` down to `to`
// (inclusive); writes G[s] to g[s - to] when g is given. Returns the state
// (G[to], G[to + 1]) through g1, g2.
void backwardPass(const CfcCoefficients& c, const float* f, size_t from, size_t to, float* g, double& g1,
                  double& g2, FaultLog& log)
{
    const double a0 = c.a0, a1 = c.a1, a2 = c.a2, b1 = c.b1, b2 = c.b2;
    double s1 = g1, s2 = g2;
    for (size_t s = from + 1; s-- > to;) {
        const double partial = a0 * f[s] + a1 * f[s + 1] + a2 * f[s + 2] + b2 * s2;
        const double sum = partial + b1 * s1;
        float out = float(sum);
        if (!std::isfinite(out)) [[unlikely]] {
            log.add(sum, s);
            out = 0.0f;
        }
        if (g)
            g[s - to] = out;
        s2 = s1;
        s1 = out;
    }
    g1 = s1;
    g2 = s2;
}

} // namespace

std::vector<float> CfcFilter(const std::vector<float>& input, double cfc, float sampleRate, QStringList* faults)
{
    const size_t n = input.size();
    if (n == 0)
        return {};
    // A single sample's result would be G[1], which the backward pass (it
    // starts at 3N - 3 = 0) never writes.
    if (n == 1)
        return {0.0f};
    const CfcCoefficients c = CfcFilterCoefficients(cfc, sampleRate);
    const size_t m = 3 * n;
    FaultLog log(faults);

    // The extended input E is filtered in place into F.
    std::vector<float> f = extendEnds(input);
    forwardPass(c, f.data(), m, log);

    // Backward from 3N - 3 (G[3N - 2] and G[3N - 1] stay 0); only the middle
    // third is kept, so the pass stops where the data begin.
    std::vector<float> result(n);
    double g1 = 0.0, g2 = 0.0;
    if (m - 3 >= 2 * n)
        backwardPass(c, f.data(), m - 3, 2 * n, nullptr, g1, g2, log);
    backwardPass(c, f.data(), 2 * n - 1, n, result.data(), g1, g2, log);
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
    if (channel.PlotKind == kPlotCrossPlot)
        channel.XData = CfcFilter(channel.XData, cfc, sampleRate, faults);
    return true;
}

QString CfcTitle(const QString& title, int cfc)
{
    return ChannelText(title + QStringLiteral(": CFC") + QString::number(cfc));
}

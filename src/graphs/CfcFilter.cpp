#include "graphs/CfcFilter.h"

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

std::vector<float> CfcFilter(const std::vector<float>& input, double cfc, float sampleRate, QStringList* faults)
{
    const size_t n = input.size();
    if (n == 0)
        return {};
    const CfcCoefficients c = CfcFilterCoefficients(cfc, sampleRate);
    const double a0 = c.a0, a1 = c.a1, a2 = c.a2, b1 = c.b1, b2 = c.b2;
    const size_t m = 3 * n;

    const std::vector<float> e = extendEnds(input);
    FaultLog log(faults);

    // Forward pass. The output memory is cleared when it falls below 1e-7,
    // which keeps a decaying tail from running into denormals.
    std::vector<float> f(m, 0.0f);
    f[0] = e[0];
    if (m > 1)
        f[1] = e[1];
    {
        float y1 = m > 1 ? e[1] : 0.0f;
        float y2 = e[0];
        for (size_t s = 2; s < m; ++s) {
            // The feedback term b1*y1 is added last: it is the only one that
            // waits for the previous sample.
            const double partial = a0 * e[s] + a1 * e[s - 1] + a2 * e[s - 2] + b2 * y2;
            const double sum = partial + b1 * y1;
            const float out = float(sum);
            if (!std::isfinite(out)) [[unlikely]] {
                log.add(sum, s);
                continue;
            }
            f[s] = out;
            y2 = y1;
            y1 = std::fabs(out) < 1e-7f ? 0.0f : out;
        }
    }

    // Backward pass from a zero state; the last two samples stay 0.
    std::vector<float> result(n, 0.0f);
    {
        float g1 = 0.0f, g2 = 0.0f; // G[s+1], G[s+2]
        for (size_t s = m - 2; s-- > 0;) {
            const double partial = a0 * f[s] + a1 * f[s + 1] + a2 * f[s + 2] + b2 * g2;
            const double sum = partial + b1 * g1;
            float out = float(sum);
            if (!std::isfinite(out)) [[unlikely]] {
                log.add(sum, s);
                out = 0.0f;
            }
            if (s >= n && s < 2 * n)
                result[s - n] = out;
            g2 = g1;
            g1 = out;
        }
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
    if (channel.PlotKind == kPlotCrossPlot)
        channel.XData = CfcFilter(channel.XData, cfc, sampleRate, faults);
    return true;
}

QString CfcTitle(const QString& title, int cfc)
{
    return ChannelText(title + QStringLiteral(": CFC") + QString::number(cfc));
}

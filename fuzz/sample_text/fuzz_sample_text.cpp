// libFuzzer target: the sample-text reader of the command-line "filter" and
// "this" subcommands, and the channel filter over whatever it accepts. The
// first byte picks single values or pairs and the filter class.

#include "graphs/CfcFilter.h"
#include "graphs/SampleText.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t control = data[0];
    const QByteArray text(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    SampleText samples;
    QString error;
    if (!ParseSampleText(text, control & 1, &samples, &error)) {
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    if (samples.hasPairs && samples.x.size() != samples.y.size())
        std::abort();
    static constexpr float kRates[] = {1000.0f, 10000.0f, 1.0e6f};
    const int cfc = kCfcClasses[(control >> 1) % 4];
    const float rate = kRates[(control >> 3) % 3];
    QStringList faults;
    if (CfcRateProblem(cfc, rate).isEmpty() && CfcFilter(samples.y, cfc, rate, &faults).size() != samples.y.size())
        std::abort();
    return 0;
}

#include "graphs/SampleText.h"

#include <QFile>
#include <charconv>
#include <cstring>
#include <cmath>
#include <limits>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

// A word of the input as a message quotes it: on one line, readable on a
// terminal, and short, whatever bytes a wrong file holds.
QString quoted(const char* begin, const char* end)
{
    constexpr qsizetype kLongest = 32;
    QString text;
    for (const char* c = begin; c < end && text.size() < kLongest; ++c)
        text += (*c >= 0x20 && *c < 0x7f) ? QChar(QLatin1Char(*c)) : QChar(u'?');
    if (end - begin > kLongest)
        text += QLatin1String("...");
    return text;
}

} // namespace

bool ParseSampleText(const QByteArray& text, bool allowPairs, SampleText* samples, QString* error)
{
    samples->x.clear();
    samples->y.clear();
    samples->hasPairs = false;
    int columnsSeen = 0; // 0 until the first line with values
    const char* p = text.constData();
    const char* const end = p + text.size();
    for (qsizetype lineNumber = 1; p < end; ++lineNumber) {
        const char* lineEnd = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
        if (!lineEnd)
            lineEnd = end;
        float values[2];
        int count = 0;
        const char* q = p;
        while (true) {
            while (q < lineEnd && isBlank(*q))
                ++q;
            if (q == lineEnd)
                break;
            const char* wordEnd = q;
            while (wordEnd < lineEnd && !isBlank(*wordEnd))
                ++wordEnd;
            const QString word = quoted(q, wordEnd);
            if (count == 2 || (count == 1 && !allowPairs)) {
                *error = QStringLiteral("line %1: expected %2").arg(lineNumber).arg(
                    allowPairs ? QStringLiteral("one value or an \"x y\" pair") : QStringLiteral("one value"));
                return false;
            }
            // from_chars does not take a leading "+".
            const char* numberStart = (*q == '+' && wordEnd - q > 1 && q[1] != '-') ? q + 1 : q;
            double value = 0;
            const auto [stop, failure] = std::from_chars(numberStart, wordEnd, value);
            if (failure != std::errc() || stop != wordEnd || !std::isfinite(value)) {
                *error = QStringLiteral("line %1: \"%2\" is not a number").arg(lineNumber).arg(word);
                return false;
            }
            if (std::fabs(value) > std::numeric_limits<float>::max()) {
                *error = QStringLiteral("line %1: \"%2\" is too large for a sample").arg(lineNumber).arg(word);
                return false;
            }
            values[count++] = float(value);
            q = wordEnd;
        }
        if (count > 0) {
            if (columnsSeen != 0 && count != columnsSeen) {
                *error = columnsSeen == 2
                    ? QStringLiteral("line %1: expected an \"x y\" pair like the lines before").arg(lineNumber)
                    : QStringLiteral("line %1: expected one value like the lines before").arg(lineNumber);
                return false;
            }
            columnsSeen = count;
            if (count == 2) {
                samples->x.push_back(values[0]);
                samples->y.push_back(values[1]);
            } else {
                samples->y.push_back(values[0]);
            }
        }
        p = lineEnd + 1;
    }
    samples->hasPairs = columnsSeen == 2;
    return true;
}

bool ReadSampleFile(const QString& path, bool allowPairs, SampleText* samples, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    if (!ParseSampleText(text, allowPairs, samples, error)) {
        *error = path + QStringLiteral(" ") + *error;
        return false;
    }
    return true;
}

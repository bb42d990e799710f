#pragma once
// Samples given as text, one sample ("y") or one pair ("x y") per line, as
// the command-line tool reads them. Blank lines are skipped; numbers are
// separated by blanks or tabs and use "." as decimal separator.

#include <QByteArray>
#include <QString>
#include <vector>

struct SampleText {
    std::vector<float> x; // empty unless the lines hold pairs
    std::vector<float> y;
    bool hasPairs = false;
};

// Parses `text`. `allowPairs` false accepts single values only. Every line
// must have the same number of values. On a bad line returns false with
// "line N: ..." in `error` (N counted from 1).
bool ParseSampleText(const QByteArray& text, bool allowPairs, SampleText* samples, QString* error);

// Reads and parses a file; the error then starts with the file name.
bool ReadSampleFile(const QString& path, bool allowPairs, SampleText* samples, QString* error);

#pragma once
// The histogram graph of the brightness, contrast, gamma and RGB frames:
// counts of bins 0..254 drawn as filled areas on a black background.

#include <QColor>
#include <QList>
#include <array>
#include <qcustomplot.h>

class HistogramGraph : public QCustomPlot {
    Q_OBJECT
public:
    explicit HistogramGraph(QWidget* parent = nullptr);

    // Once, when the frame is made: no titles, area plotting, one colour per
    // subset (subset 0 is the first curve of a mode).
    void InitHistogramGraph(const QList<QColor>& subsetColours);

    // Mode 0 plots the luma histogram, 1, 2, 3 the red, green or blue one,
    // 4 red, green and blue together. Bin 255 is not shown.
    void ShowHistograms(const std::array<int, 256>& red, const std::array<int, 256>& green,
                        const std::array<int, 256>& blue, const std::array<int, 256>& luma, int mode);

private:
    QList<QColor> m_colours;
};

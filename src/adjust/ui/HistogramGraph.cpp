#include "adjust/ui/HistogramGraph.h"

HistogramGraph::HistogramGraph(QWidget* parent)
    : QCustomPlot(parent)
{
    const QColor lime(0, 255, 0);
    setBackground(Qt::black);
    for (QCPAxis* axis : {xAxis, yAxis}) {
        axis->setBasePen(QPen(lime));
        axis->setTickPen(QPen(lime));
        axis->setSubTickPen(QPen(lime));
        axis->setTickLabelColor(lime);
        axis->setLabelColor(lime);
        axis->grid()->setPen(QPen(QColor(0, 90, 0), 0, Qt::DotLine));
    }
    xAxis->setRange(0, 254);
    yAxis->setRange(0, 1);
    setMinimumHeight(120);
}

void HistogramGraph::InitHistogramGraph(const QList<QColor>& subsetColours)
{
    m_colours = subsetColours;
    clearGraphs(); // the plot has no title rows unless one is added
}

void HistogramGraph::ShowHistograms(const std::array<int, 256>& red, const std::array<int, 256>& green,
                                    const std::array<int, 256>& blue, const std::array<int, 256>& luma,
                                    int mode)
{
    QList<const std::array<int, 256>*> subsets;
    switch (mode) {
    case 0: subsets = {&luma}; break;
    case 1: subsets = {&red}; break;
    case 2: subsets = {&green}; break;
    case 3: subsets = {&blue}; break;
    case 4: subsets = {&red, &green, &blue}; break;
    default: return;
    }
    clearGraphs();
    QVector<double> bins(255);
    for (int i = 0; i < 255; ++i)
        bins[i] = i;
    int highest = 1;
    for (int s = 0; s < subsets.size(); ++s) {
        QVector<double> counts(255);
        for (int i = 0; i < 255; ++i) {
            counts[i] = (*subsets[s])[size_t(i)];
            highest = std::max(highest, (*subsets[s])[size_t(i)]);
        }
        QCPGraph* graph = addGraph();
        const QColor colour = s < m_colours.size() ? m_colours[s] : QColor(Qt::white);
        QColor fill = colour;
        fill.setAlpha(subsets.size() > 1 ? 90 : 160);
        graph->setPen(QPen(colour));
        graph->setBrush(QBrush(fill)); // area plotting
        graph->setData(bins, counts, true);
    }
    yAxis->setRange(0, highest);
    replot();
}

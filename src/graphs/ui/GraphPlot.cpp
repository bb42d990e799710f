#include "graphs/ui/GraphPlot.h"

#include "graphs/GraphLayout.h"
#include "graphs/ui/EnvelopeGraph.h"

#include <QFileInfo>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

namespace {

QColor ColourOf(uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

double PlotValue(float v)
{
    return IsGraphNull(v) ? qQNaN() : double(v);
}

// Channels against time have X that never goes back; they are drawn as a
// graph (sorted keys, adaptive sampling). Anything else is a curve.
bool XNeverDecreases(const TABChannel& c)
{
    float last = -std::numeric_limits<float>::infinity();
    const int n = c.sampleCount();
    for (int i = 0; i < n; ++i) {
        const float x = c.XData[size_t(i)];
        if (IsGraphNull(x))
            continue;
        if (x < last)
            return false;
        last = x;
    }
    return true;
}

const char* const kCursorLayer = "cursor";

} // namespace

GraphPlot::GraphPlot(QWidget* parent)
    : QCustomPlot(parent)
{
    setAccessibleName(QStringLiteral("Graph"));
    addLayer(QLatin1String(kCursorLayer), layer(QStringLiteral("overlay")), QCustomPlot::limBelow);
    layer(QLatin1String(kCursorLayer))->setMode(QCPLayer::lmBuffered);
    setNoAntialiasingOnDrag(true);
    setSelectionTolerance(6);
    Rebuild({}, QString(), false);
}

void GraphPlot::Rebuild(const std::vector<TABChannel>& channels, const QString& title, bool keepXRange)
{
    const QCPRange oldX = m_rects.empty() ? QCPRange() : m_rects.front().rect->axis(QCPAxis::atBottom)->range();
    clearItems();
    clearPlottables();
    plotLayout()->clear();
    m_rects.clear();
    m_plottables.clear();
    m_channelAxis.clear();
    m_cursorChannel = -1;
    m_cursorSample = -1;
    m_cursorPoint = QPointF(qQNaN(), qQNaN());
    delete m_margins;
    m_margins = new QCPMarginGroup(this);

    m_title = new QCPTextElement(this, title, QFont(font().family(), 10, QFont::Bold));
    plotLayout()->addElement(0, 0, m_title);

    std::vector<QString> units;
    for (const TABChannel& c : channels)
        units.push_back(c.YUnits);
    const AxisGrouping grouping = GroupAxesByUnit(units);
    const int rectCount = std::max(1, grouping.axisCount);
    for (int i = 0; i < rectCount; ++i) {
        auto* rect = new QCPAxisRect(this);
        plotLayout()->addElement(i + 1, 0, rect);
        rect->setMarginGroup(QCP::msLeft | QCP::msRight, m_margins);
        QCPAxis* left = rect->axis(QCPAxis::atLeft);
        QCPAxis* right = rect->axis(QCPAxis::atRight);
        QCPAxis* bottom = rect->axis(QCPAxis::atBottom);
        left->setLabel(i < grouping.axisCount ? grouping.leftUnits[size_t(i)] : QString());
        const bool hasRight = i < grouping.axisCount && !grouping.rightUnits[size_t(i)].isEmpty();
        right->setVisible(hasRight);
        if (hasRight)
            right->setLabel(grouping.rightUnits[size_t(i)]);
        connect(bottom, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, &GraphPlot::syncX);
        rect->setRangeDragAxes({bottom}, {left, right});
        rect->setRangeZoomAxes({bottom}, {left, right});

        Rect r;
        r.rect = rect;
        r.line = new QCPItemStraightLine(this);
        r.line->setLayer(QLatin1String(kCursorLayer));
        r.line->setClipAxisRect(rect);
        r.line->point1->setAxes(bottom, left);
        r.line->point2->setAxes(bottom, left);
        r.line->setPen(QPen(QColor(0, 0, 0, 170), 1, Qt::DashLine));
        r.line->setVisible(false);
        r.line->setSelectable(false);
        r.tracer = new QCPItemTracer(this);
        r.tracer->setLayer(QLatin1String(kCursorLayer));
        r.tracer->setClipAxisRect(rect);
        r.tracer->position->setAxes(bottom, left);
        r.tracer->setVisible(false);
        r.tracer->setSelectable(false);
        m_rects.push_back(r);
    }
    if (!channels.empty())
        m_rects.back().rect->axis(QCPAxis::atBottom)->setLabel(channels.back().XUnits);
    m_legend = new QCPLegend;
    m_rects.front().rect->insetLayout()->addElement(m_legend, Qt::AlignTop | Qt::AlignRight);
    m_legend->setLayer(QStringLiteral("legend"));
    m_legend->setVisible(false);
    m_legend->setBrush(QColor(255, 255, 255, 220));

    for (size_t c = 0; c < channels.size(); ++c) {
        const TABChannel& ch = channels[c];
        const AxisPlace place = grouping.places[c];
        QCPAxisRect* rect = m_rects[size_t(place.axis)].rect;
        QCPAxis* keyAxis = rect->axis(QCPAxis::atBottom);
        QCPAxis* valueAxis = rect->axis(place.right ? QCPAxis::atRight : QCPAxis::atLeft);
        const int n = ch.sampleCount();
        QCPAbstractPlottable* plottable = nullptr;
        if (XNeverDecreases(ch)) {
            QVector<QCPGraphData> data(n);
            double lastKey = n > 0 ? double((long double)ch.StartTime) : 0.0;
            for (int i = 0; i < n; ++i) {
                const float x = ch.XData[size_t(i)];
                const double key = IsGraphNull(x) ? lastKey : double(x);
                data[i] = QCPGraphData(key, IsGraphNull(x) ? qQNaN() : PlotValue(ShownY(ch, ch.YData[size_t(i)])));
                lastKey = key;
            }
            auto* graph = new EnvelopeGraph(keyAxis, valueAxis);
            graph->data()->set(data, true);
            graph->setAdaptiveSampling(true);
            graph->IndexData();
            plottable = graph;
        } else {
            QVector<QCPCurveData> data(n);
            for (int i = 0; i < n; ++i)
                data[i] = QCPCurveData(i, PlotValue(ch.XData[size_t(i)]), PlotValue(ShownY(ch, ch.YData[size_t(i)])));
            auto* curve = new QCPCurve(keyAxis, valueAxis);
            curve->data()->set(data, true);
            plottable = curve;
        }
        plottable->setName(ch.Title);
        plottable->setPen(QPen(ColourOf(ch.Colour), 1));
        plottable->setSelectable(QCP::stNone);
        plottable->addToLegend(m_legend);
        m_plottables.push_back(plottable);
        m_channelAxis.push_back(place.axis);
    }

    for (auto it = m_labels.constBegin(); it != m_labels.constEnd(); ++it)
        if (QCPAxis* axis = axisFor(it.key()))
            axis->setLabel(it.value());
    rescaleAuto();
    if (keepXRange && oldX.size() > 0)
        syncX(oldX);
    SetZoomScrolling(m_zoomScrolling);
    replot();
}

void GraphPlot::SetTitle(const QString& title)
{
    if (m_title)
        m_title->setText(title);
}

int GraphPlot::ChannelOf(const QCPAbstractPlottable* plottable) const
{
    const auto it = std::find(m_plottables.begin(), m_plottables.end(), plottable);
    return it == m_plottables.end() ? -1 : int(it - m_plottables.begin());
}

int GraphPlot::AxisOfChannel(int channel) const
{
    return channel >= 0 && channel < int(m_channelAxis.size()) ? m_channelAxis[size_t(channel)] : -1;
}

// ---------------------------------------------------------------- cursor

void GraphPlot::SetCursorShape(CursorShape shape)
{
    m_cursorShape = shape;
    placeCursor();
}

void GraphPlot::ShowCursor(int channel, int sample, double x, double y)
{
    m_cursorChannel = channel;
    m_cursorSample = sample;
    m_cursorPoint = QPointF(x, y);
    placeCursor();
}

void GraphPlot::HideCursor()
{
    m_cursorChannel = -1;
    m_cursorSample = -1;
    m_cursorPoint = QPointF(qQNaN(), qQNaN());
    placeCursor();
}

void GraphPlot::placeCursor()
{
    const int axis = AxisOfChannel(m_cursorChannel);
    const bool shown = axis >= 0 && !std::isnan(m_cursorPoint.x());
    QCPAxis* valueAxis = nullptr;
    if (shown)
        valueAxis = m_plottables[size_t(m_cursorChannel)]->valueAxis();
    for (size_t i = 0; i < m_rects.size(); ++i) {
        Rect& r = m_rects[i];
        const bool lineHere = shown && (m_cursorShape == CursorShape::Line || int(i) != axis);
        r.line->setVisible(lineHere);
        if (lineHere) {
            r.line->point1->setCoords(m_cursorPoint.x(), 0);
            r.line->point2->setCoords(m_cursorPoint.x(), 1);
        }
        // A vertical line alone does not say where on a curve (an X/Y track
        // or a cross plot) the sample lies: a box marks it as well.
        const bool onCurve = shown && qobject_cast<QCPCurve*>(m_plottables[size_t(m_cursorChannel)]);
        const bool tracerHere = shown && int(i) == axis && (m_cursorShape != CursorShape::Line || onCurve)
                                && !std::isnan(m_cursorPoint.y());
        r.tracer->setVisible(tracerHere);
        if (tracerHere) {
            r.tracer->position->setAxes(r.rect->axis(QCPAxis::atBottom), valueAxis);
            r.tracer->position->setCoords(m_cursorPoint);
            if (m_cursorShape == CursorShape::Cross) {
                r.tracer->setStyle(QCPItemTracer::tsCrosshair);
                r.tracer->setPen(QPen(QColor(0, 0, 0, 170), 1, Qt::DashLine));
                r.tracer->setBrush(Qt::NoBrush);
            } else {
                r.tracer->setStyle(QCPItemTracer::tsSquare);
                r.tracer->setSize(11);
                r.tracer->setPen(QPen(Qt::black, 1));
                r.tracer->setBrush(QColor(0, 0, 0, 110));
            }
        }
    }
    // Only the cursor layer is drawn again, unless the plot needs a full
    // replot anyway.
    if (NeedsFullReplot())
        replot(QCustomPlot::rpQueuedReplot);
    else
        layer(QLatin1String(kCursorLayer))->replot();
}

// ---------------------------------------------------------------- zoom and axes

void GraphPlot::SetZoomEnabled(bool on)
{
    setSelectionRectMode(on ? QCP::srmZoom : QCP::srmNone);
}

void GraphPlot::SetZoomScrolling(bool on)
{
    m_zoomScrolling = on;
    setInteraction(QCP::iRangeDrag, on);
    setInteraction(QCP::iRangeZoom, on);
}

void GraphPlot::UndoZoom()
{
    rescaleAuto();
    replot();
}

void GraphPlot::syncX(const QCPRange& range)
{
    if (m_syncing)
        return;
    m_syncing = true;
    for (const Rect& r : m_rects)
        r.rect->axis(QCPAxis::atBottom)->setRange(range);
    m_syncing = false;
}

void GraphPlot::rescaleAuto()
{
    // Every axis follows its data, then the ranges set by hand win.
    bool haveX = false;
    QCPRange x;
    for (QCPAbstractPlottable* p : m_plottables) {
        bool found = false;
        const QCPRange keys = p->getKeyRange(found);
        if (found) {
            x = haveX ? QCPRange(std::min(x.lower, keys.lower), std::max(x.upper, keys.upper)) : keys;
            haveX = true;
        }
    }
    if (haveX) {
        if (x.size() == 0)
            x = QCPRange(x.lower - 1, x.upper + 1);
        syncX(x);
    }
    for (const Rect& r : m_rects)
        for (QCPAxis* axis : {r.rect->axis(QCPAxis::atLeft), r.rect->axis(QCPAxis::atRight)}) {
            axis->rescale(true);
            if (axis->range().size() == 0)
                axis->setRange(axis->range().lower - 1, axis->range().upper + 1);
        }
    for (auto it = m_userAxes.constBegin(); it != m_userAxes.constEnd(); ++it) {
        QCPAxis* axis = axisFor(it.key());
        if (!axis)
            continue;
        if (it->manual) {
            if (it.key() == QLatin1String("x"))
                syncX(QCPRange(it->minimum, it->maximum));
            else
                axis->setRange(it->minimum, it->maximum);
        }
        axis->setLabel(it->label);
    }
}

QString GraphPlot::AxisKey(const QCPAxis* axis) const
{
    for (size_t i = 0; i < m_rects.size(); ++i) {
        const QCPAxisRect* rect = m_rects[i].rect;
        if (axis == rect->axis(QCPAxis::atBottom))
            return QStringLiteral("x");
        if (axis == rect->axis(QCPAxis::atLeft))
            return QStringLiteral("y%1").arg(i);
        if (axis == rect->axis(QCPAxis::atRight))
            return QStringLiteral("ry%1").arg(i);
    }
    return QString();
}

QCPAxis* GraphPlot::axisFor(const QString& key) const
{
    if (m_rects.empty())
        return nullptr;
    if (key == QLatin1String("x"))
        return m_rects.back().rect->axis(QCPAxis::atBottom);
    const bool right = key.startsWith(QLatin1String("ry"));
    bool ok = false;
    const int i = key.mid(right ? 2 : 1).toInt(&ok);
    if (!ok || i < 0 || i >= int(m_rects.size()))
        return nullptr;
    return m_rects[size_t(i)].rect->axis(right ? QCPAxis::atRight : QCPAxis::atLeft);
}

GraphPlot::AxisSetting GraphPlot::CurrentAxisSetting(const QString& key) const
{
    AxisSetting s;
    if (const QCPAxis* axis = axisFor(key)) {
        s.minimum = axis->range().lower;
        s.maximum = axis->range().upper;
        s.label = axis->label();
    }
    s.manual = m_userAxes.value(key).manual;
    return s;
}

void GraphPlot::ApplyAxisSetting(const QString& key, const AxisSetting& setting)
{
    if (!axisFor(key))
        return;
    m_userAxes[key] = setting;
    rescaleAuto();
    replot();
}

void GraphPlot::SetAxisLabel(const QString& key, const QString& label)
{
    m_labels[key] = label;
    if (m_userAxes.contains(key))
        m_userAxes[key].label = label;
    if (QCPAxis* axis = axisFor(key))
        axis->setLabel(label);
}

QString GraphPlot::AxisLabel(const QString& key) const
{
    const QCPAxis* axis = axisFor(key);
    return axis ? axis->label() : QString();
}

void GraphPlot::SetXAutomatic()
{
    if (m_userAxes.contains(QStringLiteral("x")))
        m_userAxes[QStringLiteral("x")].manual = false;
    rescaleAuto();
}

// ---------------------------------------------------------------- output

GraphPlot::ExportLegend::ExportLegend(GraphPlot* p)
    : plot(p)
{
    if (plot->m_legend && plot->m_plottables.size() > 1)
        plot->m_legend->setVisible(true);
    // The time cursor belongs to the screen, not to the picture.
    plot->layer(QLatin1String(kCursorLayer))->setVisible(false);
}

GraphPlot::ExportLegend::~ExportLegend()
{
    if (plot->m_legend)
        plot->m_legend->setVisible(false);
    plot->layer(QLatin1String(kCursorLayer))->setVisible(true);
}

QPixmap GraphPlot::ImageForExport(int width, int height)
{
    ExportLegend legend(this);
    return toPixmap(width, height);
}

bool GraphPlot::SaveImage(const QString& path, int width, int height, QString* error)
{
    ExportLegend legend(this);
    const QString suffix = QFileInfo(path).suffix().toLower();
    bool ok = false;
    if (suffix == QLatin1String("png")) {
        ok = savePng(path, width, height);
    } else if (suffix == QLatin1String("pdf")) {
        ok = savePdf(path, width, height);
    } else if (suffix == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setFileName(path);
        svg.setSize(QSize(width, height));
        svg.setViewBox(QRect(0, 0, width, height));
        svg.setTitle(m_title ? m_title->text() : QString());
        QCPPainter painter;
        if (painter.begin(&svg)) {
            toPainter(&painter, width, height);
            ok = painter.end();
        }
        ok = ok && QFileInfo(path).size() > 0;
    } else {
        if (error)
            *error = QStringLiteral("\"%1\": the image must be .png, .pdf or .svg").arg(path);
        return false;
    }
    if (!ok && error)
        *error = QStringLiteral("Cannot write \"%1\"").arg(path);
    return ok;
}

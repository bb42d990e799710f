#include "adjust/ui/AdjustmentFrame.h"

#include "adjust/ui/HistogramGraph.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QLabel* TitleLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setStyleSheet(QStringLiteral("color: grey; font-family: Tahoma; font-weight: bold;"));
    return label;
}

} // namespace

AdjustmentFrame::AdjustmentFrame(int kind, const QString& title, QSize size, QWidget* parent)
    : QWidget(parent), m_kind(kind)
{
    setWindowTitle(title);
    resize(size);
    setMinimumWidth(size.width());
    m_layout = new QVBoxLayout(this);
    m_layout->addWidget(TitleLabel(title, this));
    setEnabled(false); // until a document is given
}

void AdjustmentFrame::LoadFromVideo(VideoDocument* doc)
{
    m_doc = doc;
    m_entry = nullptr;
    setEnabled(doc != nullptr);
    if (!doc)
        return;
    m_entry = FindEntry(doc->Adjustments, m_kind);
    if (!m_entry) {
        auto entry = std::make_unique<AdjustmentEntry>(NewEntry());
        Q_ASSERT(entry->Kind() == m_kind);
        // Appended last: it acts after every entry that already exists.
        m_entry = doc->AppendEntry(std::move(entry));
    }
    LoadControls(*m_entry);
    ShowHistograms();
}

AdjustmentEntry* AdjustmentFrame::Entry() const
{
    if (!m_doc || !m_entry)
        return nullptr;
    // The entry may have been deleted from the list by someone else since.
    const auto& list = m_doc->Adjustments;
    const bool present = std::any_of(list.begin(), list.end(),
                                     [this](const auto& e) { return e.get() == m_entry; });
    return present ? m_entry : nullptr;
}

void AdjustmentFrame::ShowHistograms()
{
    if (!m_graph || !m_doc || !isVisible())
        return;
    m_graph->ShowHistograms(m_doc->RedHistogram, m_doc->GreenHistogram, m_doc->BlueHistogram,
                            m_doc->LumaHistogram, m_histogramMode);
}

void AdjustmentFrame::Redisplay()
{
    if (!m_doc)
        return;
    m_doc->RequestRender();
    ShowHistograms();
}

HistogramGraph* AdjustmentFrame::AddHistogramGraph(const QList<QColor>& subsetColours, int mode)
{
    m_graph = new HistogramGraph(this);
    m_graph->setObjectName(QStringLiteral("PEGraph1"));
    m_graph->InitHistogramGraph(subsetColours);
    m_histogramMode = mode;
    m_layout->addWidget(m_graph, 1);
    return m_graph;
}

AdjustmentFrame::SliderRow AdjustmentFrame::AddSliderRow(const QString& label, const QString& sliderName,
                                                         const QString& editName, const QString& resetName,
                                                         int minimum, int maximum, int start, int resetValue,
                                                         int shownOffset, WriteValue write)
{
    SliderRow row;
    row.shownOffset = shownOffset;
    if (!label.isEmpty())
        m_layout->addWidget(TitleLabel(label, this));
    auto* line = new QHBoxLayout;
    row.slider = new QSlider(Qt::Horizontal, this);
    row.slider->setObjectName(sliderName);
    row.slider->setRange(minimum, maximum);
    row.slider->setValue(start);
    row.edit = new QLineEdit(QString::number(start - shownOffset), this);
    row.edit->setObjectName(editName);
    row.edit->setValidator(new QIntValidator(minimum - shownOffset, maximum - shownOffset, row.edit));
    row.edit->setMaximumWidth(50);
    row.edit->setStyleSheet(QStringLiteral("color: yellow; background: black; font-family: Tahoma;"));
    row.reset = new QPushButton(tr("Reset"), this);
    row.reset->setObjectName(resetName);
    // Screen readers name the row after its label, else after the frame.
    const QString title = label.isEmpty() ? windowTitle() : label;
    NameSliderRow(row, title.left(1) + title.mid(1).toLower());
    line->addWidget(row.slider, 1);
    line->addWidget(row.edit);
    line->addWidget(row.reset);
    m_layout->addLayout(line);

    auto changed = [this, row, write](int value) {
        row.edit->setText(QString::number(value - row.shownOffset));
        if (m_busy)
            return;
        m_busy = true;
        if (AdjustmentEntry* entry = Entry()) {
            write(*entry, value);
            Redisplay();
        }
        m_busy = false;
    };
    connect(row.slider, &QSlider::valueChanged, this, changed);
    connect(row.reset, &QPushButton::clicked, this, [row, resetValue, changed] {
        // The change procedure runs even when the slider already sits there.
        const QSignalBlocker block(row.slider);
        row.slider->setValue(resetValue);
        changed(resetValue);
    });
    connect(row.edit, &QLineEdit::editingFinished, this, [row] {
        bool ok = false;
        const int shown = row.edit->text().toInt(&ok);
        if (ok)
            row.slider->setValue(shown + row.shownOffset);
        else
            row.edit->setText(QString::number(row.slider->value() - row.shownOffset));
    });
    return row;
}

void AdjustmentFrame::NameSliderRow(const SliderRow& row, const QString& name)
{
    row.slider->setAccessibleName(name);
    row.edit->setAccessibleName(name + tr(" value"));
    row.reset->setAccessibleName(tr("Reset ") + name);
}

void AdjustmentFrame::SetRowValue(const SliderRow& row, int value)
{
    const QSignalBlocker block(row.slider);
    row.slider->setValue(value);
    row.edit->setText(QString::number(row.slider->value() - row.shownOffset));
}

void AdjustmentFrame::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    ShowHistograms(); // the graph was not kept up to date while hidden
}

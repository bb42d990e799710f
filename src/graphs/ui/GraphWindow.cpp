#include "graphs/ui/GraphWindow.h"

#include "export/FileNames.h"
#include "graphs/CfcFilter.h"
#include "graphs/GraphLayout.h"
#include "graphs/GraphSpreadsheet.h"
#include "graphs/ThisFile.h"
#include "graphs/ui/ChannelListModel.h"
#include "graphs/ui/GraphDialogs.h"
#include "graphs/ui/GraphMessages.h"
#include "graphs/ui/LegendBox.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDrag>
#include <QFontDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollArea>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QPointer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char* const kChannelMime = "application/x-qorplayer-graph-channels";

std::vector<TABgraph*>& liveWindows()
{
    static std::vector<TABgraph*> windows;
    return windows;
}

QColor colourOf(uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

// The sending window of a drag, when it is still open.
TABgraph* senderOf(const QMimeData* mime)
{
    if (!mime || !mime->hasFormat(QLatin1String(kChannelMime)))
        return nullptr;
    const quintptr id = mime->data(QLatin1String(kChannelMime)).toULongLong();
    for (TABgraph* w : liveWindows())
        if (quintptr(w) == id)
            return w;
    return nullptr;
}

} // namespace

TABgraph::TABgraph(QWidget* owner)
    : QWidget(owner, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("AirBagGraph"));
    liveWindows().push_back(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildToolBar());
    m_pages = new QTabWidget(this);
    m_pages->setTabPosition(QTabWidget::West);
    m_pages->setAccessibleName(QStringLiteral("Pages"));
    m_pages->addTab(buildGraphPage(), QStringLiteral("Graph View"));
    m_pages->addTab(buildListPage(), QStringLiteral("List View"));
    connect(m_pages, &QTabWidget::currentChanged, this, [this] {
        if (!std::isnan(m_lastTime))
            ShowCursorAt(m_lastTime);
    });
    layout->addWidget(m_pages, 1);
    LoadGraphDefaults();
    RebuildGraph();
}

TABgraph::~TABgraph()
{
    auto& windows = liveWindows();
    windows.erase(std::remove(windows.begin(), windows.end(), this), windows.end());
}

const std::vector<TABgraph*>& TABgraph::LiveWindows()
{
    return liveWindows();
}

void TABgraph::LoadGraphDefaults()
{
    resize(720, 440);
    m_dataDecimals = 2;
    SetCursorShape(GraphPlot::CursorShape::Line);
}

// ---------------------------------------------------------------- building

QWidget* TABgraph::buildToolBar()
{
    // Two rows, so that every button shows in a window of ordinary width:
    // output and zoom above, editing and the cursor below.
    auto* bars = new QWidget(this);
    auto* rows = new QVBoxLayout(bars);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    QToolBar* bar = nullptr;
    const auto newRow = [&](const char* name, const QString& accessible) {
        bar = new QToolBar(bars);
        bar->setObjectName(QLatin1String(name));
        bar->setAccessibleName(accessible);
        bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
        rows->addWidget(bar);
    };
    // `text` is the button's label; `hint` its tool tip and accessible name.
    const auto add = [this, &bar](const char* name, const QString& text, const QString& hint, auto slot,
                                  bool checkable = false) {
        auto* action = bar->addAction(text);
        action->setObjectName(QLatin1String(name));
        action->setToolTip(hint);
        action->setCheckable(checkable);
        connect(action, &QAction::triggered, this, slot);
        auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
        button->setObjectName(QLatin1String(name));
        button->setAccessibleName(hint);
        return button;
    };
    newRow("ToolBar1", QStringLiteral("Graph output and zoom"));
    add("ToolButton1", QStringLiteral("Export"), QStringLiteral("Export Graph"), [this] { ExportGraph(); });
    add("ToolButton2", QStringLiteral("Copy"), QStringLiteral("Copy Image to Clipboard"),
        [this] { CopyImageToClipboard(); });
    add("ExportCSV", QStringLiteral("T/HIS"), QStringLiteral("Save T/HIS"), [this] { ExportThis(); });
    add("ExportXL", QStringLiteral("Spreadsheet"), QStringLiteral("Save Spreadsheet"), [this] { ExportSpreadsheet(); });
    bar->addSeparator();
    add("ToolButton3", QStringLiteral("Zoom"), QStringLiteral("Enable Zoom"), [this](bool on) {
        m_zoomEnabled = on;
        m_plot->SetZoomEnabled(on);
    }, true);
    add("ToolButton4", QStringLiteral("Unzoom"), QStringLiteral("Undo Zoom"), [this] { m_plot->UndoZoom(); });
    add("ToolButton8", QStringLiteral("Scroll"), QStringLiteral("Zoom Scrolling"),
        [this](bool on) { m_plot->SetZoomScrolling(on); }, true);
    bar->addSeparator();
    add("ToolButton9", QStringLiteral("Font"), QStringLiteral("List Font"), [this] { chooseListFont(); });

    newRow("ToolBar2", QStringLiteral("Graph editing and cursor"));
    add("ToolButton7", QStringLiteral("Invert"), QStringLiteral("Invert"), [this] { Invert(); });
    add("ToolButton13", QStringLiteral("Rescale"), QStringLiteral("Rescale"), [this] { Rescale(); });
    bar->addSeparator();
    for (int cfc : kCfcClasses) {
        const QString text = QStringLiteral("CFC %1").arg(cfc);
        const QByteArray name = QStringLiteral("CFC%1Button").arg(cfc).toLatin1();
        QToolButton* button = add(name.constData(), text, text, [this, cfc] { ApplyCfcClass(cfc); });
        button->setProperty("tag", cfc);
    }
    bar->addSeparator();
    const GraphPlot::CursorShape shapes[3] = {GraphPlot::CursorShape::Line, GraphPlot::CursorShape::Cross,
                                              GraphPlot::CursorShape::Square};
    const char* names[3] = {"cursorlinebut", "cursorcrossbut", "cursoesquarebut"};
    const QString texts[3] = {QStringLiteral("Line"), QStringLiteral("Cross"), QStringLiteral("Box")};
    for (int i = 0; i < 3; ++i)
        m_cursorButtons[i] = add(names[i], texts[i], QStringLiteral("Cursor ") + texts[i],
                                 [this, shape = shapes[i]] { SetCursorShape(shape); }, true);
    return bars;
}

QWidget* TABgraph::buildGraphPage()
{
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    m_plot = new GraphPlot(splitter);
    m_plot->setObjectName(QStringLiteral("PESGraph1"));
    m_plot->setAcceptDrops(true);
    m_plot->installEventFilter(this);
    connect(m_plot, &QCustomPlot::plottableClick, this, &TABgraph::dataPointClicked);
    connect(m_plot, &QCustomPlot::plottableDoubleClick, this, &TABgraph::dataPointClicked);
    connect(m_plot, &QCustomPlot::axisDoubleClick, this,
            [this](QCPAxis* axis, QCPAxis::SelectablePart, QMouseEvent*) { axisDoubleClicked(axis); });

    auto* right = new QWidget(splitter);
    right->setObjectName(QStringLiteral("Rightpannel"));
    right->setAccessibleName(QStringLiteral("Legend"));
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(1, 1, 1, 1);
    auto* caption = new QLabel(QStringLiteral("Legend"), right);
    caption->setAlignment(Qt::AlignCenter);
    rightLayout->addWidget(caption);
    auto* scroll = new QScrollArea(right);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    m_legendPanel = new QWidget(scroll);
    m_legendLayout = new QVBoxLayout(m_legendPanel);
    m_legendLayout->setContentsMargins(0, 0, 0, 0);
    m_legendLayout->setSpacing(2);
    m_legendLayout->addStretch(1);
    scroll->setWidget(m_legendPanel);
    rightLayout->addWidget(scroll, 1);
    m_trashCan = new QLabel(right);
    m_trashCan->setObjectName(QStringLiteral("trashCan"));
    m_trashCan->setAccessibleName(QStringLiteral("Trash can"));
    m_trashCan->setToolTip(QStringLiteral("Drop a selected channel here to remove it"));
    m_trashCan->setPixmap(style()->standardIcon(QStyle::SP_TrashIcon).pixmap(32, 32));
    m_trashCan->setAlignment(Qt::AlignCenter);
    m_trashCan->setAcceptDrops(true);
    m_trashCan->installEventFilter(this);
    rightLayout->addWidget(m_trashCan);
    splitter->addWidget(m_plot);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 1);
    splitter->setSizes({560, 150});
    return splitter;
}

QWidget* TABgraph::buildListPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* left = new QVBoxLayout;
    m_chanLabel = new QLabel(page);
    m_chanLabel->setObjectName(QStringLiteral("Chanlabel"));
    left->addWidget(m_chanLabel);
    m_listModel = new ChannelListModel(this);
    m_table = new QTableView(page);
    m_table->setObjectName(QStringLiteral("StringGrid1"));
    m_table->setAccessibleName(QStringLiteral("Samples"));
    m_table->setModel(m_listModel);
    m_table->verticalHeader()->setDefaultSectionSize(24);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    left->addWidget(m_table, 1);
    layout->addLayout(left, 1);
    m_listBoxPanel = new QWidget(page);
    m_listBoxPanel->setObjectName(QStringLiteral("Panel1"));
    m_listBoxPanel->setFixedWidth(28);
    m_listBoxLayout = new QVBoxLayout(m_listBoxPanel);
    m_listBoxLayout->setContentsMargins(1, 1, 1, 1);
    m_listBoxLayout->setSpacing(2);
    m_listBoxLayout->addStretch(1);
    layout->addWidget(m_listBoxPanel);
    return page;
}

// ---------------------------------------------------------------- channels

void TABgraph::AddChannel(TABChannel channel)
{
    std::vector<TABChannel> one;
    one.push_back(std::move(channel));
    AddChannels(std::move(one));
}

void TABgraph::AddChannels(std::vector<TABChannel> channels)
{
    if (channels.empty())
        return;
    for (TABChannel& c : channels) {
        std::vector<uint32_t> others;
        for (const TABChannel& o : m_channels)
            others.push_back(o.Colour);
        c.Colour = kGraphColours[ChannelColourIndex(int(m_channels.size()) + 1, others)];
        // A channel without X values is plotted against its sample numbers' zeros.
        if (c.XData.empty()) {
            const size_t n = size_t(std::max(0, int(c.PointCount)));
            c.XData.assign(n, 0.0f);
            c.YData.resize(n, 0.0f);
        }
        m_maxPoints = std::max(m_maxPoints, int(c.PointCount));
        m_channels.push_back(std::move(c));
    }
    std::stable_sort(m_channels.begin(), m_channels.end(), ChannelSortsBefore);
    afterChannelsChanged();
}

void TABgraph::RemoveChannel(int index)
{
    if (index < 0 || index >= int(m_channels.size()))
        return;
    m_channels.erase(m_channels.begin() + index);
    afterChannelsChanged();
}

void TABgraph::afterChannelsChanged()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    showTitles();
    RebuildGraph();
    ShowChannelList(0);
    QGuiApplication::restoreOverrideCursor();
}

QString TABgraph::MainTitle() const
{
    return windowTitle();
}

void TABgraph::SetMainTitle(const QString& title)
{
    setWindowTitle(title);
    m_plot->SetTitle(title);
}

void TABgraph::showTitles()
{
    if (m_crossPlotted && m_channels.size() == 1)
        setWindowTitle(QStringLiteral("User Cross Plotted"));
    else if (m_channels.size() == 1)
        setWindowTitle(m_channels.front().Title);
    else if (!m_channels.empty())
        setWindowTitle(QStringLiteral("Lumetra Graph"));
    m_plot->SetTitle(windowTitle());
}

void TABgraph::RebuildGraph()
{
    m_cursorChannel = 0;
    m_plot->Rebuild(m_channels, MainTitle(), m_crossPlotted);
    rebuildLegend();
    if (!std::isnan(m_lastTime))
        ShowCursorAt(m_lastTime);
}

void TABgraph::rebuildLegend()
{
    for (LegendBox* box : m_legend)
        delete box;
    m_legend.clear();
    for (QFrame* box : m_listBoxes)
        delete box;
    m_listBoxes.clear();
    for (size_t c = 0; c < m_channels.size(); ++c) {
        const TABChannel& ch = m_channels[c];
        auto* box = new LegendBox(int(c), colourOf(ch.Colour), ch.Title, m_legendPanel);
        box->SetReadout(QStringLiteral(" Y:0.0 ") + ch.YUnits, QStringLiteral("X:0.0 ") + ch.XUnits);
        connect(box, &LegendBox::pressed, this, &TABgraph::PressLegend);
        m_legendLayout->insertWidget(int(c), box);
        m_legend.push_back(box);

        auto* listBox = new QFrame(m_listBoxPanel);
        listBox->setFixedSize(24, 20);
        listBox->setAutoFillBackground(true);
        QPalette p = listBox->palette();
        p.setColor(QPalette::Window, colourOf(ch.Colour));
        listBox->setPalette(p);
        listBox->setToolTip(ch.Title);
        listBox->setAccessibleName(QStringLiteral("List ") + ch.Title);
        listBox->setProperty("channel", int(c));
        listBox->installEventFilter(this);
        m_listBoxLayout->insertWidget(int(c), listBox);
        m_listBoxes.push_back(listBox);
    }
}

void TABgraph::ShowChannelList(int index)
{
    if (index < 0 || index >= int(m_channels.size()))
        index = 0;
    const TABChannel* channel = m_channels.empty() ? nullptr : &m_channels[size_t(index)];
    m_chanLabel->setText(channel ? channel->Title : QString());
    m_listModel->SetChannel(channel);
    m_listModel->setProperty("channel", channel ? index : -1);
    for (size_t c = 0; c < m_listBoxes.size(); ++c)
        m_listBoxes[c]->setFrameStyle(QFrame::Panel | (int(c) == index ? QFrame::Sunken : QFrame::Raised));
}

int TABgraph::ListedChannel() const
{
    return m_listModel->property("channel").toInt();
}

// ---------------------------------------------------------------- selection and cursor

int TABgraph::SelectedCount() const
{
    return int(std::count_if(m_legend.begin(), m_legend.end(), [](const LegendBox* b) { return b->IsSelected(); }));
}

bool TABgraph::IsSelected(int index) const
{
    return index >= 0 && index < int(m_legend.size()) && m_legend[size_t(index)]->IsSelected();
}

void TABgraph::PressLegend(int index, Qt::MouseButton button)
{
    if (index < 0 || index >= int(m_legend.size()))
        return;
    const bool on = !m_legend[size_t(index)]->IsSelected();
    m_legend[size_t(index)]->SetSelected(on);
    if (button == Qt::LeftButton)
        for (size_t c = 0; c < m_legend.size(); ++c)
            if (int(c) != index)
                m_legend[c]->SetSelected(false);
    m_cursorChannel = index;
    if (!std::isnan(m_lastTime))
        ShowCursorAt(m_lastTime);
}

void TABgraph::ShowCursorAt(double t)
{
    m_lastTime = t;
    if (m_channels.empty())
        return;
    if (m_cursorChannel < 0 || m_cursorChannel >= int(m_channels.size()))
        m_cursorChannel = 0;
    const TABChannel& cursor = m_channels[size_t(m_cursorChannel)];
    const std::optional<int> best = SampleAtTime(t, cursor.StartTime, cursor.SampleInterval, cursor.sampleCount());
    if (best) {
        const float x = cursor.XData[size_t(*best)];
        const float y = ShownY(cursor, cursor.YData[size_t(*best)]);
        m_plot->ShowCursor(m_cursorChannel, *best, IsGraphNull(x) ? qQNaN() : double(x),
                           IsGraphNull(y) ? qQNaN() : double(y));
    } else if (m_plot->CursorSample() >= 0) {
        m_plot->HideCursor();
    }
    for (size_t c = 0; c < m_channels.size() && c < m_legend.size(); ++c) {
        const Readout r = ChannelReadout(m_channels[c], t, m_dataDecimals);
        m_legend[c]->SetReadout(r.y, r.x);
    }
    // The table follows only while it is shown.
    if (best && m_pages->currentIndex() == 1) {
        const int listed = ListedChannel();
        const int step = listed >= 0 ? std::max(1, int(m_channels[size_t(listed)].PointStep)) : 1;
        const int row = std::min(*best / step, m_listModel->rowCount() - 1);
        if (row >= 0)
            m_table->setCurrentIndex(m_listModel->index(row, 0));
    }
}

QString TABgraph::ReadoutY(int index) const
{
    return index >= 0 && index < int(m_legend.size()) ? m_legend[size_t(index)]->ReadoutY() : QString();
}

QString TABgraph::ReadoutX(int index) const
{
    return index >= 0 && index < int(m_legend.size()) ? m_legend[size_t(index)]->ReadoutX() : QString();
}

void TABgraph::SetCursorShape(GraphPlot::CursorShape shape)
{
    for (int i = 0; i < 3; ++i)
        if (m_cursorButtons[i])
            m_cursorButtons[i]->setChecked(i == int(shape) - 1);
    m_plot->SetCursorShape(shape);
}

void TABgraph::dataPointClicked(QCPAbstractPlottable* plottable, int dataIndex, QMouseEvent* event)
{
    if (m_dragEnding || (event && event->button() != Qt::LeftButton))
        return;
    const int c = m_plot->ChannelOf(plottable);
    if (c < 0 || dataIndex < 0 || dataIndex >= m_channels[size_t(c)].sampleCount())
        return;
    emit timeRequested(TimeOfSample(m_channels[size_t(c)], dataIndex));
}

// ---------------------------------------------------------------- editing

std::vector<int> TABgraph::targetChannels() const
{
    std::vector<int> targets;
    if (m_channels.size() == 1)
        targets.push_back(0);
    else
        for (size_t c = 0; c < m_legend.size(); ++c)
            if (m_legend[c]->IsSelected())
                targets.push_back(int(c));
    return targets;
}

void TABgraph::Invert()
{
    for (int c : targetChannels())
        m_channels[size_t(c)].Inverted ^= 1;
    RebuildGraph();
}

void TABgraph::ApplyCfcClass(int cfc)
{
    const QString xLabel = m_plot->AxisLabel(QStringLiteral("x"));
    const QString yLabel = m_plot->AxisLabel(QStringLiteral("y0"));
    QStringList faults;
    for (int c : targetChannels()) {
        TABChannel& ch = m_channels[size_t(c)];
        if (!ApplyCfc(ch, cfc, &faults))
            continue;
        if (!m_crossPlotted)
            ch.Title = ChannelText(CfcTitle(ch.Title, cfc));
        ShowChannelList(c);
    }
    showTitles();
    RebuildGraph();
    if (m_crossPlotted) {
        m_plot->SetAxisLabel(QStringLiteral("x"), xLabel + QStringLiteral(": CFC%1").arg(cfc));
        m_plot->SetAxisLabel(QStringLiteral("y0"), yLabel + QStringLiteral(": CFC%1").arg(cfc));
    }
    m_plot->replot();
    if (!faults.isEmpty())
        ShowGraphError(this, faults.join(QLatin1Char('\n')));
}

void TABgraph::Rescale()
{
    for (int c : targetChannels()) {
        TABChannel& ch = m_channels[size_t(c)];
        TScaleGraphFrm dialog(ch.Title, ch.XUnits, ch.YUnits, this);
        if (dialog.exec() == QDialog::Accepted)
            RescaleChannel(ch, dialog.XAxUnit->text(), RescaleFactor(dialog.XAxMulti->text()),
                           dialog.YAxUnit->text(), RescaleFactor(dialog.YAxMulti->text()));
        ShowChannelList(c);
    }
    RebuildGraph();
}

void TABgraph::axisDoubleClicked(QCPAxis* axis)
{
    const QString key = m_plot->AxisKey(axis);
    if (key.isEmpty())
        return;
    const GraphPlot::AxisSetting current = m_plot->CurrentAxisSetting(key);
    TSetAxisFrm dialog(current.manual, current.minimum, current.maximum, current.label, 7, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    GraphPlot::AxisSetting setting;
    setting.manual = dialog.manual();
    setting.minimum = std::min(dialog.minimum(), dialog.maximum());
    setting.maximum = std::max(dialog.minimum(), dialog.maximum());
    setting.label = dialog.label();
    if (setting.manual && !(setting.maximum > setting.minimum)) {
        ShowGraphError(this, QStringLiteral("The axis maximum must be larger than its minimum"));
        return;
    }
    m_plot->ApplyAxisSetting(key, setting);
}

void TABgraph::chooseListFont()
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, m_table->font(), this, QStringLiteral("List Font"));
    if (ok)
        m_table->setFont(font);
}

// ---------------------------------------------------------------- drag and drop

void TABgraph::DropFrom(TABgraph* sender, bool rightDrag)
{
    if (!sender)
        return;
    if (sender == this) {
        ShowGraphError(this, QStringLiteral("You cannot drop a channel onto it's own graph"));
        return;
    }
    if (rightDrag) {
        CrossPlot(sender);
        return;
    }
    std::vector<TABChannel> copies;
    for (size_t c = 0; c < sender->m_channels.size(); ++c)
        if (sender->IsSelected(int(c)))
            copies.push_back(TABChannel::CopyOf(sender->m_channels[c]));
    AddChannels(std::move(copies));
}

void TABgraph::DropOnTrash(TABgraph* sender)
{
    if (sender != this)
        return;
    if (m_channels.size() < 2) {
        close();
        return;
    }
    for (size_t c = 0; c < m_legend.size(); ++c)
        if (m_legend[c]->IsSelected()) {
            RemoveChannel(int(c));
            return;
        }
}

bool TABgraph::CrossPlot(TABgraph* sender)
{
    const QString refusal = CrossPlotRefusal(int(m_channels.size()), int(sender->m_channels.size()),
                                             m_channels.empty() ? nullptr : &m_channels.front(),
                                             sender->m_channels.empty() ? nullptr : &sender->m_channels.front());
    if (!refusal.isEmpty()) {
        ShowGraphError(this, refusal);
        return false;
    }
    TABChannel& a = m_channels.front();
    const TABChannel& b = sender->m_channels.front();
    CrossPlotChannel(a, b);
    m_crossPlotted = true;
    showTitles();
    m_plot->SetAxisLabel(QStringLiteral("y0"), a.Title + QLatin1Char(' ') + a.YUnits);
    m_plot->SetAxisLabel(QStringLiteral("x"), b.Title + QLatin1Char(' ') + b.YUnits);
    m_plot->Rebuild(m_channels, MainTitle(), false);
    rebuildLegend();
    if (!std::isnan(m_lastTime))
        ShowCursorAt(m_lastTime);
    ShowChannelList(0);
    return true;
}

void TABgraph::startChannelDrag(Qt::MouseButton button)
{
    m_dragArmed = false;
    m_rightDrag = button == Qt::RightButton;
    auto* mime = new QMimeData;
    mime->setData(QLatin1String(kChannelMime), QByteArray::number(quintptr(this)));
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(style()->standardIcon(QStyle::SP_FileIcon).pixmap(24, 24));
    QPointer<GraphPlot> plot = m_plot;
    drag->exec(Qt::CopyAction | Qt::MoveAction);
    // The plot never saw the release (the drag took it): end its own mouse
    // handling so that it does not go on dragging a range.
    if (plot) {
        const QPointF pos = plot->mapFromGlobal(QCursor::pos());
        QMouseEvent release(QEvent::MouseButtonRelease, pos, plot->mapToGlobal(pos), button, Qt::NoButton,
                            Qt::NoModifier);
        // The plot may not have seen the mouse move before the drag took it
        // and would take this release for a click on the pressed sample.
        m_dragEnding = true;
        QCoreApplication::sendEvent(plot, &release);
        m_dragEnding = false;
    }
}

bool TABgraph::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_plot) {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* e = static_cast<QMouseEvent*>(event);
            m_pressPos = e->position().toPoint();
            m_rightDrag = e->button() == Qt::RightButton;
            m_dragArmed = !m_zoomEnabled && SelectedCount() > 0;
            break;
        }
        case QEvent::MouseMove: {
            auto* e = static_cast<QMouseEvent*>(event);
            if (m_dragArmed && e->buttons() != Qt::NoButton
                && (e->position().toPoint() - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
                startChannelDrag(e->buttons() & Qt::RightButton ? Qt::RightButton : Qt::LeftButton);
                return true;
            }
            break;
        }
        case QEvent::MouseButtonRelease:
            m_dragArmed = false;
            break;
        default:
            break;
        }
    }
    if (watched == m_plot || watched == m_trashCan) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* e = static_cast<QDragMoveEvent*>(event);
            if (senderOf(e->mimeData())) {
                e->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* e = static_cast<QDropEvent*>(event);
            TABgraph* sender = senderOf(e->mimeData());
            if (!sender)
                return false;
            e->acceptProposedAction();
            const bool right = sender->m_rightDrag;
            // After the drag has finished: the drop may close a window.
            QPointer<TABgraph> from = sender;
            if (watched == m_trashCan)
                QTimer::singleShot(0, this, [this, from] { DropOnTrash(from); });
            else
                QTimer::singleShot(0, this, [this, from, right] { DropFrom(from, right); });
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonPress && watched->property("channel").isValid()
        && watched->parent() == m_listBoxPanel) {
        ShowChannelList(watched->property("channel").toInt());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------- exports

void TABgraph::ExportThis()
{
    for (const TABChannel& c : m_channels) {
        const QString name = AskGraphSaveFileName(this, QStringLiteral("Save ") + c.Title + QStringLiteral(" as..."),
                                                  QStringLiteral("Time History T/HIS (*.dat)"), QStringLiteral("dat"));
        if (name.isEmpty()) {
            ShowGraphInformation(this, QStringLiteral("Save of ") + c.Title + QStringLiteral(" Cancelled"));
            continue;
        }
        if (!IsValidFileName(name, false)) {
            ShowGraphError(this, QStringLiteral("Filename not valid"));
            return;
        }
        QString error;
        if (!WriteThisFile(c, name, &error)) {
            ShowGraphError(this, error);
            return;
        }
    }
}

void TABgraph::ExportSpreadsheet()
{
    if (m_channels.empty())
        return;
    const QString name = AskGraphSaveFileName(this, QStringLiteral("Save Spreadsheet"),
                                              QStringLiteral("Excel Workbook (*.xlsx)"), QStringLiteral("xlsx"));
    if (name.isEmpty())
        return;
    if (!IsValidFileName(name, false)) {
        ShowGraphError(this, QStringLiteral("Filename not valid"));
        return;
    }
    std::vector<const TABChannel*> channels;
    for (const TABChannel& c : m_channels)
        channels.push_back(&c);
    QString error;
    if (!WriteGraphSpreadsheet(name, MainTitle(), channels, &error)) {
        ShowGraphError(this, error);
        return;
    }
    // The desktop's spreadsheet program shows it, as a new workbook would be;
    // without one the user still learns where it went.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")
        && !QDesktopServices::openUrl(QUrl::fromLocalFile(name)))
        ShowGraphInformation(this, name + QStringLiteral(" Saved"));
}

void TABgraph::CopyImageToClipboard()
{
    QGuiApplication::clipboard()->setPixmap(m_plot->ImageForExport(800, 600));
}

void TABgraph::ExportGraph()
{
    const QString name = AskGraphSaveFileName(
        this, QStringLiteral("Export Graph"),
        QStringLiteral("PNG image (*.png);;PDF document (*.pdf);;SVG drawing (*.svg)"), QStringLiteral("png"));
    if (name.isEmpty())
        return;
    const QSize size = m_plot->size().expandedTo(QSize(200, 150));
    QString error;
    if (!m_plot->SaveImage(name, size.width(), size.height(), &error))
        ShowGraphError(this, error);
}

void TABgraph::closeEvent(QCloseEvent* event)
{
    emit closing(this);
    event->accept();
}

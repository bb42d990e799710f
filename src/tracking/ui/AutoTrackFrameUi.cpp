// The controls of the tracking frame and their wiring. The behaviour behind
// them is in AutoTrackFrame.cpp (points, run) and TrackingResults.cpp.

#include "tracking/ui/AutoTrackFrame.h"

#include "document/VideoDocument.h"
#include "tracking/ui/TrackingIcons.h"
#include "tracking/ui/TrackingViewTool.h"
#include "tracking/ui/TrackingZoomView.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

template <typename Button>
Button* Named(Button* button, const char* objectName, const QString& text, const QString& hint)
{
    button->setObjectName(QString::fromLatin1(objectName));
    if (!text.isEmpty())
        button->setText(text);
    if (!hint.isEmpty())
        button->setToolTip(hint);
    button->setAccessibleName(hint.isEmpty() ? text : hint);
    return button;
}

QToolButton* MakeTool(QWidget* parent, const char* objectName, const QString& text, const QString& hint,
                  bool checkable = false)
{
    auto* b = Named(new QToolButton(parent), objectName, text, hint);
    b->setCheckable(checkable);
    b->setAutoRaise(false);
    return b;
}

QPushButton* Push(QWidget* parent, const char* objectName, const QString& text, const QString& hint)
{
    return Named(new QPushButton(parent), objectName, text, hint);
}

QLabel* Label(QWidget* parent, const char* objectName, const QString& text = {})
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setAccessibleName(QString::fromLatin1(objectName));
    return label;
}

} // namespace

void TAutoTRackFrame::buildControls()
{
    setObjectName(QStringLiteral("AutoTRackFrame"));
    setAccessibleName(QStringLiteral("Tracking"));
    setMinimumSize(306, 481);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(3);

    ZoomComboEx = new QComboBox(this);
    ZoomComboEx->setObjectName(QStringLiteral("ZoomComboEx"));
    ZoomComboEx->setAccessibleName(QStringLiteral("Current point"));
    ZoomComboEx->addItem(QString());
    layout->addWidget(ZoomComboEx);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setAccessibleName(QStringLiteral("Tracking pages"));
    PageControl1->addTab(buildTrackingPage(), QStringLiteral("Tracking"));
    PageControl1->addTab(buildResultsPage(), QStringLiteral("Results"));
    layout->addWidget(PageControl1, 1);

    MakeIdleTimer = new QTimer(this);
    MakeIdleTimer->setObjectName(QStringLiteral("MakeIdleTimer"));
    MakeIdleTimer->setSingleShot(true);
}

QWidget* TAutoTRackFrame::buildTrackingPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->setSpacing(3);

    // The zoom view with its buttons beside it.
    auto* top = new QHBoxLayout;
    auto* zoomHolder = new QWidget(page);
    zoomHolder->setFixedSize(154, 141);
    zoomHolder->setStyleSheet(QStringLiteral("background: #202020;"));
    ImageZoomView = new TrackingZoomView(zoomHolder);
    ImageZoomView->setObjectName(QStringLiteral("ImageZoomView"));
    ImageZoomView->hide();
    top->addWidget(zoomHolder);
    auto* side = new QGridLayout;
    side->setSpacing(2);
    btnTrackPoints = MakeTool(page, "btnTrackPoints", QStringLiteral("Auto Track"), QStringLiteral("Auto Track"), true);
    btnTrackPoints->setToolButtonStyle(Qt::ToolButtonTextOnly);
    btnTrackPoints->setMinimumHeight(30);
    btnTrackPoints->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    side->addWidget(btnTrackPoints, 0, 0, 1, 2);
    ZoomInBut = MakeTool(page, "ZoomInBut", QStringLiteral("+"), QStringLiteral("Zoom In"));
    ZoomOutBut = MakeTool(page, "ZoomOutBut", QStringLiteral("-"), QStringLiteral("Zoom Out"));
    side->addWidget(ZoomInBut, 1, 0);
    side->addWidget(ZoomOutBut, 1, 1);
    ZoomZoomCombo = new QComboBox(page);
    ZoomZoomCombo->setObjectName(QStringLiteral("ZoomZoomCombo"));
    ZoomZoomCombo->setAccessibleName(QStringLiteral("Zoom factor"));
    ZoomZoomCombo->addItems({QStringLiteral("200%"), QStringLiteral("400%"), QStringLiteral("800%"),
                             QStringLiteral("1600%"), QStringLiteral("3200%")});
    ZoomZoomCombo->hide();
    ToolButton49 = MakeTool(page, "ToolButton49", QStringLiteral("Confirm"), QStringLiteral("Confirm"));
    ToolButton50 = MakeTool(page, "ToolButton50", QStringLiteral("Undo"), QStringLiteral("Undo"));
    side->addWidget(ToolButton49, 2, 0);
    side->addWidget(ToolButton50, 2, 1);
    BitBtn1 = Push(page, "BitBtn1", QStringLiteral("Settings"), QStringLiteral("Point Settings"));
    side->addWidget(BitBtn1, 3, 0, 1, 2);
    side->setRowStretch(4, 1);
    top->addLayout(side, 1);
    layout->addLayout(top);

    // Placement, deletion, enable and mode buttons.
    auto* bar = new QHBoxLayout;
    bar->setSpacing(1);
    ToolButton1 = MakeTool(page, "ToolButton1", QString(), QStringLiteral("Set Quadrant Tracking Point"), true);
    ToolButton2 = MakeTool(page, "ToolButton2", QString(), QStringLiteral("Set Light Spot Tracking Point"), true);
    ToolButton3 = MakeTool(page, "ToolButton3", QString(), QStringLiteral("Set Dark Spot Tracking Point"), true);
    ToolButton4 = MakeTool(page, "ToolButton4", QString(), QStringLiteral("Set Feature Tracking"), true);
    QToolButton* placement[4] = {ToolButton1, ToolButton2, ToolButton3, ToolButton4};
    m_placeGroup = new QButtonGroup(this);
    m_placeGroup->setExclusive(false);
    for (int m = 0; m < 4; ++m) {
        placement[m]->setIcon(TrackingMethodIcon(uint8_t(m)));
        m_placeGroup->addButton(placement[m], m);
        bar->addWidget(placement[m]);
    }
    DeletePointBut = MakeTool(page, "DeletePointBut", QStringLiteral("Del"), QStringLiteral("Delete Tracking Point"));
    DeleteDataBut = MakeTool(page, "DeleteDataBut", QStringLiteral("Clr"), QStringLiteral("Delete Tracked Data"));
    bar->addWidget(DeletePointBut);
    bar->addWidget(DeleteDataBut);
    bar->addSpacing(6);
    TRackTargetBut = MakeTool(page, "TRackTargetBut", QString(), QStringLiteral("Enable / Disable Tracking"));
    TRackTargetBut->setIcon(TrackingEnabledIcon(true));
    AutoModeBut = MakeTool(page, "AutoModeBut", QString(), QStringLiteral("Auto Mode"));
    AutoModeBut->setIcon(TrackingModeIcon(ModeAuto));
    Semimodebut = MakeTool(page, "Semimodebut", QString(), QStringLiteral("Semi-auto Mode"));
    Semimodebut->setIcon(TrackingModeIcon(ModeSemiAuto));
    ManModebut = MakeTool(page, "ManModebut", QString(), QStringLiteral("Manual Mode"));
    ManModebut->setIcon(TrackingModeIcon(ModeManual));
    for (QToolButton* b : {TRackTargetBut, AutoModeBut, Semimodebut, ManModebut})
        bar->addWidget(b);
    bar->addStretch(1);
    layout->addLayout(bar);

    ListView1 = new QTreeWidget(page);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setAccessibleName(QStringLiteral("Point List"));
    ListView1->setToolTip(QStringLiteral("Point List"));
    ListView1->setRootIsDecorated(false);
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    ListView1->setHeaderLabels({QStringLiteral("Point"), QStringLiteral("Target Type"), QStringLiteral("Method"),
                                QStringLiteral("ID"), QString(), QStringLiteral("Status")});
    const int widths[6] = {100, 24, 24, 24, 3, 110};
    for (int c = 0; c < 6; ++c)
        ListView1->setColumnWidth(c, widths[c]);
    ListView1->setAlternatingRowColors(true);
    layout->addWidget(ListView1, 1);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    const QString methods[4] = {QStringLiteral("Quadrant"), QStringLiteral("Light Spot"), QStringLiteral("Dark Spot"),
                                QStringLiteral("Correlation")};
    for (int m = 0; m < 4; ++m)
        connect(PopupMenu1->addAction(TrackingMethodIcon(uint8_t(m)), methods[m]), &QAction::triggered, this,
                [this, m] { SetMethod(uint8_t(m)); });

    PanelMessage = new QFrame(page);
    PanelMessage->setObjectName(QStringLiteral("PanelMessage"));
    PanelMessage->setAccessibleName(QStringLiteral("Tracking message"));
    PanelMessage->setAutoFillBackground(true);
    auto* panel = new QGridLayout(PanelMessage);
    panel->setContentsMargins(4, 3, 4, 3);
    panel->setSpacing(2);
    LabelMessage = Label(PanelMessage, "LabelMessage");
    QFont bold = LabelMessage->font();
    bold.setBold(true);
    LabelMessage->setFont(bold);
    TrackingFrameNumberLabel = Label(PanelMessage, "TrackingFrameNumberLabel");
    ThreshLabel = Label(PanelMessage, "ThreshLabel");
    Trackingpercentlabel = Label(PanelMessage, "Trackingpercentlabel");
    Trackingprogressbar = new QProgressBar(PanelMessage);
    Trackingprogressbar->setObjectName(QStringLiteral("Trackingprogressbar"));
    Trackingprogressbar->setAccessibleName(QStringLiteral("Tracking progress"));
    Trackingprogressbar->setRange(0, 100);
    Trackingprogressbar->setTextVisible(false);
    Trackingprogressbar->setMaximumHeight(10);
    panel->addWidget(LabelMessage, 0, 0, 1, 2);
    panel->addWidget(TrackingFrameNumberLabel, 1, 0);
    panel->addWidget(ThreshLabel, 1, 1, Qt::AlignRight);
    panel->addWidget(Trackingpercentlabel, 2, 0, 1, 2);
    panel->addWidget(Trackingprogressbar, 3, 0, 1, 2);
    for (QLabel* l : {LabelMessage, TrackingFrameNumberLabel, ThreshLabel, Trackingpercentlabel})
        l->setStyleSheet(QStringLiteral("color: white;"));
    PanelMessage->hide();
    layout->addWidget(PanelMessage);
    return page;
}

QWidget* TAutoTRackFrame::buildResultsPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet2"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(3, 3, 3, 3);

    auto* graph = new QGroupBox(QStringLiteral("Graph"), page);
    auto* graphLayout = new QGridLayout(graph);
    BitBtn3 = Push(graph, "BitBtn3", QStringLiteral("Position"), QStringLiteral("Position"));
    BitBtn4 = Push(graph, "BitBtn4", QStringLiteral("Displacement"), QStringLiteral("Displacement"));
    BitBtn5 = Push(graph, "BitBtn5", QStringLiteral("Velocity"), QStringLiteral("Velocity"));
    BitBtn6 = Push(graph, "BitBtn6", QStringLiteral("Acceleration"), QStringLiteral("Acceleration"));
    BitBtn9 = Push(graph, "BitBtn9", QStringLiteral("RPM"), QStringLiteral("RPM"));
    graphLayout->addWidget(BitBtn3, 0, 0);
    graphLayout->addWidget(BitBtn4, 0, 1);
    graphLayout->addWidget(BitBtn5, 1, 0);
    graphLayout->addWidget(BitBtn6, 1, 1);
    graphLayout->addWidget(BitBtn9, 2, 0);
    layout->addWidget(graph);

    auto* axis = new QGroupBox(QStringLiteral("Axis"), page);
    auto* axisLayout = new QHBoxLayout(axis);
    ToolButton5 = MakeTool(axis, "ToolButton5", QStringLiteral("X"), QStringLiteral("X against time"), true);
    ToolButton6 = MakeTool(axis, "ToolButton6", QStringLiteral("Y"), QStringLiteral("Y against time"), true);
    ToolButton9 = MakeTool(axis, "ToolButton9", QStringLiteral("X/Y"), QStringLiteral("Y against X"), true);
    auto* axisGroup = new QButtonGroup(axis);
    for (QToolButton* b : {ToolButton5, ToolButton6, ToolButton9}) {
        axisGroup->addButton(b);
        axisLayout->addWidget(b);
    }
    ToolButton5->setChecked(true);
    axisLayout->addStretch(1);
    layout->addWidget(axis);

    auto* origin = new QGroupBox(QStringLiteral("Origin"), page);
    auto* originLayout = new QVBoxLayout(origin);
    SpeedButton1 = MakeTool(origin, "SpeedButton1", QStringLiteral("Place Origin"), QStringLiteral("Place Measurement Origin"), true);
    originLayout->addWidget(SpeedButton1);
    auto* ydir = new QGroupBox(QStringLiteral("Y direction"), origin);
    auto* ydirLayout = new QHBoxLayout(ydir);
    YdirDefRadio = Named(new QRadioButton(ydir), "YdirDefRadio", QStringLiteral("Up"), QStringLiteral("Y grows upward"));
    YdirInvRadio = Named(new QRadioButton(ydir), "YdirInvRadio", QStringLiteral("Down"), QStringLiteral("Y grows downward"));
    YdirDefRadio->setChecked(true);
    ydirLayout->addWidget(YdirDefRadio);
    ydirLayout->addWidget(YdirInvRadio);
    originLayout->addWidget(ydir);
    OriginST = Label(origin, "OriginST", QStringLiteral("X : 0; Y : 0 "));
    originLayout->addWidget(OriginST);
    layout->addWidget(origin);

    auto* exportBox = new QGroupBox(QStringLiteral("Export"), page);
    auto* exportLayout = new QHBoxLayout(exportBox);
    BitBtn7 = Push(exportBox, "BitBtn7", QStringLiteral("CSV"), QStringLiteral("Export Results to CSV file"));
    ToExcelBut = Push(exportBox, "ToExcelBut", QStringLiteral("EXCEL"), QStringLiteral("Send Results to Excel"));
    exportLayout->addWidget(BitBtn7);
    exportLayout->addWidget(ToExcelBut);
    layout->addWidget(exportBox);
    layout->addStretch(1);
    return page;
}

void TAutoTRackFrame::connectControls()
{
    connect(btnTrackPoints, &QToolButton::clicked, this, [this](bool down) { AutoTrackClicked(down); });
    connect(m_placeGroup, &QButtonGroup::idClicked, this, [this](int id) {
        PlaceArmed(id, m_placeGroup->button(id)->isChecked());
    });
    connect(DeletePointBut, &QToolButton::clicked, this, [this] { DeletePointsClicked(); });
    connect(DeleteDataBut, &QToolButton::clicked, this, [this] { DeleteDataClicked(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { SettingsClicked(); });
    connect(ZoomInBut, &QToolButton::clicked, this, [this] { ZoomIn(); });
    connect(ZoomOutBut, &QToolButton::clicked, this, [this] { ZoomOut(); });
    connect(ToolButton49, &QToolButton::clicked, this, [this] { ConfirmClicked(); });
    connect(ToolButton50, &QToolButton::clicked, this, [this] { UndoClicked(); });
    connect(TRackTargetBut, &QToolButton::clicked, this, [this] { ToggleEnabledClicked(); });
    connect(AutoModeBut, &QToolButton::clicked, this, [this] { SetMode(ModeAuto); });
    connect(Semimodebut, &QToolButton::clicked, this, [this] { SetMode(ModeSemiAuto); });
    connect(ManModebut, &QToolButton::clicked, this, [this] { SetMode(ModeManual); });
    connect(ListView1, &QTreeWidget::itemSelectionChanged, this, [this] { listSelectionChanged(); });
    connect(ListView1, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& at) { listContextMenu(at); });
    connect(ListView1, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (!m_updating && column == 0)
            RenamePoint(ListView1->indexOfTopLevelItem(item), item->text(0));
    });
    connect(ZoomComboEx, &QComboBox::currentIndexChanged, this, [this](int index) { zoomComboChanged(index); });
    connect(ImageZoomView, &TrackingZoomView::crossPressed, this, [this] { zoomCrossPressed(); });
    connect(ImageZoomView, &TrackingZoomView::positioned, this, [this](QPointF p) { zoomPositioned(p); });
    connect(MakeIdleTimer, &QTimer::timeout, this, [this] { timerTick(); });

    connect(BitBtn3, &QPushButton::clicked, this, [this] { PlotClicked(KinematicsQuantity::Position); });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { PlotClicked(KinematicsQuantity::Displacement); });
    connect(BitBtn5, &QPushButton::clicked, this, [this] { PlotClicked(KinematicsQuantity::Velocity); });
    connect(BitBtn6, &QPushButton::clicked, this, [this] { PlotClicked(KinematicsQuantity::Acceleration); });
    connect(BitBtn9, &QPushButton::clicked, this, [this] { PlotClicked(KinematicsQuantity::Rpm); });
    connect(BitBtn7, &QPushButton::clicked, this, [this] { ExportCsvClicked(); });
    connect(ToExcelBut, &QPushButton::clicked, this, [this] { ExportSpreadsheetClicked(); });
    // The Y direction belongs to the document, as the origin does.
    connect(YdirDefRadio, &QRadioButton::toggled, this, [this](bool up) {
        if (VideoDocument* doc = document())
            doc->Origin.YDir = up ? YDirection::Up : YDirection::Down;
    });
    connect(SpeedButton1, &QToolButton::clicked, this, [this](bool down) {
        if (down)
            raisePlacementButtons();
        if (m_tool)
            m_tool->setPick(down ? TrackingViewTool::Pick::Origin : TrackingViewTool::Pick::None);
    });
}

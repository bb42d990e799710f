#pragma once
// The tracking parameter dialog: edits the search settings of one tracking
// point while showing the point's surroundings magnified, with the
// template, the search area and the method's own preview (the quadrant
// method's centring circle; the spot methods' intensity range painted red
// and the centre they find) drawn over them.
//
// Use: construct it for the point over the tracking working bitmap (lent;
// the dialog keeps a reference, copies it for the preview and never changes
// it) and exec() it. OK writes the edited values into the point and
// captures its template again; Cancel leaves the point untouched.
// EditPointParameters is the Settings button's whole job.

#include "common/Frame.h"
#include "tracking/search/TargetSearch.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QToolButton;
class TMethodFrame;
class TTrackingPoint;
class ZoomPreview;

class TAdjustParamForm : public QDialog {
    Q_OBJECT
public:
    // Builds the dialog for `point` (its Method picks the method panel),
    // loads the point's values, centres and renders the preview.
    TAdjustParamForm(TTrackingPoint& point, const Frame& working, QWidget* parent = nullptr);

    // The point's values into the controls; picks the preview scale.
    void LoadValues();
    // The controls' values into the point (search size and margins
    // recomputed from the template size and the search percent).
    void StoreValues();
    // Puts the point in the middle of the preview at the current scale.
    void CentreView();
    // The preview bitmap anew: a copy of the working bitmap with the spot
    // range painted red (spot methods), then the marks.
    void Rerender();

    // The search parameters as the controls show them now.
    tracking::SearchParameters EditedParameters() const;
    int PreviewScale() const { return m_scale; }
    // The preview bitmap (working bitmap plus the red spot range).
    const Frame& PreviewBitmap() const { return m_preview; }
    // The intensity range of the red preview (spot methods).
    int PreviewLow() const { return m_low; }
    int PreviewHigh() const { return m_high; }

    // OK: StoreValues, the template captured again, then closes.
    void accept() override;

    QLineEdit* PointNameEdit = nullptr;
    QSpinBox* TemplateSpinX = nullptr;
    QSpinBox* TemplateSpinY = nullptr;
    QCheckBox* ForceSquareCheck = nullptr;
    QRadioButton* ManualUpdateRadio = nullptr;
    QRadioButton* NoneUpdateRadio = nullptr;
    QSpinBox* UpdateFrequencySpin = nullptr;
    QSpinBox* SearchAreaSizeSpin = nullptr;
    QCheckBox* PredSearchCheck = nullptr;
    QCheckBox* DynamicCheck = nullptr;
    QSpinBox* ThreshholdSpin = nullptr;
    ZoomPreview* ImageZoomView = nullptr;
    QToolButton* ZoomInButton = nullptr;
    QToolButton* ZoomOutButton = nullptr;
    QComboBox* ZoomPercent = nullptr;
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtn1 = nullptr;     // Cancel
    TMethodFrame* MethodPanel = nullptr; // in PanelRightBottom

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* BuildCorrelationGroup();
    QWidget* BuildPreviewColumn();
    void TemplateSpinChanged(QSpinBox* changed, QSpinBox* other);
    void ZoomBy(bool in);
    void ZoomItemChosen(int index);
    void ShowZoomText();
    void Repaint();

    TTrackingPoint& m_point;
    const Frame& m_source;
    Frame m_preview;
    int m_scale = 1;
    int m_low = 0;
    int m_high = 255;
    bool m_zoomBusy = false;
    bool m_loading = false;
};

// The Settings button of the tracking frame: without a point the error box
// "No Point Defined"; else the dialog for the point over the working
// bitmap. True when the user pressed OK (the point then has the new values
// and a new template).
bool EditPointParameters(TTrackingPoint* point, const Frame& working, QWidget* parent);

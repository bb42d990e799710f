#pragma once
// Common ground of the adjustment tool frames (brightness, contrast, gamma,
// RGB, hue/saturation, rotate/mirror). A frame edits one entry of a
// document's adjustment list and keeps no state of its own beyond a pointer
// to that entry: the main window hands it the active document with
// LoadFromVideo and docks it.

#include <QPointer>
#include <functional>
#include <QWidget>

#include "document/VideoDocument.h"

class HistogramGraph;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QVBoxLayout;

class AdjustmentFrame : public QWidget {
    Q_OBJECT
public:
    // The document to work on (the active one), or nullptr to disable the
    // frame. Finds the frame's entry in the document's list or appends a new
    // one with the start values, and shows the entry's values.
    void LoadFromVideo(VideoDocument* doc);
    VideoDocument* Document() const { return m_doc; }

    // The entry being edited (nullptr without a document).
    AdjustmentEntry* Entry() const;

    // Redraws the histogram graph (if the frame has one) from the document's
    // histograms. Does nothing while the frame is hidden; it catches up when
    // shown.
    void ShowHistograms();

    // The title of the frame ("BRIGHTNESS", ...), also its window title.
    QString Caption() const { return windowTitle(); }

protected:
    AdjustmentFrame(int kind, const QString& title, QSize size, QWidget* parent);

    // A new entry of the frame's kind with its start values.
    virtual AdjustmentEntry::Parameters NewEntry() const = 0;
    // Sets the controls to the entry's fields. Called with signals of the controls blocked.
    virtual void LoadControls(const AdjustmentEntry& entry) = 0;

    // After the frame has written its entry: render the document again at
    // the common time and refresh the histograms.
    void Redisplay();

    // A graph for the frame (bottom of the layout).
    HistogramGraph* AddHistogramGraph(const QList<QColor>& subsetColours, int mode);

    // A slider with its value edit and reset button, added to the layout.
    // The edit shows slider − `shownOffset` (the gamma edit shows slider −
    // 10); typing a number there moves the slider. The reset button puts the
    // slider at `resetValue`. On every change the edit is updated, then,
    // unless a change is already being applied, `write` stores the value in
    // the entry and the document renders again.
    struct SliderRow {
        QSlider* slider = nullptr;
        QLineEdit* edit = nullptr;
        QPushButton* reset = nullptr;
        int shownOffset = 0;
    };
    using WriteValue = std::function<void(AdjustmentEntry&, int)>;
    SliderRow AddSliderRow(const QString& label, const QString& sliderName, const QString& editName,
                           const QString& resetName, int minimum, int maximum, int start, int resetValue,
                           int shownOffset, WriteValue write);
    // A WriteValue that stores the value in one field of the entry's T.
    template <class T>
    static WriteValue WriteField(int T::*field)
    {
        return [field](AdjustmentEntry& entry, int value) {
            if (T* parameters = entry.As<T>())
                parameters->*field = value;
        };
    }
    // The accessible names of a row's slider, edit and reset button.
    static void NameSliderRow(const SliderRow& row, const QString& name);
    // Puts a value on a row without running its change procedure.
    static void SetRowValue(const SliderRow& row, int value);

    void showEvent(QShowEvent* event) override;

    QVBoxLayout* m_layout = nullptr;

private:
    const int m_kind;
    QPointer<VideoDocument> m_doc;
    AdjustmentEntry* m_entry = nullptr;
    HistogramGraph* m_graph = nullptr;
    int m_histogramMode = 0;
    bool m_busy = false;
};

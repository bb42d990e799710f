#pragma once
// TAnnoFrame: the annotation frame. It lists the active document's text and
// time-stamp entries, adds and deletes them, and places a new one with the
// mouse: while "Set Position" is down the entry being prepared follows the
// mouse over the picture as a preview and the position spins follow it; a
// click puts it down there, "Add" makes it a lasting annotation.

#include "adjust/AdjustmentEntry.h"

#include <QPointer>
#include <QPointF>
#include <QWidget>
#include <memory>
#include <vector>

class PickTool;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QToolButton;
class TQORVideo;

class TAnnoFrame : public QWidget {
    Q_OBJECT
public:
    explicit TAnnoFrame(QWidget* parent = nullptr);
    ~TAnnoFrame() override;

    // The font new annotations start with (the program's default font).
    void SetDefaultFont(const AnnotationEntry& fontFields);
    // Lists the document's annotations.
    void LoadFromVideo(TQORVideo* video);
    // After a pick: the spins show the placing entry's position.
    void UpdateReadouts();

    // The entry being placed (not in the document's list), or null.
    const AnnotationEntry* PendingEntry() const;
    bool AnnotationPlacing() const { return m_placing; }
    // The document's annotation entries, parallel to ListBox1.
    const std::vector<AdjustmentEntry*>& AnnEntries() const { return m_entries; }
    // The font fields of new annotations.
    const AnnotationEntry& AnnFont() const { return m_font; }
    // The font dialog's result (what OK in the dialog does).
    void ChooseFont(const QFont& font);
    void ChooseColour(const QColor& colour);
    PickTool* placingTool() const { return m_placingTool; }

    QButtonGroup* AnnTypeRadio = nullptr; // ids 0 "Text", 1 "Timing (s)", 2 "Timing (ms)", 3 "Framing"
    QSpinBox* AnPosXSpin = nullptr;
    QSpinBox* AnPosYSpin = nullptr;
    QSpinBox* TextAngleSpin = nullptr;
    QLineEdit* AnnText = nullptr;
    QButtonGroup* txtBCRB = nullptr;      // ids 0 transparent, 1 black, 2 white
    QLabel* DPLab = nullptr;
    QSpinBox* DPSpin = nullptr;
    QToolButton* FontChange = nullptr;
    QToolButton* FontColour = nullptr;
    QToolButton* setAnnPos = nullptr;
    QListWidget* ListBox1 = nullptr;
    QPushButton* AddAnnoBut = nullptr;
    QPushButton* BitBtn1 = nullptr;

private:
    // A new entry from the controls and the frame's font.
    AnnotationEntry EntryFromControls() const;
    void AddAnnoButClick();
    void BitBtn1Click();
    void setAnnPosClick(bool down);
    void FontChangeClick();
    void FontColourClick();
    void AnnTypeRadioClick();
    // A control changed: the placing entry takes the new values.
    void controlsChanged();
    void placingMoved(QPointF imagePoint);
    void placingPressed(QPointF imagePoint);
    // Renders the document and draws the placing entry over it.
    void drawPreview();
    void dropTool();

    QPointer<TQORVideo> m_video;
    std::vector<AdjustmentEntry*> m_entries;
    AnnotationEntry m_font;
    std::unique_ptr<AdjustmentEntry> m_pending;
    bool m_placing = false;
    bool m_loading = false;
    PickTool* m_placingTool = nullptr;
};

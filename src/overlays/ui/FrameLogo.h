#pragma once
// TLogoFrame: the logo frame. A bitmap file chosen with "..." becomes the
// pending logo entry, drawn once over the shown frame as a preview while its
// corner, blending method and size are chosen; "Add" appends it to the active
// document's list, so it is part of every displayed and exported frame.

#include "adjust/AdjustmentEntry.h"

#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

class QButtonGroup;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QToolButton;
class TQORVideo;

class TLogoFrame : public QWidget {
    Q_OBJECT
public:
    explicit TLogoFrame(QWidget* parent = nullptr);

    void LoadFromVideo(TQORVideo* video);
    // What OK in the open dialog does: the pending entry takes the file and
    // the controls, and is drawn as a preview. False (with a message) when
    // the size is not a whole number of percent; nothing changes then.
    bool ChooseFile(const QString& path);

    const LogoEntry& PendingEntry() const { return m_pending; }
    const std::vector<AdjustmentEntry*>& LogoEntries() const { return m_entries; }
    // The size box read as a percentage; nullopt (after the message) when it
    // is no whole number from 1 to 1000.
    std::optional<int> ReadSize();

    QLabel* ImgView321 = nullptr;
    QToolButton* ImageOpen = nullptr;
    QButtonGroup* PosEarRG = nullptr; // ids 0 top left, 1 top right, 2 bottom left, 3 bottom right
    QComboBox* methodOverlayCB = nullptr;
    QComboBox* earsizeCB = nullptr;
    QListWidget* ListBox1 = nullptr;
    QPushButton* BitBtn2 = nullptr; // Add
    QPushButton* BitBtn1 = nullptr; // Delete

private:
    void ImageOpenClick();
    void PosEarRGClick(int corner);
    void methodOverlayCBChange(int method);
    void earsizeCBChange();
    void BitBtn2Click();
    void BitBtn1Click();
    void ListBox1Click();
    void showPreviewFile(const QString& path);
    // Renders the document and draws the pending logo over it.
    void drawPending();

    QPointer<TQORVideo> m_video;
    std::vector<AdjustmentEntry*> m_entries;
    LogoEntry m_pending;
};

#pragma once
// TBVFFrame: the Brava camera settings frame. Its four lists change how the
// active Brava document decodes its frames; the pipette button installs a
// pick on the document's view, and each click into the picture takes a user
// white reference there until the button is raised.

#include <QPointer>
#include <QWidget>

class QComboBox;
class PickTool;
class QPointF;
class QToolButton;
class TQORVideo;

class TBVFFrame : public QWidget {
    Q_OBJECT
public:
    explicit TBVFFrame(QWidget* parent = nullptr);

    // Reads the reader's settings into the lists (only when docked).
    void LoadFromVideo(TQORVideo* video);

    QComboBox* BVWBCombo = nullptr;
    QComboBox* BVChromaCombo = nullptr;
    QComboBox* BVGammaCombo = nullptr;
    QComboBox* BVEnhanceCombo = nullptr;
    QToolButton* BVWBSpeed = nullptr;
    // The white pick installed while BVWBSpeed is down.
    PickTool* whitePick() const { return m_whitePick; }

private:
    void BVWBComboChange(int index);
    void BVChromaComboChange(int index);
    void BVGammaComboChange(int index);
    void BVEnhanceComboChange(int index);
    void BVWBSpeedClick(bool down);
    void takeWhiteReference(QPointF displayedPoint);

    QPointer<TQORVideo> m_video;
    PickTool* m_whitePick = nullptr;
    bool m_loading = false;
};

#pragma once
// TBVFFrame: the Brava camera settings frame. Its four lists change how the
// active Brava document decodes its frames; the pipette button takes a user
// white reference from the next clicks into the view.

#include <QPointer>
#include <QWidget>

class QComboBox;
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

private:
    void BVWBComboChange(int index);
    void BVChromaComboChange(int index);
    void BVGammaComboChange(int index);
    void BVEnhanceComboChange(int index);
    void BVWBSpeedClick(bool down);

    QPointer<TQORVideo> m_video;
    bool m_loading = false;
};

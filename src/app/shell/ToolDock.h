#pragma once
// The tool buttons of the main window and the panel below them where at most
// one tool frame is docked. A frame works on the active document; the dock
// creates, reloads and feeds it through the hooks of ToolFrames.h.

#include "app/shell/ToolFrames.h"

#include <QPointer>
#include <optional>
#include <QWidget>

class QButtonGroup;
class QToolButton;
class QVBoxLayout;

class ToolDock : public QWidget {
    Q_OBJECT
public:
    explicit ToolDock(QWidget* parent = nullptr);

    // The document the frames work on (may be null). A docked frame that
    // follows the active document reloads from the new one.
    void SetActiveVideo(TQORVideo* video);

    int DockedKind() const { return m_dockedKind; }
    QWidget* DockedFrame() const { return m_dockedFrame; }
    // Presses (or raises) a tool button by its kind, as the user would.
    void PressToolButton(int kind, bool down);
    void CloseToolFrames();
    // Whether the docked frame shows histograms (only then are they needed).
    bool ShowsHistograms() const;
    void ShowHistograms();
    // A vertical drag on the picture: the docked brightness frame's new
    // value, or nothing when no brightness frame is docked.
    std::optional<int> NudgeBrightness(bool up);
    void UpdateCameraSettingsButton();
    void RaisePanButton();

signals:
    void panToggled(bool down);
    void copyClicked();

private:
    QWidget* buildButtons();
    void toolButtonClicked(int kind);
    void dockFrame(int kind);
    void refreshDockedFrame();

    QPointer<TQORVideo> m_active;
    QToolButton* m_toolButtons[ToolCount] = {};
    QToolButton* m_panButton = nullptr;
    QButtonGroup* m_toolGroup = nullptr;
    QWidget* m_dockPanel = nullptr;
    QVBoxLayout* m_dockLayout = nullptr;
    QPointer<QWidget> m_dockedFrame;
    int m_dockedKind = -1;
};

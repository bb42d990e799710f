#pragma once
// How the main window creates, loads and feeds each kind of docked tool
// frame. The frames themselves live with their subsystem (adjust/, document/,
// sources/ ...); this table is the only place that knows all of them.

#include <QWidget>
#include <functional>
#include <optional>

class TQORVideo;

// The grouped tool buttons, in toolbar order.
enum ToolKind {
    ZoomTool, SvfTool, BrightnessTool, ContrastTool, GammaTool, RgbTool, HueSatTool,
    RotateTool, AnnotateTool, LogoTool, CalibrateTool, TrackTool, ToolCount
};

struct ToolFrameHooks {
    // Creates the frame with `parent` (the dock panel); null when this kind
    // has no frame yet.
    std::function<QWidget*(QWidget* parent, TQORVideo* active)> create;
    // Reloads the frame's values from the active document (may be null).
    std::function<void(QWidget* frame, TQORVideo* active)> load;
    // Hands the active document's histograms to the frame after a time change.
    std::function<void(QWidget* frame, TQORVideo* active)> showHistograms;
    // True when this frame needs an active document.
    bool needsDocument = true;
};

// Hooks for a tool kind.
ToolFrameHooks ToolFrameFor(int kind);

// Moves the brightness frame's slider one step (vertical drags in the view).
// Returns the new brightness, or nothing when the frame is not the brightness frame.
std::optional<int> NudgeBrightnessFrame(QWidget* frame, bool up);

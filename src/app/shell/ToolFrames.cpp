#include "app/shell/ToolFrames.h"

#include "adjust/ui/FrameBriCon.h"
#include "adjust/ui/FrameContrast.h"
#include "adjust/ui/FrameGamma.h"
#include "adjust/ui/FrameHueSat.h"
#include "adjust/ui/FrameRGB.h"
#include "adjust/ui/FrameRotate.h"
#include "app/shell/ToolDock.h"
#include "document/window/VideoWindow.h"
#include "app/shell/MainWindow.h"
#include "common/Rounding.h"
#include "overlays/ui/FrameAnno.h"
#include "overlays/ui/FrameCalib.h"
#include "overlays/ui/FrameLogo.h"
#include "sources/ui/BvfFrame.h"
#include "sources/ui/SvfFrame.h"
#include "app/shell/MainWindow.h"
#include "tracking/ui/AutoTrackFrame.h"

#include "document/ui/ImageView.h"
#include "document/ui/ZoomFrame.h"

#include <QPointer>
#include <algorithm>
#include <QSlider>
#include <QStackedWidget>

namespace {

VideoDocument* documentOf(TQORVideo* video)
{
    return video ? video->document() : nullptr;
}

// Hooks for one of the adjustment frames (they share a base class).
template <typename FrameType>
ToolFrameHooks adjustmentHooks()
{
    ToolFrameHooks hooks;
    hooks.create = [](QWidget* parent, TQORVideo*) -> QWidget* { return new FrameType(parent); };
    hooks.load = [](QWidget* frame, TQORVideo* video) {
        static_cast<AdjustmentFrame*>(frame)->LoadFromVideo(documentOf(video));
    };
    hooks.showHistograms = [](QWidget* frame, TQORVideo*) { static_cast<AdjustmentFrame*>(frame)->ShowHistograms(); };
    return hooks;
}

// Forwards the zoom frame's buttons to the view of the active document.
class ZoomFrameBinding : public QObject {
public:
    ZoomFrameBinding(TZoomFrame* frame)
        : QObject(frame), m_frame(frame)
    {
        connect(frame, &TZoomFrame::zoomOutToggled, this, [this](bool down) {
            if (ImageView* v = view()) {
                v->setFitMode(false);
                v->setClickZoomMode(down);
            }
        });
        connect(frame, &TZoomFrame::fitClicked, this, [this] {
            if (ImageView* v = view()) {
                v->setFitMode(false);
                v->fitWholeImage();
            }
        });
        connect(frame, &TZoomFrame::zoomAreaToggled, this, [this](bool down) {
            if (ImageView* v = view()) {
                v->setFitMode(false);
                raisePan();
                v->setAreaZoomMode(down);
            }
        });
        connect(frame, &TZoomFrame::zoomWatchToggled, this, [this](bool down) {
            if (ImageView* v = view()) {
                v->setFitMode(false);
                raisePan();
                if (down)
                    v->showMagnifier();
                else
                    v->removeMagnifier();
            }
        });
        connect(frame, &TZoomFrame::zoomPercentChosen, this, [this](int percent) {
            if (ImageView* v = view()) {
                // "100%" keeps FitMode, every other size ends it.
                if (percent != 100)
                    v->setFitMode(false);
                v->setScale(percent / 100.0);
            }
        });
        connect(frame, &TZoomFrame::resetZoomClicked, this, [this] {
            if (ImageView* v = view()) {
                v->setFitMode(false);
                v->setScale(1.0);
            }
        });
        connect(frame, &TZoomFrame::zoomKernelChanged, this, [this](int index) {
            if (ImageView* v = view())
                v->setZoomKernel(index);
        });
        connect(frame, &TZoomFrame::magnificationChanged, this, [this](int level) {
            if (ImageView* v = view())
                v->setMagnifierLevel(level);
        });
    }

    void bind(TQORVideo* video)
    {
        m_video = video;
        ImageView* v = view();
        m_frame->setEnabled(v != nullptr);
        if (!v)
            return;
        m_frame->loadFrom(v->hasMagnifier(), v->magnifierLevel(), v->zoomKernel());
        v->setZoomKernel(m_frame->zoomKernel());
        m_frame->setZoomAreaDown(v->areaZoomMode());
        m_frame->setZoomOutDown(v->clickZoomMode());
    }

private:
    ImageView* view() const { return m_video ? m_video->view() : nullptr; }
    void raisePan()
    {
        // "Zoom Area" and "Zoom Watch" take the mouse from the pan tool.
        for (QWidget* w = m_frame->parentWidget(); w; w = w->parentWidget())
            if (auto* dock = qobject_cast<ToolDock*>(w)) {
                dock->RaisePanButton();
                return;
            }
    }

    TZoomFrame* m_frame;
    QPointer<TQORVideo> m_video;
};

ToolFrameHooks zoomFrameHooks()
{
    ToolFrameHooks hooks;
    hooks.create = [](QWidget* parent, TQORVideo*) -> QWidget* {
        auto* frame = new TZoomFrame(parent);
        new ZoomFrameBinding(frame);
        return frame;
    };
    hooks.load = [](QWidget* frame, TQORVideo* video) {
        for (QObject* child : frame->children())
            if (auto* binding = dynamic_cast<ZoomFrameBinding*>(child))
                binding->bind(video);
    };
    return hooks;
}

// The program's default annotation font as the font fields of an entry (its
// point size as a character cell in pixels at 96 dots per inch).
AnnotationEntry defaultAnnotationFont(QWidget* dockPanel)
{
    AnnotationEntry font;
    if (auto* main = qobject_cast<TQorMain*>(dockPanel->window())) {
        const DefaultFontInfo& f = main->DefaultFont;
        font.AnnFontName = f.Name;
        font.AnnFontSize = std::max(1, int(Round(f.Size * 96.0 / 72.0)));
        font.AnnFontBold = f.Bold;
        font.AnnFontItalic = f.Italic;
        font.AnnFontUnderline = f.Underline;
        font.AnnFontStrikeOut = f.StrikeOut;
        font.AnnFontColour = f.Colour;
    }
    return font;
}

} // namespace

ToolFrameHooks ToolFrameFor(int kind)
{
    ToolFrameHooks hooks;
    switch (kind) {
    case ZoomTool:
        hooks = zoomFrameHooks();
        hooks.needsDocument = false;
        return hooks;
    case SvfTool:
        // The camera settings of the active document: the Stravo frame for
        // an .svf document, the Brava frame otherwise.
        hooks.create = [](QWidget* parent, TQORVideo*) -> QWidget* {
            auto* stack = new QStackedWidget(parent);
            stack->setObjectName(QStringLiteral("CameraSettings"));
            stack->addWidget(new TBVFFrame(stack));
            stack->addWidget(new TSVFFrame(stack));
            return stack;
        };
        hooks.load = [](QWidget* frame, TQORVideo* video) {
            auto* stack = static_cast<QStackedWidget*>(frame);
            auto* brava = static_cast<TBVFFrame*>(stack->widget(0));
            auto* stravo = static_cast<TSVFFrame*>(stack->widget(1));
            const bool isStravo = video && video->document()->Info.SourceKind == 1;
            brava->LoadFromVideo(isStravo ? nullptr : video);
            stravo->LoadFromVideo(isStravo ? video : nullptr);
            stack->setCurrentWidget(isStravo ? static_cast<QWidget*>(stravo) : brava);
        };
        return hooks;
    case BrightnessTool:
        return adjustmentHooks<TBFFrame>();
    case ContrastTool:
        return adjustmentHooks<TConFrame>();
    case GammaTool:
        return adjustmentHooks<TGammaFrame>();
    case RgbTool:
        return adjustmentHooks<TRGBFrame>();
    case HueSatTool:
        return adjustmentHooks<THueSatFrame>();
    case RotateTool:
        return adjustmentHooks<TRotateFrame>();
    case AnnotateTool:
        hooks.create = [](QWidget* parent, TQORVideo*) -> QWidget* {
            auto* frame = new TAnnoFrame(parent);
            frame->SetDefaultFont(defaultAnnotationFont(parent));
            return frame;
        };
        hooks.load = [](QWidget* frame, TQORVideo* video) { static_cast<TAnnoFrame*>(frame)->LoadFromVideo(video); };
        return hooks;
    case LogoTool:
        hooks.create = [](QWidget* parent, TQORVideo*) -> QWidget* { return new TLogoFrame(parent); };
        hooks.load = [](QWidget* frame, TQORVideo* video) { static_cast<TLogoFrame*>(frame)->LoadFromVideo(video); };
        return hooks;
    case CalibrateTool:
        hooks.create = [](QWidget* parent, TQORVideo*) -> QWidget* { return new TCalibFrame(parent); };
        hooks.load = [](QWidget* frame, TQORVideo* video) { static_cast<TCalibFrame*>(frame)->LoadFromVideo(video); };
        return hooks;
    case TrackTool:
        hooks.create = [](QWidget* parent, TQORVideo*) -> QWidget* {
            auto* frame = new TAutoTRackFrame(parent);
            // The run moves the common time through the main window, over its marked range.
            if (auto* main = qobject_cast<TQorMain*>(parent->window())) {
                frame->SetCommonTime = [main](const Rational& t) { main->SetTime(t); };
                frame->MarkedRange = [main] {
                    return std::make_pair(main->Playback().InTime(), main->Playback().OutTime());
                };
                QObject::connect(frame, &TAutoTRackFrame::plotRequested, main, &TQorMain::PlotChannels);
            }
            return frame;
        };
        hooks.load = [](QWidget* frame, TQORVideo* video) { static_cast<TAutoTRackFrame*>(frame)->SetVideo(video); };
        return hooks;
    default:
        // Annotation, logo, calibration and tracking frames come later.
        return hooks;
    }
}

std::optional<int> NudgeBrightnessFrame(QWidget* frame, bool up)
{
    auto* brightness = qobject_cast<TBFFrame*>(frame);
    if (!brightness || !brightness->JvxSlider1.slider)
        return std::nullopt;
    QSlider* slider = brightness->JvxSlider1.slider;
    slider->setValue(slider->value() + (up ? 1 : -1));
    return slider->value();
}

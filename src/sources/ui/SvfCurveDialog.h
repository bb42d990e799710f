#pragma once
// The editor of the Stravo converter's custom luminance curve: five levels
// (at 0, 25, 50, 75 and 100 % of white) on sliders, with the curve drawn
// beside them. Every change goes to the converter at once, so the picture
// (rendered again by the settings frame's timer) follows while it is open.

#include <QDialog>

class QSlider;
class QWidget;
class TFxSvffFc;

class SvfCurveDialog : public QDialog {
public:
    SvfCurveDialog(TFxSvffFc& converter, QWidget* parent = nullptr);

    QSlider* level(int index) const { return m_levels[index]; }

private:
    TFxSvffFc& m_converter;
    QSlider* m_levels[5] = {};
    QWidget* m_curve = nullptr;
};

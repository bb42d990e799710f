#include "sources/ui/SvfCurveDialog.h"

#include "sources/svf/SvfConverter.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QSlider>

namespace {

// Draws the converter's current curve.
class CurveView : public QWidget {
public:
    CurveView(const TFxSvffFc& converter, QWidget* parent)
        : QWidget(parent), m_converter(converter)
    {
        setMinimumSize(160, 160);
        setAccessibleName(QStringLiteral("Luminance curve"));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const QRectF r = QRectF(rect()).adjusted(4, 4, -4, -4);
        p.fillRect(rect(), Qt::black);
        p.setPen(QColor(60, 60, 60));
        for (int i = 1; i < 4; ++i) {
            p.drawLine(QPointF(r.left() + r.width() * i / 4, r.top()), QPointF(r.left() + r.width() * i / 4, r.bottom()));
            p.drawLine(QPointF(r.left(), r.top() + r.height() * i / 4), QPointF(r.right(), r.top() + r.height() * i / 4));
        }
        const svf::CustomCurve c = m_converter.CustomLut();
        QPolygonF line;
        for (int i = 0; i < 5; ++i)
            line << QPointF(r.left() + r.width() * i / 4, r.bottom() - r.height() * c[size_t(i)] / 255.0);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::green, 2));
        p.drawPolyline(line);
    }

private:
    const TFxSvffFc& m_converter;
};

} // namespace

SvfCurveDialog::SvfCurveDialog(TFxSvffFc& converter, QWidget* parent)
    : QDialog(parent), m_converter(converter)
{
    setWindowTitle(QStringLiteral("Custom Luminance Curve"));
    setObjectName(QStringLiteral("SvfCurveDialog"));
    auto* layout = new QGridLayout(this);
    m_curve = new CurveView(converter, this);
    layout->addWidget(m_curve, 0, 0, 2, 1);
    const svf::CustomCurve curve = converter.CustomLut();
    for (int i = 0; i < 5; ++i) {
        auto* slider = new QSlider(Qt::Vertical, this);
        slider->setRange(0, 255);
        slider->setValue(curve[size_t(i)]);
        const QString at = QStringLiteral("%1%").arg(25 * i);
        slider->setAccessibleName(QStringLiteral("Level at %1 of white").arg(at));
        slider->setToolTip(slider->accessibleName());
        layout->addWidget(slider, 0, i + 1);
        layout->addWidget(new QLabel(at, this), 1, i + 1, Qt::AlignHCenter);
        m_levels[i] = slider;
        connect(slider, &QSlider::valueChanged, this, [this] {
            svf::CustomCurve c{};
            for (int k = 0; k < 5; ++k)
                c[size_t(k)] = m_levels[k]->value();
            m_converter.SetCustomLut(c);
            m_curve->update();
        });
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);
    layout->addWidget(buttons, 2, 0, 1, 6);
}

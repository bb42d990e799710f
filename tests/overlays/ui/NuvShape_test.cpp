// The marker control paints its shape's geometry with its pen and brush.

#include "overlays/ui/NuvShape.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

// Bounding box of the pixels the control painted over white.
QRect Painted(TNUVShape& shape)
{
    QImage image(shape.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    shape.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

TEST(NuvShape, ShapesFillTheirBoxes)
{
    struct Case {
        TNUVShapeType shape;
        QSize size;
        QRect painted;
    };
    const Case cases[] = {
        {stCircle, {20, 10}, {5, 0, 10, 10}}, // a 10 × 10 circle centred horizontally
        {stEllipse, {20, 10}, {0, 0, 20, 10}},
        {stSquare, {10, 20}, {0, 5, 10, 10}},
        {stRectangle, {20, 10}, {0, 0, 20, 10}},
        {stRoundSquare, {30, 20}, {5, 0, 20, 20}},
        {stDefault, {20, 10}, {}},
    };
    for (const Case& c : cases) {
        TNUVShape shape;
        shape.resize(c.size);
        shape.setBrush(Qt::black);
        shape.setShape(c.shape);
        EXPECT_EQ(Painted(shape), c.painted) << c.shape;
    }
}

TEST(NuvShape, PaintsOnlyWithItsFlagSet)
{
    TNUVShape shape;
    EXPECT_EQ(shape.size(), QSize(65, 65));
    EXPECT_EQ(shape.PaintFlag, 1);
    shape.setShape(stCircle);
    EXPECT_FALSE(Painted(shape).isEmpty());
    shape.PaintFlag = 0;
    EXPECT_TRUE(Painted(shape).isEmpty());
}

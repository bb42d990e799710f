#pragma once
// The transport's range slider: a position (CurrentFrame) on the range
// BegFrame..EndFrame and a marked sub-range SubBegFrame..SubEndFrame shown
// as two markers under the groove. The user drags the position and the
// markers; each user change emits its signal with the new value. Values set
// by the program never emit, so setting the position cannot feed back into
// the time it came from.

#include <QWidget>

class RangeSlider : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int CurrentFrame READ CurrentFrame WRITE setCurrentFrame)
    Q_PROPERTY(int BegFrame READ BegFrame WRITE setBegFrame)
    Q_PROPERTY(int EndFrame READ EndFrame WRITE setEndFrame)
    Q_PROPERTY(int SubBegFrame READ SubBegFrame WRITE setSubBegFrame)
    Q_PROPERTY(int SubEndFrame READ SubEndFrame WRITE setSubEndFrame)
    Q_PROPERTY(int SamplingTime READ SamplingTime WRITE setSamplingTime)
public:
    explicit RangeSlider(QWidget* parent = nullptr);

    int CurrentFrame() const { return m_current; }
    int BegFrame() const { return m_beg; }
    int EndFrame() const { return m_end; }
    int SubBegFrame() const { return m_subBeg; }
    int SubEndFrame() const { return m_subEnd; }
    int SamplingTime() const { return m_samplingTime; } // kept for the caller, no effect on the slider

    // Stored as given (the caller may set them in any order); drawing clamps.
    void setCurrentFrame(int frame);
    void setBegFrame(int frame);
    void setEndFrame(int frame);
    void setSubBegFrame(int frame);
    void setSubEndFrame(int frame);
    void setSamplingTime(int value) { m_samplingTime = value; }

    QSize sizeHint() const override { return {311, 30}; }
    QSize minimumSizeHint() const override { return {60, 30}; }

    // Geometry shared by painting, hit testing and tests: the x of a frame
    // and the frame under an x (clamped to the range).
    double xOfFrame(int frame) const;
    int frameAtX(double x) const;

signals:
    void changeFrame(int frame);
    void changeSubBegFrame(int frame);
    void changeSubEndFrame(int frame);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum class Drag { None, Position, SubBeg, SubEnd };
    int grooveLeft() const;
    int grooveRight() const;
    void dragTo(double x);

    int m_current = 0;
    int m_beg = 0;
    int m_end = 0;
    int m_subBeg = 0;
    int m_subEnd = 0;
    int m_samplingTime = 0;
    Drag m_drag = Drag::None;
};

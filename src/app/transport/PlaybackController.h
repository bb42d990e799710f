#pragma once
// Runs the common time axis: owns the play timer, the transport arithmetic
// and the time range. The shell tells it which documents are open (their
// spans) and forwards the user's transport commands; it answers with
// timeChanged (move every document there) and displayChanged (show the
// slider, the time boxes, the lamp and the loop state again).

#include "app/transport/PlaybackTransport.h"
#include "app/transport/TimeAxis.h"

#include <QObject>
#include <vector>

class QTimer;

class PlaybackController : public QObject {
    Q_OBJECT
public:
    explicit PlaybackController(QObject* parent = nullptr);

    const PlaybackTransport& Transport() const { return m_transport; }
    const TimeRange& Range() const { return m_transport.Range; }
    Rational CommonTime() const { return m_transport.CommonTime; }
    Rational TimeStep() const { return m_transport.TimeStep; }
    Rational InTime() const { return m_transport.InTime; }
    Rational OutTime() const { return m_transport.OutTime; }
    bool IsPlaying() const { return m_transport.TimerRunning; }
    bool IsLooping() const { return m_transport.LoopPlay; }
    bool LampLit() const { return m_transport.LampLit(); }
    int TimerInterval() const { return m_transport.TimerInterval; }
    SliderValues Slider() const;

    // The open documents changed (opened, closed, re-timed): the step and the
    // range are computed again, the marks and the time are kept on the new
    // step and inside the new range (marks that covered the whole old range
    // cover the whole new one). Without documents playback stops and the
    // time and marks go back to 0.
    void SetDocuments(const std::vector<DocumentTimeSpan>& documents);

    // Moves the common time (not clamped: T=0 may lie outside every recording).
    void SetTime(const Rational& t);
    void GoToStart();
    void GoToEnd();
    void Step(bool backward);
    void Play(PlaybackTransport::Direction direction);
    void StopButton();
    void StopPlayback();
    void SetPlaySpeed(int framesPerSecond);

    // The slider: its position and its marks moved to a tick.
    void SliderMoved(int tick);
    void InMoved(int tick);
    void OutMoved(int tick);
    // The mark buttons: the mark goes to the current time.
    void MarkIn();
    void MarkOut();
    // Both marks at once (a restored analysis), on the step and inside the range.
    void SetMarks(const Rational& in, const Rational& out);

    // One tick of the play timer (public so tests can drive it).
    void Tick();

signals:
    void timeChanged(const Rational& time);
    void displayChanged();

private:
    PlaybackTransport m_transport;
    QTimer* m_timer = nullptr;
};

#include "app/transport/PlaybackController.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

PlaybackController::PlaybackController(QObject* parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setInterval(m_transport.TimerInterval);
    connect(m_timer, &QTimer::timeout, this, &PlaybackController::Tick);
}

SliderValues PlaybackController::Slider() const
{
    return SliderFor(m_transport.TimeStep, m_transport.Range, m_transport.InTime, m_transport.OutTime,
                     m_transport.CommonTime);
}

void PlaybackController::SetDocuments(const std::vector<DocumentTimeSpan>& documents)
{
    PlaybackTransport& t = m_transport;
    const TimeRange old = t.Range;
    const bool marksWereFull = old.IsEmpty() || (t.InTime == old.Start && t.OutTime == old.End);
    t.TimeStep = SmallestFrameInterval(documents);
    t.Range = RangeOfDocuments(documents);

    if (t.Range.IsEmpty()) {
        StopButton();
        t.TimeStep = InitialTimeStep;
        t.CommonTime = t.InTime = t.OutTime = Rational(0);
        emit displayChanged();
        return;
    }
    if (marksWereFull) {
        t.InTime = t.Range.Start;
        t.OutTime = t.Range.End;
    } else {
        t.InTime = t.Range.Clamp(SnapToStep(t.InTime, t.TimeStep));
        t.OutTime = t.Range.Clamp(SnapToStep(t.OutTime, t.TimeStep));
        t.SetOutTime(t.OutTime);
    }
    // The time stays where it was (0 before the first document), on a tick
    // of the new step and inside the range of what is open.
    t.CommonTime = t.Range.Clamp(SnapToStep(t.CommonTime, t.TimeStep));
    SetTime(t.CommonTime);
}

void PlaybackController::SetTime(const Rational& time)
{
    m_transport.CommonTime = time;
    emit timeChanged(time);
    emit displayChanged();
}

void PlaybackController::GoToStart()
{
    if (!Range().IsEmpty())
        SetTime(Range().Start);
}

void PlaybackController::GoToEnd()
{
    if (!Range().IsEmpty())
        SetTime(Range().End);
}

void PlaybackController::Step(bool backward)
{
    if (Range().IsEmpty())
        return; // nothing opened: there is no time range to move in
    SetTime(m_transport.Step(backward ? PlaybackTransport::Backward : PlaybackTransport::Forward));
    // Let the views paint before a held arrow key asks for the next step.
    QCoreApplication::processEvents();
}

void PlaybackController::Play(PlaybackTransport::Direction direction)
{
    if (Range().IsEmpty())
        return;
    m_transport.Play(direction);
    if (m_transport.TimerRunning && !m_timer->isActive())
        m_timer->start(m_transport.TimerInterval);
    emit displayChanged();
}

void PlaybackController::StopButton()
{
    m_transport.StopButton();
    m_timer->stop();
    emit displayChanged();
}

void PlaybackController::StopPlayback()
{
    m_transport.StopPlayback();
    m_timer->stop();
    emit displayChanged();
}

void PlaybackController::SetPlaySpeed(int framesPerSecond)
{
    m_transport.SetPlaySpeed(framesPerSecond);
    m_timer->setInterval(m_transport.TimerInterval);
}

void PlaybackController::SliderMoved(int tick)
{
    if (!Range().IsEmpty())
        SetTime(TickToTime(tick, TimeStep()));
}

void PlaybackController::InMoved(int tick)
{
    m_transport.SetInTime(TickToTime(tick, TimeStep()));
    emit displayChanged();
}

void PlaybackController::OutMoved(int tick)
{
    m_transport.SetOutTime(TickToTime(tick, TimeStep()));
    emit displayChanged();
}

void PlaybackController::MarkIn()
{
    if (!Range().IsEmpty())
        InMoved(int(TimeToTick(CommonTime(), TimeStep())));
}

void PlaybackController::MarkOut()
{
    if (!Range().IsEmpty())
        OutMoved(int(TimeToTick(CommonTime(), TimeStep())));
}

void PlaybackController::SetMarks(const Rational& in, const Rational& out)
{
    if (Range().IsEmpty())
        return;
    m_transport.SetInTime(Range().Clamp(SnapToStep(in, TimeStep())));
    m_transport.SetOutTime(Range().Clamp(SnapToStep(out, TimeStep())));
    emit displayChanged();
}

void PlaybackController::Tick()
{
    QElapsedTimer clock;
    clock.start();
    const TickStep step = m_transport.BeginTick();
    if (!step.Run)
        return; // the previous tick is still rendering
    SetTime(step.Time);
    if (step.Stop)
        m_timer->stop();
    m_transport.EndTick(clock.elapsed());
    emit displayChanged();
}

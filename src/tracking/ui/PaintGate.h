#pragma once
// Holds back the repaints of top-level windows: while held, the windows'
// requests to paint what changed are kept, and paintHeld() paints all that
// changed since at once. Widgets still change (and take input) as usual;
// only the painting waits. Releasing paints what is left.

#include <QObject>
#include <QPointer>
#include <vector>

class QWidget;

class PaintGate : public QObject {
public:
    using QObject::QObject;
    ~PaintGate() override;

    void hold(QWidget* window);
    // Holding, unless paused: what is brought up to date just before the
    // held windows paint does so as if nothing were held.
    bool holding() const { return !m_held.empty() && !m_paused; }
    struct Pause {
        explicit Pause(PaintGate& gate) : m_gate(gate), m_was(gate.m_paused) { gate.m_paused = true; }
        ~Pause() { m_gate.m_paused = m_was; }
        PaintGate& m_gate;
        bool m_was;
    };
    void paintHeld();
    void release();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Held {
        QPointer<QWidget> window;
        bool requested = false;  // it asked to paint meanwhile
    };
    std::vector<Held> m_held;
    bool m_paused = false;
};

#pragma once
// The stages of an export after rendering: the calling thread renders frames
// 0, 1, 2 ... in order and hands them over; worker threads encode them, any
// number at once (each frame's encoding is independent of the others), and
// each frame is then committed strictly in order (the part that appends to
// one file). A fixed set of frames circulates between the stages, which
// bounds the memory and the work still to do after the renderer stops.
//
//   FramePipeline pipeline(workers, stages);
//   Frame frame;
//   for (int i = 0; i < count && pipeline.acquire(frame); ++i) {
//       render(i, frame);
//       pipeline.push(i, std::move(frame));
//   }
//   pipeline.finish();    // every frame handed over is committed (or discarded after a failure)
//
// After a frame fails (encode or commit), the frames before it are all
// committed, none after it is: those already encoded go to `discard`.

#include "common/Frame.h"

#include <QString>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class FramePipeline {
public:
    struct Stages {
        // Runs on a worker thread, for frames in any order; `worker` (0 ..
        // workers - 1) picks that thread's own scratch state.
        std::function<bool(int worker, int index, const Frame& frame, QString& error)> encode;
        // Runs on the worker that encoded frame `index`, once every frame
        // before it is committed; never two at once.
        std::function<bool(int worker, int index, const Frame& frame, QString& error)> commit;
        // For a frame encoded after an earlier one failed: undo what encode
        // left behind (a written file). May be empty.
        std::function<void(int worker, int index)> discard;
    };

    FramePipeline(int workers, Stages stages);
    ~FramePipeline();
    FramePipeline(const FramePipeline&) = delete;
    FramePipeline& operator=(const FramePipeline&) = delete;

    // A frame to render into (one that went through the stages before, or
    // an empty one), waiting while all frames are in the stages. False once
    // a frame has failed.
    bool acquire(Frame& frame);
    // Hands over the frame rendered for `index`; indexes run 0, 1, 2 ...
    // False once a frame has failed (the frame is dropped).
    bool push(int index, Frame&& frame);
    // No more frames: waits until every frame handed over is committed or
    // discarded. Called by the destructor too.
    void finish();

    bool failed() const;
    // The failed frame's message (after finish()).
    QString error() const;
    int committed() const;

private:
    struct Job {
        int index = 0;
        Frame frame;
    };
    void work(int worker);

    Stages m_stages;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_queue;
    std::vector<Frame> m_spare;
    int m_inStages = 0;     // frames handed out by acquire() and not yet back
    int m_maxInStages = 0;
    int m_nextCommit = 0;
    int m_committed = 0;
    bool m_noMore = false;
    bool m_failed = false;
    QString m_error;
    std::vector<std::thread> m_threads;
};

// Encoding threads for an export on this machine: one per processor core.
int DefaultExportWorkers();

#include "export/FramePipeline.h"

#include <algorithm>

int DefaultExportWorkers()
{
    return int(std::clamp(std::thread::hardware_concurrency(), 1u, 16u));
}

FramePipeline::FramePipeline(int workers, Stages stages)
    : m_stages(std::move(stages))
{
    workers = std::max(1, workers);
    // One frame in each worker's hands, one waiting and one being rendered:
    // enough to keep every stage busy, few enough that an abort leaves only
    // a frame or two of work per worker.
    m_maxInStages = workers + 2;
    m_threads.reserve(size_t(workers));
    for (int w = 0; w < workers; ++w)
        m_threads.emplace_back([this, w] { work(w); });
}

FramePipeline::~FramePipeline()
{
    finish();
}

bool FramePipeline::acquire(Frame& frame)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_inStages < m_maxInStages || m_failed; });
    if (m_failed)
        return false;
    ++m_inStages;
    if (!m_spare.empty()) {
        frame = std::move(m_spare.back());
        m_spare.pop_back();
    }
    return true;
}

bool FramePipeline::push(int index, Frame&& frame)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_failed || m_noMore)
            return false;
        m_queue.push_back({index, std::move(frame)});
    }
    m_changed.notify_all();
    return true;
}

void FramePipeline::finish()
{
    {
        std::lock_guard lock(m_mutex);
        m_noMore = true;
    }
    m_changed.notify_all();
    for (std::thread& t : m_threads)
        if (t.joinable())
            t.join();
    m_threads.clear();
}

bool FramePipeline::failed() const
{
    std::lock_guard lock(m_mutex);
    return m_failed;
}

QString FramePipeline::error() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

int FramePipeline::committed() const
{
    std::lock_guard lock(m_mutex);
    return m_committed;
}

void FramePipeline::work(int worker)
{
    for (;;) {
        Job job;
        bool skip = false;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [&] { return !m_queue.empty() || m_noMore; });
            if (m_queue.empty())
                return;
            job = std::move(m_queue.front());
            m_queue.pop_front();
            skip = m_failed; // an earlier frame failed: this one is never committed
        }

        QString error;
        const bool encoded = !skip && m_stages.encode(worker, job.index, job.frame, error);
        bool turn = false;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [&] { return m_nextCommit == job.index || m_failed; });
            turn = !m_failed;
        }
        // On its turn a frame alone touches the shared output, outside the
        // lock, so the renderer is never held up by a write.
        bool ok = false;
        if (turn)
            ok = encoded && m_stages.commit(worker, job.index, job.frame, error);
        else if (encoded && m_stages.discard)
            m_stages.discard(worker, job.index);

        {
            std::lock_guard lock(m_mutex);
            if (turn) {
                if (ok) {
                    ++m_nextCommit;
                    ++m_committed;
                } else {
                    m_failed = true;
                    m_error = error;
                }
            }
            m_spare.push_back(std::move(job.frame));
            --m_inStages;
        }
        m_changed.notify_all();
    }
}

#include "BoundedWorker.h"

namespace mailvane::phone {

BoundedWorker::BoundedWorker() : m_thread(&BoundedWorker::serve, m_shared) {}

BoundedWorker::~BoundedWorker()
{
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->stop = true;
    }
    m_shared->changed.notify_all();
    // A worker stuck in a call that ignored its abort cannot be joined without
    // hanging; it owns what it uses and ends on its own if ever it returns.
    if (m_givenUp)
        m_thread.detach();
    else
        m_thread.join();
}

void BoundedWorker::serve(std::shared_ptr<Shared> shared)
{
    std::unique_lock lock(shared->mutex);
    for (;;) {
        shared->changed.wait(lock, [&] { return shared->pending || shared->stop; });
        if (!shared->pending)
            return;
        std::function<void()> call = std::move(shared->call);
        shared->pending = false;
        lock.unlock();
        call();
        call = nullptr;
        lock.lock();
        ++shared->finishedCalls;
        shared->changed.notify_all();
    }
}

BoundedWorker::Outcome BoundedWorker::run(std::function<void()> call,
                                          std::chrono::milliseconds limit,
                                          const std::function<void()>& abort,
                                          std::chrono::milliseconds grace)
{
    if (m_givenUp)
        return Outcome::GivenUp;
    const unsigned long long ticket = ++m_submittedCalls;
    std::unique_lock lock(m_shared->mutex);
    m_shared->call = std::move(call);
    m_shared->pending = true;
    m_shared->changed.notify_all();
    const auto finished = [&] {
        return m_shared->finishedCalls >= ticket;
    };
    if (m_shared->changed.wait_for(lock, limit, finished))
        return Outcome::Finished;
    lock.unlock();
    if (abort)
        abort();
    lock.lock();
    if (m_shared->changed.wait_for(lock, grace, finished))
        return Outcome::TimedOut;
    m_givenUp = true;
    return Outcome::GivenUp;
}

} // namespace mailvane::phone

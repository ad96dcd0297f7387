#include "BlockingCall.h"

#include <QEventLoop>
#include <atomic>
#include <thread>

namespace mailvane::send {

void runBlockingCall(const std::function<void()>& call)
{
    QEventLoop loop;
    std::atomic<bool> finished = false;
    std::thread worker([&] {
        call();
        finished = true;
        // Posted to the loop's thread; dropped if the loop has gone.
        QMetaObject::invokeMethod(
            &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    // The quit is only ever posted after `finished` is set, so a loop that
    // starts late still sees it.
    if (!finished)
        loop.exec();
    worker.join();
}

} // namespace mailvane::send

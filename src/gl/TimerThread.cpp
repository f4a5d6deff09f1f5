#include "gl/TimerThread.h"

#include <chrono>
#include <QMetaObject>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

TTimerThread::TTimerThread(TThreadTimer* owner, int interval, bool syncTimerEvent,
                           TThreadPriority priority)
    : FPriority(priority)
    , tt(owner)
    , FSyncTimerEvent(syncTimerEvent)
    , FInterval(interval) {}

void TTimerThread::Start() {
    // The worker's first step takes this lock, so it only runs once its id is
    // known: an unsynchronised handler that disables the timer on its very
    // first tick must be recognised as running on the worker, or Detach()
    // would wait for that handler to return.
    std::lock_guard<std::mutex> lock(FMutex);
    std::thread worker([self = shared_from_this()] { self->Execute(); });
    FThreadId = worker.get_id();
    worker.detach();
}

void TTimerThread::Detach() {
    std::unique_lock<std::mutex> lock(FMutex);
    tt = nullptr;
    bExitThread = true;
    FWake.notify_all();
    // A handler running on the worker itself must not wait for itself.
    if (std::this_thread::get_id() != FThreadId)
        FWake.wait(lock, [this] { return !FInAsyncDelivery; });
}

void TTimerThread::SetInterval(int ms) {
    std::lock_guard<std::mutex> lock(FMutex);
    FInterval = ms;
}

void TTimerThread::SetSyncTimerEvent(bool value) {
    std::lock_guard<std::mutex> lock(FMutex);
    FSyncTimerEvent = value;
}

bool TTimerThread::TakePostedTick() {
    std::lock_guard<std::mutex> lock(FMutex);
    if (!FTickPosted || tt == nullptr)
        return false;
    FTickPosted = false;
    return true;
}

void TTimerThread::MarkDelivered() {
    std::lock_guard<std::mutex> lock(FMutex);
    FDelivered = true;
    FWake.notify_all();
}

// Lower priorities map onto nice values, which any process may take. Raising
// one needs privileges the program should not ask for, so higher priorities
// are kept as a setting and the worker runs at normal priority.
void TTimerThread::ApplyPriority() const {
    int niceValue = 0;
    switch (FPriority) {
    case tpIdle:
        niceValue = 19;
        break;
    case tpLowest:
        niceValue = 10;
        break;
    case tpLower:
        niceValue = 5;
        break;
    default:
        return;
    }
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), niceValue);
}

void TTimerThread::Execute() {
    using Clock = std::chrono::steady_clock;
    ApplyPriority();

    std::unique_lock<std::mutex> lock(FMutex);
    while (tt != nullptr && !bExitThread) {
        const Clock::time_point t0 = Clock::now();

        if (FSyncTimerEvent) {
            // The timer cannot be destroyed while we hold the lock: its
            // destructor detaches us under the same lock first.
            FDelivered = false;
            FTickPosted = true;
            QMetaObject::invokeMethod(tt, "DeliverTick", Qt::QueuedConnection);
            FWake.wait(lock, [this] { return FDelivered || bExitThread; });
        } else {
            TThreadTimer* owner = tt;
            FInAsyncDelivery = true;
            lock.unlock();
            owner->RunHandler();
            lock.lock();
            FInAsyncDelivery = false;
            FWake.notify_all();
        }

        if (tt == nullptr || bExitThread)
            break;

        // Missed ticks are not made up: a late tick starts the next at once.
        const auto elapsed = Clock::now() - t0;
        const auto remaining = std::chrono::milliseconds(FInterval) - elapsed;
        if (remaining > Clock::duration::zero())
            FWake.wait_for(lock, remaining, [this] { return bExitThread; });
    }
}

#pragma once

#include "gl/ThreadTimer.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <QtGlobal>
#include <thread>

// The worker of one enabled TThreadTimer. It measures the interval on a
// monotonic clock and hands each tick to its timer. Each enable starts a new
// worker; disabling detaches it (clears the link `tt` and sets `bExitThread`),
// after which it delivers nothing more and ends by itself. The worker keeps
// itself alive through a shared pointer, so a detached worker never touches
// the timer and the timer never waits for it.
class TTimerThread : public std::enable_shared_from_this<TTimerThread> {
public:
    TTimerThread(TThreadTimer* owner, quint64 id, int interval, bool syncTimerEvent,
                 TThreadPriority priority);

    TTimerThread(const TTimerThread&) = delete;
    TTimerThread& operator=(const TTimerThread&) = delete;

    // Starts the worker thread (detached).
    void Start();

    // Window thread: clears the link and wakes the worker so it ends. In the
    // unsynchronised mode it also waits for a handler running on the worker,
    // so the timer cannot be destroyed under it.
    void Detach();

    void SetInterval(int ms);
    void SetSyncTimerEvent(bool value);

    // Window thread: the handler of the pending tick has run.
    void MarkDelivered();

    quint64 Id() const { return FId; }

private:
    void Execute();
    void ApplyPriority() const;

    const quint64 FId;
    const TThreadPriority FPriority;

    std::mutex FMutex; // guards everything below
    std::condition_variable FWake;
    TThreadTimer* tt; // the owning timer; null once detached
    bool bExitThread = false;
    bool FSyncTimerEvent;
    int FInterval;
    bool FDelivered = false;
    bool FInAsyncDelivery = false;
    std::thread::id FThreadId;
};

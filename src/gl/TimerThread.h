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
    TTimerThread(TThreadTimer* owner, int interval, bool syncTimerEvent, TThreadPriority priority);

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

    // Window thread: takes the tick this worker has posted, which the caller
    // then delivers and marks; false when none is waiting or the worker is
    // detached.
    bool TakePostedTick();
    // Window thread: the handler of the taken tick has run.
    void MarkDelivered();

private:
    void Execute();
    void ApplyPriority() const;

    const TThreadPriority FPriority;

    std::mutex FMutex; // guards everything below
    std::condition_variable FWake;
    TThreadTimer* tt; // the owning timer; null once detached
    bool bExitThread = false;
    bool FSyncTimerEvent;
    int FInterval;
    // The tick handed to the window thread travels as this flag, not as an
    // argument of the queued call: the call's arguments are written and read
    // inside Qt, whose locking race detectors cannot see.
    bool FTickPosted = false;
    bool FDelivered = false;
    bool FInAsyncDelivery = false;
    std::thread::id FThreadId;
};

#include "gl/ThreadTimer.h"

#include "gl/TimerThread.h"

#include <atomic>

namespace {
// Identifies workers so a late tick of a detached worker is recognised.
quint64 NextWorkerId() {
    static std::atomic<quint64> next{0};
    return ++next;
}
} // namespace

TThreadTimer::TThreadTimer(QObject* owner)
    : QObject(owner) {}

TThreadTimer::~TThreadTimer() {
    SetEnabled(false);
}

void TThreadTimer::SetEnabled(bool value) {
    if (value) {
        if (!bRunning) {
            FTimerThread = std::make_shared<TTimerThread>(this, NextWorkerId(), FInterval,
                                                          FSyncTimerEvent, FPriority);
            FTimerThread->Start();
            bRunning = true;
        }
    } else {
        bRunning = false;
        if (FTimerThread) {
            FTimerThread->Detach();
            FTimerThread.reset();
        }
    }
    FEnabled = bRunning;
}

void TThreadTimer::SetInterval(int ms) {
    FInterval = ms;
    if (FTimerThread)
        FTimerThread->SetInterval(ms);
}

void TThreadTimer::SetSyncTimerEvent(bool value) {
    FSyncTimerEvent = value;
    if (FTimerThread)
        FTimerThread->SetSyncTimerEvent(value);
}

void TThreadTimer::RunHandler() {
    if (!OnTimer)
        return;
    try {
        OnTimer(this);
    } catch (...) {
        // A failing tick must not stop the animation or the worker.
    }
}

void TThreadTimer::DeliverTick(quint64 workerId) {
    // The local copy keeps the worker alive even if the handler disables or
    // destroys this timer.
    const std::shared_ptr<TTimerThread> worker = FTimerThread;
    if (!worker || worker->Id() != workerId)
        return; // a late tick of a worker that was detached meanwhile
    RunHandler();
    // `this` may be gone now; only the worker is touched.
    worker->MarkDelivered();
}

#include "gl/ThreadTimer.h"

#include "gl/TimerThread.h"

TThreadTimer::TThreadTimer(QObject* owner)
    : QObject(owner) {}

TThreadTimer::~TThreadTimer() {
    SetEnabled(false);
}

void TThreadTimer::SetEnabled(bool value) {
    if (value) {
        if (bRunning)
            return;
        bRunning = true;
        FEnabled = true;
        const auto worker =
            std::make_shared<TTimerThread>(this, FInterval, FSyncTimerEvent, FPriority);
        FTimerThread = worker;
        // Started last, and this timer is not touched afterwards: without
        // SyncTimerEvent the first tick may run on the worker at once, and its
        // handler may disable this timer there.
        worker->Start();
        return;
    }
    bRunning = false;
    FEnabled = false;
    if (FTimerThread) {
        FTimerThread->Detach();
        FTimerThread.reset();
    }
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

void TThreadTimer::DeliverTick() {
    // The local copy keeps the worker alive even if the handler disables or
    // destroys this timer.
    const std::shared_ptr<TTimerThread> worker = FTimerThread;
    // A late call posted by a worker that was detached meanwhile finds no
    // tick waiting (or takes the current worker's, whose own call then finds
    // none): every tick runs once.
    if (!worker || !worker->TakePostedTick())
        return;
    RunHandler();
    // `this` may be gone now; only the worker is touched.
    worker->MarkDelivered();
}

#pragma once

#include <functional>
#include <memory>
#include <QObject>

// Priority given to a timer's worker thread when it starts.
enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TTimerThread;

// A timer whose period is measured by a worker thread instead of the window
// system's timer queue, so ticks keep a steady rate while the window thread
// is busy drawing.
//
// Every tick starts Interval ms after the start of the previous one, the
// handler's own running time included; ticks never overlap and missed ticks
// are not made up. With SyncTimerEvent (the default) each tick is handed to
// the window thread and the worker waits until the handler has run there, so
// handlers may draw and touch screen state freely. Exceptions thrown by the
// handler are swallowed.
//
// Disabling detaches the worker without waiting for it; a detached worker
// delivers nothing more and ends after its current sleep. Disabling or
// destroying the timer from inside its own handler is safe.
class TThreadTimer : public QObject {
    Q_OBJECT
public:
    explicit TThreadTimer(QObject* owner = nullptr);
    ~TThreadTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);

    // Read by the worker before every sleep.
    int Interval() const { return FInterval; }
    void SetInterval(int ms);

    TThreadPriority ThreadPriority() const { return FPriority; }
    void SetThreadPriority(TThreadPriority value) { FPriority = value; }

    bool SyncTimerEvent() const { return FSyncTimerEvent; }
    void SetSyncTimerEvent(bool value);

    // The current worker, null while stopped.
    const TTimerThread* TimerThread() const { return FTimerThread.get(); }

    std::function<void(TThreadTimer* Sender)> OnTimer;

private slots:
    // Runs on the window thread for each tick a worker posts.
    void DeliverTick();

private:
    friend class TTimerThread;
    void RunHandler();

    int FInterval = 1000;
    TThreadPriority FPriority = tpNormal;
    std::shared_ptr<TTimerThread> FTimerThread;
    bool FSyncTimerEvent = true;
    bool bRunning = false;
    bool FEnabled = false;
};

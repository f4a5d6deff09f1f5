#include "gl/ThreadTimer.h"

#include "gl/GLAniTick.h"

#include <atomic>
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <stdexcept>
#include <vector>

namespace {

// Runs the window thread's event loop for `ms` milliseconds. The end is read
// from the clock after every batch of events: ticks handed over back to back
// keep posted events pending all the time, and a quit timer could then starve
// behind them and let the loop run on for extra ticks.
void RunEventsFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    QTimer wake; // ends the wait below when no tick arrives for a while
    wake.start(5);
    QEventLoop loop;
    while (clock.elapsed() < ms)
        loop.processEvents(QEventLoop::WaitForMoreEvents);
}

void BusyWait(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
    }
}

} // namespace

TEST(ThreadTimer, TicksRunOnTheWindowThreadAtTheInterval) {
    TThreadTimer timer;
    timer.SetInterval(50);
    int ticks = 0;
    bool onWindowThread = true;
    timer.OnTimer = [&](TThreadTimer* sender) {
        EXPECT_EQ(sender, &timer);
        onWindowThread = onWindowThread && QThread::currentThread() == qApp->thread();
        ++ticks;
    };
    timer.SetEnabled(true);
    RunEventsFor(1000);
    timer.SetEnabled(false);
    EXPECT_TRUE(onWindowThread);
    EXPECT_GE(ticks, 8);  // ~20 expected; generous for loaded machines
    EXPECT_LE(ticks, 22); // never more than the interval allows
}

TEST(ThreadTimer, SlowHandlerGivesBackToBackTicksWithoutOverlapOrCatchUp) {
    TThreadTimer timer;
    timer.SetInterval(100);
    int ticks = 0;
    int running = 0;
    int maxRunning = 0;
    timer.OnTimer = [&](TThreadTimer*) {
        maxRunning = std::max(maxRunning, ++running);
        BusyWait(130);
        ++ticks;
        --running;
    };
    timer.SetEnabled(true);
    RunEventsFor(1050);
    timer.SetEnabled(false);
    // One tick per 130 ms: about 8, never the 10 a 100 ms rate would give.
    EXPECT_GE(ticks, 5);
    EXPECT_LE(ticks, 9);
    EXPECT_EQ(maxRunning, 1);
}

TEST(ThreadTimer, DisablingInsideTheHandlerStopsFurtherTicks) {
    TThreadTimer timer;
    timer.SetInterval(20);
    int ticks = 0;
    timer.OnTimer = [&](TThreadTimer* sender) {
        ++ticks;
        sender->SetEnabled(false);
    };
    timer.SetEnabled(true);
    RunEventsFor(300);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(timer.TimerThread(), nullptr);
}

TEST(ThreadTimer, DestroyingInsideTheHandlerIsSafe) {
    auto* timer = new TThreadTimer;
    timer->SetInterval(20);
    int ticks = 0;
    timer->OnTimer = [&](TThreadTimer* sender) {
        ++ticks;
        delete sender;
    };
    timer->SetEnabled(true);
    RunEventsFor(300);
    EXPECT_EQ(ticks, 1);
}

TEST(ThreadTimer, DestroyingWhileTheWorkerSleepsIsSafe) {
    std::atomic<int> ticks{0};
    for (int round = 0; round < 20; ++round) {
        auto* timer = new TThreadTimer;
        timer->SetInterval(round % 2 == 0 ? 1 : 200);
        timer->OnTimer = [&](TThreadTimer*) { ++ticks; };
        timer->SetEnabled(true);
        RunEventsFor(round % 5);
        delete timer; // pending ticks must never reach the deleted timer
    }
    const int before = ticks;
    RunEventsFor(250);
    EXPECT_EQ(ticks, before);
}

TEST(ThreadTimer, EnablingTwiceKeepsOneWorkerAndReenablingStartsAFreshOne) {
    TThreadTimer timer;
    timer.SetInterval(50);
    int ticks = 0;
    timer.OnTimer = [&](TThreadTimer*) { ++ticks; };
    timer.SetEnabled(true);
    const auto* first = timer.TimerThread();
    timer.SetEnabled(true);
    EXPECT_EQ(timer.TimerThread(), first);
    RunEventsFor(520);
    EXPECT_LE(ticks, 12); // two workers would tick twice as often

    // Off and on at once: the old worker may still sleep but delivers nothing.
    timer.SetEnabled(false);
    timer.SetEnabled(true);
    EXPECT_NE(timer.TimerThread(), nullptr);
    ticks = 0;
    RunEventsFor(520);
    timer.SetEnabled(false);
    EXPECT_LE(ticks, 12);
    EXPECT_GE(ticks, 4);
}

TEST(ThreadTimer, HandlerExceptionsAreSwallowedAndTicksGoOn) {
    TThreadTimer timer;
    timer.SetInterval(20);
    int ticks = 0;
    timer.OnTimer = [&](TThreadTimer*) {
        ++ticks;
        throw std::runtime_error("tick failed");
    };
    timer.SetEnabled(true);
    RunEventsFor(300);
    timer.SetEnabled(false);
    EXPECT_GE(ticks, 3);
}

TEST(ThreadTimer, IntervalChangeAppliesAtTheNextSleep) {
    TThreadTimer timer;
    timer.SetInterval(400);
    std::vector<qint64> at;
    QElapsedTimer clock;
    clock.start();
    timer.OnTimer = [&](TThreadTimer* sender) {
        at.push_back(clock.elapsed());
        sender->SetInterval(30);
    };
    timer.SetEnabled(true);
    RunEventsFor(600);
    timer.SetEnabled(false);
    // The first tick comes at once; from then on ticks come every 30 ms.
    ASSERT_GE(at.size(), 5u);
    EXPECT_LT(at[1] - at[0], 300);
}

TEST(ThreadTimer, UnsynchronisedTicksRunOnTheWorker) {
    TThreadTimer timer;
    timer.SetInterval(10);
    timer.SetSyncTimerEvent(false);
    std::atomic<int> ticks{0};
    std::atomic<bool> offWindowThread{true};
    QThread* windowThread = qApp->thread();
    timer.OnTimer = [&](TThreadTimer*) {
        if (QThread::currentThread() == windowThread)
            offWindowThread = false;
        ++ticks;
    };
    timer.SetEnabled(true);
    QThread::msleep(200); // no event loop needed
    timer.SetEnabled(false);
    EXPECT_GE(ticks.load(), 3);
    EXPECT_TRUE(offWindowThread.load());
}

TEST(GLAniTick, StartAdvanceStopReset) {
    TGLAniTick tick;
    EXPECT_FALSE(tick.Started());
    tick.IncTick(); // never started: unchanged
    EXPECT_EQ(tick.Tick, 0);

    tick.Start();
    EXPECT_TRUE(tick.Started());
    tick.IncTick();
    tick.IncTick();
    EXPECT_EQ(tick.Tick, 3);

    tick.Stop();
    EXPECT_TRUE(tick.Stopped());
    EXPECT_FALSE(tick.Started());
    tick.IncTick(); // stopped: unchanged
    EXPECT_EQ(tick.Tick, 3);

    tick.Start(); // restarts at 1
    EXPECT_EQ(tick.Tick, 1);
    EXPECT_FALSE(tick.Stopped());

    tick.Reset();
    EXPECT_EQ(tick.Tick, 0);
    EXPECT_FALSE(tick.Started());
}

#include "gl/ThreadTimer.h"

#include "gl/GLAniTick.h"

#include <algorithm>
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

// Runs the window thread's event loop for `ms` milliseconds.
void RunEventsFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
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
    QElapsedTimer clock;
    clock.start();
    timer.SetEnabled(true);
    RunEventsFor(1000);
    timer.SetEnabled(false);
    const double periods = double(clock.elapsed()) / 50.0;
    EXPECT_TRUE(onWindowThread);
    EXPECT_LE(ticks, periods + 2);   // never faster than the interval
    EXPECT_GE(ticks, periods * 0.4); // generous for a loaded machine
}

TEST(ThreadTimer, SlowHandlerGivesBackToBackTicksWithoutOverlapOrCatchUp) {
    TThreadTimer timer;
    timer.SetInterval(100);
    QElapsedTimer clock;
    clock.start();
    std::vector<qint64> starts;
    int running = 0;
    int maxRunning = 0;
    timer.OnTimer = [&](TThreadTimer*) {
        maxRunning = std::max(maxRunning, ++running);
        starts.push_back(clock.elapsed());
        BusyWait(130);
        --running;
    };
    timer.SetEnabled(true);
    RunEventsFor(1050);
    timer.SetEnabled(false);

    ASSERT_GE(starts.size(), 4u);
    EXPECT_EQ(maxRunning, 1);
    std::vector<qint64> gaps;
    for (size_t i = 1; i < starts.size(); ++i)
        gaps.push_back(starts[i] - starts[i - 1]);
    // A tick never starts before the previous handler has returned, and
    // missed ticks are not made up with quicker ones.
    EXPECT_GE(*std::min_element(gaps.begin(), gaps.end()), 129);
    // Back to back: no extra sleep of an interval after a late tick.
    std::sort(gaps.begin(), gaps.end());
    EXPECT_LT(gaps[gaps.size() / 2], 200);
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
    QElapsedTimer clock;
    clock.start();
    timer.SetEnabled(true);
    const auto* first = timer.TimerThread();
    timer.SetEnabled(true);
    EXPECT_EQ(timer.TimerThread(), first);
    RunEventsFor(520);
    // Two workers would tick twice as often.
    EXPECT_LE(ticks, clock.elapsed() / 50 + 2);

    // Off and on at once: the old worker may still sleep but delivers nothing.
    timer.SetEnabled(false);
    timer.SetEnabled(true);
    EXPECT_NE(timer.TimerThread(), nullptr);
    ticks = 0;
    clock.restart();
    RunEventsFor(520);
    timer.SetEnabled(false);
    EXPECT_LE(ticks, clock.elapsed() / 50 + 2);
    EXPECT_GE(ticks, 3);
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

TEST(ThreadTimer, UnsynchronisedHandlerMayDisableItsOwnTimerOnTheFirstTick) {
    // Right after the start, so the worker runs its first tick while the
    // window thread may still be starting it.
    for (int round = 0; round < 50; ++round) {
        TThreadTimer timer;
        timer.SetInterval(0);
        timer.SetSyncTimerEvent(false);
        std::atomic<int> ticks{0};
        std::atomic<bool> returned{false};
        timer.OnTimer = [&](TThreadTimer* sender) {
            ++ticks;
            sender->SetEnabled(false);
            returned = true;
        };
        timer.SetEnabled(true);
        QElapsedTimer clock;
        clock.start();
        while (!returned && clock.elapsed() < 5000)
            QThread::msleep(1);
        ASSERT_TRUE(returned) << "round " << round;
        EXPECT_EQ(ticks, 1);
    }
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

#include "platform/mfc.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

long ElapsedMs(Clock::time_point since)
{
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

TEST(CCriticalSectionTest, IsRecursiveForItsOwner)
{
    CCriticalSection section;
    EXPECT_TRUE(section.IsKindOf(RUNTIME_CLASS(CSyncObject)));
    EXPECT_FALSE(section.Unlock());  // not held
    ASSERT_TRUE(section.Lock());
    ASSERT_TRUE(section.Lock(0));
    ASSERT_TRUE(section.Lock(10));
    EXPECT_TRUE(section.IsHeldByCurrentThread());
    EXPECT_TRUE(section.Unlock());
    EXPECT_TRUE(section.Unlock());
    EXPECT_TRUE(section.IsHeldByCurrentThread());
    EXPECT_TRUE(section.Unlock());
    EXPECT_FALSE(section.IsHeldByCurrentThread());
    EXPECT_FALSE(section.Unlock());
}

TEST(CSingleLockTest, TimesOutWhileAnotherThreadHoldsTheSection)
{
    CCriticalSection section;
    CSingleLock holder(&section, TRUE);
    ASSERT_TRUE(holder.IsLocked());
    const DWORD timeouts[] = {0, 30, 120};
    for (DWORD timeout : timeouts) {
        BOOL got = TRUE;
        BOOL lockedAfter = TRUE;
        long waited = -1;
        std::thread other([&] {
            CSingleLock lock(&section);
            auto start = Clock::now();
            got = lock.Lock(timeout);
            waited = ElapsedMs(start);
            lockedAfter = lock.IsLocked();
        });
        other.join();
        EXPECT_FALSE(got) << timeout;
        EXPECT_FALSE(lockedAfter) << timeout;
        EXPECT_GE(waited + 2, static_cast<long>(timeout)) << timeout;  // slack for clock granularity
        EXPECT_LT(waited, static_cast<long>(timeout) + 2000) << timeout;
    }
    // The owner's thread can still enter, recursively.
    CSingleLock again(&section, TRUE);
    EXPECT_TRUE(again.IsLocked());
}

TEST(CSingleLockTest, WaiterGetsTheSectionWhenReleased)
{
    CCriticalSection section;
    auto holder = std::make_unique<CSingleLock>(&section, TRUE);
    std::atomic<bool> released{false};
    std::atomic<bool> acquiredBeforeRelease{false};
    BOOL got = FALSE;
    std::thread waiter([&] {
        CSingleLock lock(&section);
        got = lock.Lock(INFINITE);
        acquiredBeforeRelease = !released.load();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    released = true;
    holder.reset();  // the destructor unlocks
    waiter.join();
    EXPECT_TRUE(got);
    EXPECT_FALSE(acquiredBeforeRelease);

    // A generous time-out succeeds once the section is free in time.
    holder = std::make_unique<CSingleLock>(&section, TRUE);
    BOOL timed = FALSE;
    std::thread timedWaiter([&] {
        CSingleLock lock(&section);
        timed = lock.Lock(5000);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    holder->Unlock();
    EXPECT_FALSE(holder->IsLocked());
    timedWaiter.join();
    EXPECT_TRUE(timed);
}

TEST(CSingleLockTest, KeepsThreadsOutOfEachOther)
{
    CCriticalSection section;
    long counter = 0;  // guarded by the section only
    int inside = 0;
    bool overlapped = false;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 5000; ++i) {
                CSingleLock lock(&section, TRUE);
                if (++inside != 1) overlapped = true;
                ++counter;
                --inside;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(counter, 4 * 5000);
    EXPECT_FALSE(overlapped);
}

TEST(CSingleLockTest, LockAndUnlockAreIdempotent)
{
    CCriticalSection section;
    {
        CSingleLock lock(&section);
        EXPECT_FALSE(lock.IsLocked());
        EXPECT_TRUE(lock.Unlock());  // nothing held: already unlocked
        EXPECT_TRUE(lock.Lock());
        EXPECT_TRUE(lock.Lock());  // still held once
        EXPECT_TRUE(lock.Unlock());
        EXPECT_FALSE(lock.IsLocked());
        EXPECT_FALSE(section.IsHeldByCurrentThread());
        EXPECT_TRUE(lock.Lock(0));
    }  // released by the destructor
    EXPECT_FALSE(section.IsHeldByCurrentThread());
    BOOL free = FALSE;
    std::thread other([&] {
        CSingleLock lock(&section);
        free = lock.Lock(0);
    });
    other.join();
    EXPECT_TRUE(free);
}

TEST(CSingleLockTest, ForeignThreadCannotUnlock)
{
    CCriticalSection section;
    CSingleLock holder(&section, TRUE);
    BOOL unlocked = TRUE;
    std::thread other([&] { unlocked = section.Unlock(); });
    other.join();
    EXPECT_FALSE(unlocked);
    EXPECT_TRUE(section.IsHeldByCurrentThread());
}

}  // namespace

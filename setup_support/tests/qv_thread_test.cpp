#include "qv_thread.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

std::atomic<int> g_calls{0};
void CountCall(void*) { ++g_calls; }

unsigned __stdcall SetFlag(void* arg) {
  static_cast<std::atomic<int>*>(arg)->store(1);
  return 0;
}
unsigned __stdcall Forever(void*) {
  for (;;) Sleep(1000);
}

TEST(QvThread, DetachedThreadsRunAndExitThreadEndsStragglers) {
  std::atomic<int> flag{0};
  EXPECT_EQ(CQvThread::StartThread(SetFlag, &flag, TRUE), nullptr);
  for (int i = 0; i < 200 && !flag; ++i) Sleep(10);
  EXPECT_EQ(flag.load(), 1);

  HANDLE quick = CQvThread::StartThread(SetFlag, &flag, FALSE);
  ASSERT_NE(quick, nullptr);
  CQvThread::ExitThread(quick, 5000);

  HANDLE stuck = CQvThread::StartThread(Forever, nullptr, FALSE);
  ASSERT_NE(stuck, nullptr);
  DWORD start = GetTickCount();
  CQvThread::ExitThread(stuck, 100);
  EXPECT_LT(GetTickCount() - start, 3000u);
}

TEST(QvThread, TimersFireStopAndReuseTheirSlots) {
  CQvThread timers;
  g_calls = 0;
  timers.StartTimer(7, CountCall, 20, nullptr);
  timers.StartTimer(7, CountCall, 20, nullptr);  // still running: ignored
  EXPECT_EQ(timers.TimerCount(), 1u);
  for (int i = 0; i < 300 && g_calls < 3; ++i) Sleep(10);
  EXPECT_GE(g_calls.load(), 3);

  timers.KillTimer(7);
  Sleep(200);
  int after_kill = g_calls;
  Sleep(200);
  EXPECT_EQ(g_calls.load(), after_kill);

  timers.StartTimer(7, CountCall, 20, nullptr);  // the stopped slot is reused
  EXPECT_EQ(timers.TimerCount(), 1u);
  for (int i = 0; i < 300 && g_calls < after_kill + 2; ++i) Sleep(10);
  EXPECT_GE(g_calls.load(), after_kill + 2);

  timers.Stop();
  int after_stop = g_calls;
  timers.StartTimer(8, CountCall, 10, nullptr);  // ends at once after Stop
  Sleep(200);
  EXPECT_EQ(g_calls.load(), after_stop);
}

TEST(QvThread, ManyTimersAndTheDestructorStopsThem) {
  g_calls = 0;
  {
    CQvThread timers;
    for (int id = 0; id < 25; ++id) timers.StartTimer(id, CountCall, 5, nullptr);
    EXPECT_EQ(timers.TimerCount(), 25u);
    Sleep(100);
  }
  int after = g_calls;
  Sleep(100);
  EXPECT_EQ(g_calls.load(), after);
}

struct Slow {
  std::atomic<int> inside{0};
  std::atomic<int> calls{0};
};

void SlowCall(void* arg) {
  Slow* s = static_cast<Slow*>(arg);
  ++s->inside;
  ++s->calls;
  Sleep(100);
  --s->inside;
}

TEST(QvThread, KillTimerWaitsForARunningCallbackAndNoneFollows) {
  CQvThread timers;
  Slow s;
  timers.StartTimer(3, SlowCall, 1, &s);
  for (int i = 0; i < 300 && !s.inside; ++i) Sleep(1);
  ASSERT_EQ(s.inside.load(), 1);
  timers.KillTimer(3);
  EXPECT_EQ(s.inside.load(), 0);
  const int calls = s.calls;
  Sleep(150);
  EXPECT_EQ(s.calls.load(), calls);

  // Killed during its wait: the owner's data is not touched again.
  Slow waiting;
  timers.StartTimer(4, SlowCall, 300, &waiting);
  Sleep(50);
  timers.KillTimer(4);
  Sleep(400);
  EXPECT_EQ(waiting.calls.load(), 0);
}

struct Reentry {
  CQvThread timers;
  std::atomic<int> calls{0};
  std::atomic<int> returned{0};
};

// A last callback that takes the list's lock while its slot is handed on.
void SlowKill(void* arg) {
  Reentry* r = static_cast<Reentry*>(arg);
  if (++r->calls > 1) return;
  Sleep(150);
  r->timers.KillTimer(9);
  r->returned = 1;
}

void StopFromInside(void* arg) {
  static_cast<Reentry*>(arg)->timers.Stop();
  static_cast<Reentry*>(arg)->returned = 1;
}

DWORD WINAPI RestartNine(LPVOID arg) {
  static_cast<Reentry*>(arg)->timers.StartTimer(9, nullptr, 10, nullptr);  // never called
  return 0;
}

TEST(QvThread, CallbacksMayCallBackIntoTheTimers) {
  Reentry r;
  r.timers.StartTimer(9, SlowKill, 1, &r);
  for (int i = 0; i < 300 && !r.calls; ++i) Sleep(10);
  r.timers.KillTimer(9);
  HANDLE restart = CreateThread(nullptr, 0, RestartNine, &r, 0, nullptr);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(restart, 5000)) << "deadlocked";
  CloseHandle(restart);
  EXPECT_EQ(1, r.returned.load());

  Reentry s;
  s.timers.StartTimer(1, StopFromInside, 1, &s);
  for (int i = 0; i < 300 && !s.returned; ++i) Sleep(10);
  EXPECT_EQ(1, s.returned.load()) << "Stop ended its own thread";
}

TEST(QvLock, PollsAtMostNTimesThenTakesOver) {
  CLock lock;
  lock.Lock(0);
  EXPECT_TRUE(lock.isLocked());
  DWORD start = GetTickCount();
  lock.Lock(5);
  DWORD waited = GetTickCount() - start;
  EXPECT_GE(waited, 30u);
  EXPECT_LT(waited, 2000u);
  EXPECT_TRUE(lock.isLocked());
  start = GetTickCount();
  lock.Wait(0);
  EXPECT_LT(GetTickCount() - start, 30u);
  lock.Unlock();
  start = GetTickCount();
  lock.Wait(100);
  EXPECT_LT(GetTickCount() - start, 30u);
  CLock copy = lock;
  EXPECT_FALSE(copy.isLocked());
}

}  // namespace

// Worker threads, timers (one thread per timer) and a polling lock flag.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

class CQvThread;

typedef void (*QvTimerProc)(void* data);
typedef unsigned(__stdcall* QvThreadProc)(void* arg);

struct tagQvTimer {
  int id = 0;
  QvTimerProc callback = nullptr;
  int interval = 0;
  CQvThread* owner = nullptr;
  void* data = nullptr;
  HANDLE thread = nullptr;
  // Set by KillTimer and Stop: the thread's wait ends at once.
  HANDLE wake = nullptr;
  // Read by the timer's thread, written by KillTimer on another.
  std::atomic<int> stopped{0};

  tagQvTimer() = default;
  tagQvTimer(const tagQvTimer&) = delete;
  tagQvTimer& operator=(const tagQvTimer&) = delete;
  ~tagQvTimer() {
    if (wake) CloseHandle(wake);
  }
};

class CQvThread {
 public:
  CQvThread();
  // Stops every timer before the list goes: a thread must never outlive
  // the entry it works on.
  ~CQvThread();
  // A copy would share thread handles and entries with running threads.
  CQvThread(const CQvThread&) = delete;
  CQvThread& operator=(const CQvThread&) = delete;

  static CQvThread& Instance();

  // Starts a thread at once. Detached: the handle is closed and nullptr
  // returned; otherwise the caller owns (and closes) the handle.
  static HANDLE StartThread(QvThreadProc proc, void* arg, BOOL detach);
  // Waits up to timeout_ms, ends the thread by force if it still runs, and
  // closes the handle.
  static void ExitThread(HANDLE thread, DWORD timeout_ms);

  // A stopped slot of the same id is reused once its old thread has ended;
  // from that thread's own callback it cannot be, and nothing starts.
  void StartTimer(int id, QvTimerProc callback, int interval_ms, void* data);
  // Once it returns, the timer's callback neither runs nor starts again:
  // a callback still running is waited for (unless KillTimer is called
  // from that callback itself).
  void KillTimer(int id);
  void Stop();

  bool IsStopped() const { return stop_.load() != 0; }
  std::size_t TimerCount();

 private:
  tagQvTimer* AddTimer(int id, QvTimerProc callback, int interval, void* data);
  HANDLE OldThreadOf(int id, bool* self);
  static bool IsCurrentThread(HANDLE thread);
  static unsigned __stdcall TimerThread(void* entry);

  std::atomic<int> stop_{0};
  std::mutex mutex_;
  // Entries live at fixed addresses: the list may grow while threads run.
  std::vector<std::unique_ptr<tagQvTimer>> timers_;
};

class CLock {
 public:
  CLock() = default;
  CLock(const CLock& other) : locked_(other.locked_.load()) {}
  CLock& operator=(const CLock& other) {
    locked_ = other.locked_.load();
    return *this;
  }

  // Polls every 10 ms, at most n times, for the flag to be free, then takes
  // it (after the last poll even from a holder that did not let go).
  void Lock(int n);
  // The same wait, without taking the flag.
  void Wait(int n);
  void Unlock() { locked_ = false; }
  bool isLocked() const { return locked_.load(); }

 private:
  std::atomic<bool> locked_{false};
};

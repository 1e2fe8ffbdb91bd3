#include "qv_thread.h"

#include <process.h>

CQvThread::CQvThread() { timers_.reserve(10); }

CQvThread::~CQvThread() { Stop(); }

CQvThread& CQvThread::Instance() {
  static CQvThread instance;
  return instance;
}

HANDLE CQvThread::StartThread(QvThreadProc proc, void* arg, BOOL detach) {
  HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, proc, arg, 0, nullptr));
  if (!thread) return nullptr;
  if (detach) {
    CloseHandle(thread);
    return nullptr;
  }
  return thread;
}

void CQvThread::ExitThread(HANDLE thread, DWORD timeout_ms) {
  if (!thread) return;
  if (WaitForSingleObject(thread, timeout_ms) == WAIT_TIMEOUT) TerminateThread(thread, 0);
  CloseHandle(thread);
}

bool CQvThread::IsCurrentThread(HANDLE thread) {
  return thread && GetThreadId(thread) == GetCurrentThreadId();
}

tagQvTimer* CQvThread::AddTimer(int id, QvTimerProc callback, int interval, void* data) {
  for (auto& entry : timers_) {
    if (entry->id != id) continue;
    if (entry->stopped.load() == 0 && !IsStopped()) return nullptr;
    // The caller made sure the old thread has ended. Only this side closes
    // a timer's handle.
    if (entry->thread) CloseHandle(entry->thread);
    entry->callback = callback;
    entry->interval = interval;
    entry->owner = this;
    entry->data = data;
    entry->thread = nullptr;
    entry->stopped = 0;
    ResetEvent(entry->wake);
    return entry.get();
  }
  auto entry = std::make_unique<tagQvTimer>();
  entry->wake = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!entry->wake) return nullptr;
  entry->id = id;
  entry->callback = callback;
  entry->interval = interval;
  entry->owner = this;
  entry->data = data;
  timers_.push_back(std::move(entry));
  return timers_.back().get();
}

// A handle of our own to the thread still in a stopped slot of that id, or
// null when the slot is free to reuse. Called under the lock.
HANDLE CQvThread::OldThreadOf(int id, bool* self) {
  *self = false;
  for (auto& entry : timers_) {
    if (entry->id != id || !entry->thread) continue;
    if (entry->stopped.load() == 0 && !IsStopped()) return nullptr;
    if (WaitForSingleObject(entry->thread, 0) == WAIT_OBJECT_0) return nullptr;
    if (IsCurrentThread(entry->thread)) {
      *self = true;
      return nullptr;
    }
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), entry->thread, GetCurrentProcess(), &copy, SYNCHRONIZE,
                    FALSE, 0);
    return copy;
  }
  return nullptr;
}

void CQvThread::StartTimer(int id, QvTimerProc callback, int interval_ms, void* data) {
  std::unique_lock<std::mutex> lock(mutex_);
  // The old thread of a reused slot may be in its last callback, which may
  // call back into this object: it is waited for without the lock held.
  for (;;) {
    bool self = false;
    HANDLE old = OldThreadOf(id, &self);
    // A timer's own callback cannot wait for its thread to end.
    if (self) return;
    if (!old) break;
    lock.unlock();
    WaitForSingleObject(old, INFINITE);
    CloseHandle(old);
    lock.lock();
  }
  tagQvTimer* entry = AddTimer(id, callback, interval_ms, data);
  if (!entry) return;
  // Started suspended so that the handle is in the entry before the thread
  // can look at it.
  HANDLE thread = reinterpret_cast<HANDLE>(
      _beginthreadex(nullptr, 0, &CQvThread::TimerThread, entry, CREATE_SUSPENDED, nullptr));
  if (!thread) {
    entry->stopped = 1;
    return;
  }
  entry->thread = thread;
  ResumeThread(thread);
}

unsigned __stdcall CQvThread::TimerThread(void* p) {
  tagQvTimer* entry = static_cast<tagQvTimer*>(p);
  auto running = [entry] { return !entry->owner->IsStopped() && entry->stopped.load() == 0; };
  // The flags are read again after the wait: a timer killed during it must
  // not call its owner once more.
  while (running()) {
    WaitForSingleObject(entry->wake, static_cast<DWORD>(entry->interval < 0 ? 0 : entry->interval));
    if (!running()) break;
    if (entry->callback) entry->callback(entry->data);
  }
  entry->stopped = 1;
  return 0;
}

void CQvThread::KillTimer(int id) {
  HANDLE running = nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& entry : timers_) {
      if (entry->id != id) continue;
      entry->stopped = 1;
      SetEvent(entry->wake);
      // The callback may call back into this object: it is waited for
      // without the lock held, through a handle of our own.
      if (entry->thread && !IsCurrentThread(entry->thread))
        DuplicateHandle(GetCurrentProcess(), entry->thread, GetCurrentProcess(), &running,
                        SYNCHRONIZE, FALSE, 0);
      break;
    }
  }
  if (running) {
    WaitForSingleObject(running, INFINITE);
    CloseHandle(running);
  }
}

void CQvThread::Stop() {
  stop_ = 1;
  // The handles are taken out under the lock and waited for without it, so
  // a last callback that calls a locking member is not ended in its wait.
  std::vector<HANDLE> threads;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& entry : timers_) {
      SetEvent(entry->wake);
      // Called from a timer's callback: that thread ends by itself once it
      // returns, and must neither wait for nor end itself.
      if (!entry->thread || IsCurrentThread(entry->thread)) continue;
      threads.push_back(entry->thread);
      entry->thread = nullptr;
    }
  }
  for (HANDLE thread : threads) {
    if (WaitForSingleObject(thread, 100) == WAIT_TIMEOUT) TerminateThread(thread, 0);
    CloseHandle(thread);
  }
}

std::size_t CQvThread::TimerCount() {
  std::lock_guard<std::mutex> lock(mutex_);
  return timers_.size();
}

void CLock::Lock(int n) {
  for (int i = 0; i < n; ++i) {
    if (!locked_.exchange(true)) return;
    Sleep(10);
  }
  locked_ = true;
}

void CLock::Wait(int n) {
  for (int i = 0; i < n && locked_.load(); ++i) Sleep(10);
}

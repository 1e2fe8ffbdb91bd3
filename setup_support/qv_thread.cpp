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

tagQvTimer* CQvThread::AddTimer(int id, QvTimerProc callback, int interval, void* data) {
  for (auto& entry : timers_) {
    if (entry->id != id) continue;
    if (entry->stopped.load() == 0 && !IsStopped()) return nullptr;
    // The old thread may still be in its last wait: let it end before the
    // slot changes hands. Only this side closes a timer's handle.
    if (entry->thread) {
      WaitForSingleObject(entry->thread, INFINITE);
      CloseHandle(entry->thread);
    }
    entry->callback = callback;
    entry->interval = interval;
    entry->owner = this;
    entry->data = data;
    entry->thread = nullptr;
    entry->stopped = 0;
    return entry.get();
  }
  auto entry = std::make_unique<tagQvTimer>();
  entry->id = id;
  entry->callback = callback;
  entry->interval = interval;
  entry->owner = this;
  entry->data = data;
  timers_.push_back(std::move(entry));
  return timers_.back().get();
}

void CQvThread::StartTimer(int id, QvTimerProc callback, int interval_ms, void* data) {
  std::lock_guard<std::mutex> lock(mutex_);
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
  while (!entry->owner->IsStopped() && entry->stopped.load() == 0) {
    Sleep(static_cast<DWORD>(entry->interval < 0 ? 0 : entry->interval));
    entry->callback(entry->data);
  }
  entry->stopped = 1;
  return 0;
}

void CQvThread::KillTimer(int id) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto& entry : timers_)
    if (entry->id == id) {
      entry->stopped = 1;
      return;
    }
}

void CQvThread::Stop() {
  stop_ = 1;
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto& entry : timers_) {
    if (!entry->thread) continue;
    // A timer callback that ends the program stops the timers from its own
    // thread: waiting for itself would only end in killing itself.
    if (GetThreadId(entry->thread) == GetCurrentThreadId()) {
      entry->stopped = 1;
      continue;
    }
    if (WaitForSingleObject(entry->thread, 100) == WAIT_TIMEOUT) TerminateThread(entry->thread, 0);
    CloseHandle(entry->thread);
    entry->thread = nullptr;
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

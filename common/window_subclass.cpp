#include "window_subclass.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace zz {
namespace {

struct Entry {
  SubclassProc proc;
  UINT_PTR id;
  DWORD_PTR data;
};

struct Chain {
  WNDPROC original = nullptr;
  std::vector<Entry> entries;  // oldest first
};

// Windows of several threads may be subclassed; each message takes the lock
// only to look its next step up, never while a procedure runs.
std::mutex& TableLock() {
  static std::mutex lock;
  return lock;
}

std::unordered_map<HWND, Chain>& Table() {
  static std::unordered_map<HWND, Chain> table;
  return table;
}

// One message on its way down a window's chain: `below` subclasses are
// still to be called under the one running now. Frames of the messages
// being handled on a thread form a stack, the newest on top.
struct Frame {
  HWND hwnd;
  std::size_t below;
  Frame* outer;
};
thread_local Frame* t_top = nullptr;

LRESULT CALLBACK ChainProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

LRESULT CallBelow(Frame& frame, UINT message, WPARAM wparam, LPARAM lparam) {
  Entry entry{};
  WNDPROC original = nullptr;
  std::size_t n = 0;
  {
    std::lock_guard<std::mutex> hold(TableLock());
    auto it = Table().find(frame.hwnd);
    if (it == Table().end()) return DefWindowProcW(frame.hwnd, message, wparam, lparam);
    n = std::min(frame.below, it->second.entries.size());
    if (n > 0)
      entry = it->second.entries[n - 1];
    else
      original = it->second.original;
  }
  if (n == 0) return CallWindowProcW(original, frame.hwnd, message, wparam, lparam);
  // A subclass may pass several messages on while it runs: each starts
  // again just under it.
  const std::size_t saved = frame.below;
  frame.below = n - 1;
  const LRESULT result = entry.proc(frame.hwnd, message, wparam, lparam, entry.id, entry.data);
  frame.below = saved;
  return result;
}

LRESULT CALLBACK ChainProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  Frame frame{hwnd, static_cast<std::size_t>(-1), t_top};
  t_top = &frame;
  const LRESULT result = CallBelow(frame, message, wparam, lparam);
  t_top = frame.outer;
  if (message == WM_NCDESTROY) {
    std::lock_guard<std::mutex> hold(TableLock());
    Table().erase(hwnd);
  }
  return result;
}

auto FindEntry(std::vector<Entry>& entries, SubclassProc proc, UINT_PTR id) {
  return std::find_if(entries.begin(), entries.end(),
                      [&](const Entry& e) { return e.proc == proc && e.id == id; });
}

}  // namespace

bool AttachSubclass(HWND hwnd, SubclassProc proc, UINT_PTR id, DWORD_PTR data) {
  if (!proc || !IsWindow(hwnd) || GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId())
    return false;
  std::lock_guard<std::mutex> hold(TableLock());
  auto it = Table().find(hwnd);
  if (it == Table().end()) {
    SetLastError(0);
    auto original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ChainProc)));
    if (!original) return false;
    it = Table().emplace(hwnd, Chain{original, {}}).first;
  }
  auto& entries = it->second.entries;
  auto found = FindEntry(entries, proc, id);
  if (found != entries.end())
    found->data = data;
  else
    entries.push_back({proc, id, data});
  return true;
}

void DetachSubclass(HWND hwnd, SubclassProc proc, UINT_PTR id) {
  std::lock_guard<std::mutex> hold(TableLock());
  auto it = Table().find(hwnd);
  if (it == Table().end()) return;
  auto& entries = it->second.entries;
  auto found = FindEntry(entries, proc, id);
  if (found != entries.end()) entries.erase(found);
}

bool FindSubclass(HWND hwnd, SubclassProc proc, UINT_PTR id, DWORD_PTR* data) {
  std::lock_guard<std::mutex> hold(TableLock());
  auto it = Table().find(hwnd);
  if (it == Table().end()) return false;
  auto found = FindEntry(it->second.entries, proc, id);
  if (found == it->second.entries.end()) return false;
  if (data) *data = found->data;
  return true;
}

LRESULT CallNextSubclass(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  for (Frame* frame = t_top; frame; frame = frame->outer)
    if (frame->hwnd == hwnd) return CallBelow(*frame, message, wparam, lparam);
  return ChainProc(hwnd, message, wparam, lparam);
}

}  // namespace zz

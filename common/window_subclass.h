// Subclassing of windows by their window procedure, with the shape of the
// common controls' subclass helpers. Those look their bookkeeping up in a
// window property on every message, which under Wine is a round trip to the
// server: a list view given thousands of rows through them takes minutes.
// Here the bookkeeping is a table of the module's own.
//
// Several subclasses of one window form a chain, the newest called first;
// each passes a message on with CallNextSubclass. A subclass is removed at
// the latest when its window is destroyed (after WM_NCDESTROY has been
// passed down the chain).
#pragma once

#include <windows.h>

namespace zz {

using SubclassProc = LRESULT(CALLBACK*)(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                        UINT_PTR id, DWORD_PTR data);

// False when the window is not this thread's, or its procedure cannot be
// replaced. Attaching the same (proc, id) again only replaces its data.
bool AttachSubclass(HWND hwnd, SubclassProc proc, UINT_PTR id, DWORD_PTR data);
// The window keeps its procedure (another module may have subclassed it
// since); the chain just no longer calls this subclass.
void DetachSubclass(HWND hwnd, SubclassProc proc, UINT_PTR id);
// The data given to AttachSubclass; false when (proc, id) is not attached.
bool FindSubclass(HWND hwnd, SubclassProc proc, UINT_PTR id, DWORD_PTR* data);
// Passes a message to the next older subclass, or the window's own
// procedure. Called outside a subclass of this window, it sends the message
// through all of this module's subclasses of it.
LRESULT CallNextSubclass(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace zz

// Libraries taken from the system folder only. A setup program runs
// elevated from wherever it was put (a download folder, a USB stick, an
// installation folder every user may write to), so a library of a name it
// asks for, laid beside it, would otherwise run inside it.
#pragma once

#include <windows.h>

// First thing in a setup program: later loads by name (its delay-loaded
// imports, COM, the shell, GDI+) search the system folder only.
void QvLoadSystemDllsOnly();

// The system folder's copy of a library by its file name, or null.
HMODULE QvLoadSystemDll(const wchar_t* name);

// How the main program puts on its skin: the skin library SkinH_EL.dll and
// the 33 skins travel in the program's own resources (added to the program
// by zz_add_skin_resources in skin_engine/CMakeLists.txt; ids in
// skin_resources.h). The library file is written beside the program when it
// is missing, bound by file name and export names, and called.
//
// Every failure (the file cannot be written, will not load, lacks an export,
// a call refuses) means: no skin for this run. The functions then return
// false; they never end the program.
#pragma once

#include <windows.h>

#include <string>

#include "skin_api.h"

namespace zz::skin {

// The folder of the running program, without a trailing backslash.
std::wstring ProgramFolder();

// The bytes of a resource of the running program; false when it has none.
bool ProgramResource(const wchar_t* type, int id, const void** data, DWORD* size);

// Makes sure `folder`\SkinH_EL.dll exists: when it is missing, writes it from
// the program's resources and marks it hidden. A file that is there is left
// as it is. False when the file is missing and could not be written whole (a
// partial file is removed again, so the next run tries afresh).
bool EnsureLibraryFile(const std::wstring& folder);

// The library, bound by name from one file.
class SkinLibrary {
 public:
  SkinLibrary() = default;
  ~SkinLibrary();
  SkinLibrary(const SkinLibrary&) = delete;
  SkinLibrary& operator=(const SkinLibrary&) = delete;

  // Loads `path` and finds both exports; false (and nothing kept loaded) if
  // either step fails.
  bool Bind(const std::wstring& path);
  bool bound() const { return attach_ != nullptr; }

  // Attaches skin `number` (1..33) from the program's resources.
  bool AttachSkin(int number);
  // Attaches a skin block held by the caller.
  bool AttachBlock(const void* data, DWORD size);
  bool SetAero(bool on);

 private:
  HMODULE module_ = nullptr;
  bool attached_ = false;  // a library that skins windows is never unloaded
  SkinAttachResFn attach_ = nullptr;
  SkinSetAeroFn aero_ = nullptr;
};

// The whole skin start-up of a window: make sure of the library file beside
// the program, bind it (once per run), attach skin `number`, make sure of
// the file again, switch the glass frame on. Call it first thing in every
// window's creation. False when the run goes without a skin (the reason is
// written to the debugger output once); the program carries on either way.
bool ApplySkin(int number);

}  // namespace zz::skin

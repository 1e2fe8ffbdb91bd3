// The skin library's two exports, as a program binds them by name from
// SkinH_EL.dll. Both use the standard calling convention and keep their
// undecorated names.
//
//   SkinH_AttachRes(data, size, key, reserved1, reserved2, reserved3)
//     Takes a skin block (skin_format.h) of `size` bytes and skins every
//     window of the process with it from then on: the windows that exist
//     and every window created later. Calling it again with another block
//     re-skins everything; with the same block it changes nothing. `key` is
//     for protected skins, which this format does not have: it must be null
//     or empty; the reserved values must be 0. Returns 1 on success, 0 for
//     a refused block or argument, which leaves the current skin as it was.
//
//   SkinH_SetAero(on)
//     Asks for (1) or against (0) the desktop's glass frame on the
//     process's top-level windows, where the desktop composes windows.
//     Returns 1 when composition is there to use, 0 when it is not (then
//     nothing changes).
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

typedef int(__stdcall* SkinAttachResFn)(const void* data, int size, const char* key, int reserved1,
                                        int reserved2, int reserved3);
typedef int(__stdcall* SkinSetAeroFn)(int on);

#ifdef __cplusplus
}
#endif

#define ZZ_SKIN_LIBRARY_FILE L"SkinH_EL.dll"
#define ZZ_SKIN_ATTACH_EXPORT "SkinH_AttachRes"
#define ZZ_SKIN_AERO_EXPORT "SkinH_SetAero"

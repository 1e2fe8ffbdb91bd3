// Stands in for a damaged skin library: the right file, one export short.
extern "C" __declspec(dllexport) int __stdcall SkinH_AttachRes(const void*, int, const char*, int, int, int) {
  return 1;
}

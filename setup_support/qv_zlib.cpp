#include "qv_zlib.h"

#include <zlib.h>

#include "qv_handle.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <type_traits>
#include <memory>
#include <string>

namespace {

constexpr ULONGLONG kMaxSource = 1000000000ULL;
constexpr ULONGLONG kMaxOutput = 1000000000ULL;
constexpr ULONGLONG kMinOutput = 1000000ULL;

typedef int(ZEXPORT* CompressFn)(Bytef*, uLongf*, const Bytef*, uLong);
typedef int(ZEXPORT* Compress2Fn)(Bytef*, uLongf*, const Bytef*, uLong, int);
typedef int(ZEXPORT* UncompressFn)(Bytef*, uLongf*, const Bytef*, uLong);
typedef int(ZEXPORT* InflateFn)(z_streamp, int);
typedef int(ZEXPORT* InflateEndFn)(z_streamp);
typedef int(ZEXPORT* InflateInitFn)(z_streamp, const char*, int);
typedef int(ZEXPORT* InflateInit2Fn)(z_streamp, int, const char*, int);

struct Binding {
  HMODULE module = nullptr;
  CompressFn compress = nullptr;
  Compress2Fn compress2 = nullptr;
  UncompressFn uncompress = nullptr;
  InflateFn inflate = nullptr;
  InflateEndFn inflate_end = nullptr;
  InflateInitFn inflate_init = nullptr;
  InflateInit2Fn inflate_init2 = nullptr;
};

// Binding and unbinding take the lock exclusively; every data operation
// holds it shared while it calls into zlib, so the library is never released
// under a running operation.
SRWLOCK g_lock = SRWLOCK_INIT;
Binding g_zlib;
std::wstring g_path_override;

class SharedUse {
 public:
  SharedUse() { AcquireSRWLockShared(&g_lock); }
  ~SharedUse() { ReleaseSRWLockShared(&g_lock); }
};

HRESULT LastErrorResult() {
  DWORD error = GetLastError();
  return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

std::wstring LibraryPath() {
  if (!g_path_override.empty()) return g_path_override;
  wchar_t path[MAX_PATH * 2];
  DWORD n = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  std::wstring folder(path, n);
  folder.erase(folder.find_last_of(L'\\') + 1);
  return folder + L"zlib1.dll";
}

struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};
using Buffer = std::unique_ptr<BYTE, FreeDeleter>;

// Reads the whole source; the result is S_OK with *size set.
HRESULT ReadSource(LPCWSTR source, Buffer* data, ULONGLONG* size) {
  QvFileHandle in(CreateFileW(source, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!in.ok()) return LastErrorResult();
  LARGE_INTEGER li;
  if (!GetFileSizeEx(in.get(), &li)) return LastErrorResult();
  *size = static_cast<ULONGLONG>(li.QuadPart);
  if (*size == 0) return S_OK;
  if (*size > kMaxSource) return E_FAIL;
  data->reset(static_cast<BYTE*>(std::malloc(static_cast<size_t>(*size))));
  if (!*data) return E_OUTOFMEMORY;
  DWORD got = 0;
  if (!ReadFile(in.get(), data->get(), static_cast<DWORD>(*size), &got, nullptr))
    return LastErrorResult();
  if (got != *size) return HRESULT_FROM_WIN32(ERROR_HANDLE_EOF);
  return S_OK;
}

// Writes the result beside the destination first and then puts it in
// place, so a failure never leaves a damaged or emptied destination.
// A ".part" file that is already there is someone else's: a name of its own
// is looked for instead ("<destination>.part", ".part1", ...).
HANDLE CreateOwnTemp(LPCWSTR destination, std::wstring* temp) {
  for (int n = 0; n < 100; ++n) {
    *temp = std::wstring(destination) + L".part" + (n ? std::to_wstring(n) : std::wstring());
    HANDLE file = CreateFileW(temp->c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

HRESULT WriteDestination(LPCWSTR destination, const BYTE* data, ULONGLONG size) {
  std::wstring temp;
  {
    QvFileHandle out(CreateOwnTemp(destination, &temp));
    if (!out.ok()) return LastErrorResult();
    DWORD written = 0;
    if (size > 0 && (!WriteFile(out.get(), data, static_cast<DWORD>(size), &written, nullptr) ||
                     written != size)) {
      HRESULT hr = LastErrorResult();
      DeleteFileW(temp.c_str());
      return hr;
    }
  }
  if (!MoveFileExW(temp.c_str(), destination, MOVEFILE_REPLACE_EXISTING)) {
    HRESULT hr = LastErrorResult();
    DeleteFileW(temp.c_str());
    return hr;
  }
  return S_OK;
}

// Runs uncompress or compress2 with a growing output area.
template <typename Call>
HRESULT Transform(LPCWSTR source, LPCWSTR destination, ULONGLONG first_capacity, Call call) {
  Buffer input;
  ULONGLONG size = 0;
  HRESULT hr = ReadSource(source, &input, &size);
  if (FAILED(hr)) return hr;
  if (size == 0) return WriteDestination(destination, nullptr, 0);
  ULONGLONG capacity = first_capacity ? first_capacity : (size > kMinOutput ? size : kMinOutput);
  if (capacity > kMaxOutput) capacity = kMaxOutput;
  for (;;) {
    Buffer output(static_cast<BYTE*>(std::malloc(static_cast<size_t>(capacity))));
    if (!output) return E_OUTOFMEMORY;
    uLongf produced = static_cast<uLongf>(capacity);
    int rc = call(output.get(), &produced, input.get(), static_cast<uLong>(size));
    if (rc == Z_OK) return WriteDestination(destination, output.get(), produced);
    if (rc != Z_BUF_ERROR || capacity >= kMaxOutput) return E_FAIL;
    capacity = capacity * 2 > kMaxOutput ? kMaxOutput : capacity * 2;
  }
}

}  // namespace

CQvZlib::CQvZlib() = default;
CQvZlib::~CQvZlib() = default;

CQvZlib& CQvZlib::Instance() {
  static CQvZlib instance;
  return instance;
}

void CQvZlib::SetLibraryPath(LPCWSTR path) {
  AcquireSRWLockExclusive(&g_lock);
  g_path_override = path ? path : L"";
  ReleaseSRWLockExclusive(&g_lock);
}

HRESULT CQvZlib::InitZlib() {
  AcquireSRWLockExclusive(&g_lock);
  HRESULT hr = S_OK;
  if (!g_zlib.module) {
    Binding b;
    b.module = LoadLibraryW(LibraryPath().c_str());
    bool ok = b.module != nullptr;
    auto bind = [&](auto& fn, const char* name) {
      if (!ok) return;
      fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(
          reinterpret_cast<void*>(GetProcAddress(b.module, name)));
      ok = fn != nullptr;
    };
    bind(b.compress, "compress");
    bind(b.compress2, "compress2");
    bind(b.uncompress, "uncompress");
    bind(b.inflate, "inflate");
    bind(b.inflate_end, "inflateEnd");
    bind(b.inflate_init, "inflateInit_");
    bind(b.inflate_init2, "inflateInit2_");
    if (ok) {
      g_zlib = b;
    } else {
      // The error is taken before FreeLibrary can change it.
      hr = LastErrorResult();
      if (b.module) FreeLibrary(b.module);
    }
  }
  ReleaseSRWLockExclusive(&g_lock);
  return hr;
}

void CQvZlib::UninitZlib() {
  AcquireSRWLockExclusive(&g_lock);
  if (g_zlib.module) FreeLibrary(g_zlib.module);
  g_zlib = Binding{};
  ReleaseSRWLockExclusive(&g_lock);
}

bool CQvZlib::IsBound() {
  SharedUse use;
  return g_zlib.module != nullptr;
}

int CQvZlib::InflateBuffer(BYTE** out, DWORD* out_length, const BYTE* data, DWORD length) {
  SharedUse use;
  if (!g_zlib.inflate) return Z_STREAM_ERROR;
  z_stream stream{};
  // The size of the stream record is this build's, not a fixed one: zlib
  // refuses a mismatch.
  int rc = g_zlib.inflate_init2(&stream, 47, ZLIB_VERSION, static_cast<int>(sizeof(z_stream)));
  if (rc != Z_OK) return rc;
  stream.next_in = const_cast<Bytef*>(data);
  stream.avail_in = length;
  std::string result;
  BYTE chunk[4096];
  // A result that cannot grow ends the stream like any other failure:
  // nothing may leave here with the stream still open.
  try {
    for (;;) {
      stream.next_out = chunk;
      stream.avail_out = sizeof chunk;
      rc = g_zlib.inflate(&stream, Z_NO_FLUSH);
      if (rc == Z_MEM_ERROR || rc == Z_DATA_ERROR || rc == Z_NEED_DICT) break;
      std::size_t produced = sizeof chunk - stream.avail_out;
      if (result.size() + produced > kMaxOutput) {
        rc = Z_DATA_ERROR;
        break;
      }
      result.append(reinterpret_cast<char*>(chunk), produced);
      if (stream.avail_out != 0 || rc == Z_STREAM_END) break;
    }
  } catch (...) {
    rc = Z_MEM_ERROR;
    std::string().swap(result);
  }
  g_zlib.inflate_end(&stream);
  *out = nullptr;
  *out_length = 0;
  if (rc != Z_STREAM_END) return Z_DATA_ERROR;
  BYTE* block = static_cast<BYTE*>(std::malloc(result.empty() ? 1 : result.size()));
  if (!block) return Z_MEM_ERROR;
  std::copy(result.begin(), result.end(), block);
  *out = block;
  *out_length = static_cast<DWORD>(result.size());
  return Z_OK;
}

HRESULT CQvZlib::DecodeGZipBuffer(const BYTE* data, DWORD length, BYTE** out, DWORD* out_length) {
  if (!out || !out_length) return E_FAIL;
  return InflateBuffer(out, out_length, data, length) == Z_OK ? S_OK : E_FAIL;
}

HRESULT CQvZlib::DecodeFile(LPCWSTR source, LPCWSTR destination, DWORD size_hint) {
  SharedUse use;
  if (!g_zlib.uncompress) return E_NOINTERFACE;
  auto uncompress = g_zlib.uncompress;
  return Transform(source, destination, size_hint,
                   [uncompress](Bytef* o, uLongf* n, const Bytef* i, uLong s) {
                     return uncompress(o, n, i, s);
                   });
}

HRESULT CQvZlib::EncodeFile(LPCWSTR source, LPCWSTR destination, int level) {
  SharedUse use;
  if (!g_zlib.compress) return E_NOINTERFACE;
  auto compress2 = g_zlib.compress2;
  return Transform(source, destination, 0,
                   [compress2, level](Bytef* o, uLongf* n, const Bytef* i, uLong s) {
                     return compress2(o, n, i, s, level);
                   });
}

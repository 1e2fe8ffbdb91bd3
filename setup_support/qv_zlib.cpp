#include "qv_zlib.h"

#include <zlib.h>

#include "qv_handle.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>

namespace {

constexpr ULONGLONG kMaxSource = 1000000000ULL;
constexpr ULONGLONG kMaxOutput = 1000000000ULL;
constexpr ULONGLONG kMinOutput = 1000000ULL;

// Binding is a flag over the zlib linked into the program: Init sets it,
// Uninit clears it, and every data operation holds the lock shared while it
// works, so an Uninit waits for running operations to end.
SRWLOCK g_lock = SRWLOCK_INIT;
bool g_bound = false;

class SharedUse {
 public:
  SharedUse() { AcquireSRWLockShared(&g_lock); }
  ~SharedUse() { ReleaseSRWLockShared(&g_lock); }
};

HRESULT LastErrorResult() {
  DWORD error = GetLastError();
  return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
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

HRESULT CQvZlib::InitZlib() {
  AcquireSRWLockExclusive(&g_lock);
  g_bound = true;
  ReleaseSRWLockExclusive(&g_lock);
  return S_OK;
}

void CQvZlib::UninitZlib() {
  AcquireSRWLockExclusive(&g_lock);
  g_bound = false;
  ReleaseSRWLockExclusive(&g_lock);
}

bool CQvZlib::IsBound() {
  SharedUse use;
  return g_bound;
}

int CQvZlib::InflateBuffer(BYTE** out, DWORD* out_length, const BYTE* data, DWORD length) {
  SharedUse use;
  if (!g_bound) return Z_STREAM_ERROR;
  z_stream stream{};
  // 32 + 15: a gzip or a zlib header is recognised by itself.
  int rc = inflateInit2(&stream, 47);
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
      rc = inflate(&stream, Z_NO_FLUSH);
      if (rc == Z_MEM_ERROR || rc == Z_DATA_ERROR || rc == Z_NEED_DICT) break;
      std::size_t produced = sizeof chunk - stream.avail_out;
      if (result.size() + produced > kMaxOutput) {
        rc = Z_DATA_ERROR;
        break;
      }
      result.append(reinterpret_cast<char*>(chunk), produced);
      if (rc == Z_STREAM_END) {
        // gzip allows several members one after the other; each is part of
        // the data, and bytes after a member that are no member are damage.
        if (stream.avail_in == 0) break;
        rc = inflateReset(&stream);
        if (rc != Z_OK) break;
        continue;
      }
      // The input ran out inside a stream: it was cut short.
      if (stream.avail_out != 0) break;
    }
  } catch (...) {
    rc = Z_MEM_ERROR;
    std::string().swap(result);
  }
  inflateEnd(&stream);
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
  if (!g_bound) return E_NOINTERFACE;
  return Transform(source, destination, size_hint,
                   [](Bytef* o, uLongf* n, const Bytef* i, uLong s) { return uncompress(o, n, i, s); });
}

HRESULT CQvZlib::EncodeFile(LPCWSTR source, LPCWSTR destination, int level) {
  SharedUse use;
  if (!g_bound) return E_NOINTERFACE;
  return Transform(source, destination, 0, [level](Bytef* o, uLongf* n, const Bytef* i, uLong s) {
    return compress2(o, n, i, s, level);
  });
}

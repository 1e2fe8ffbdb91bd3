#include "file_access.h"

#include <cstdio>
#include <cstdlib>

#include "gbk_text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace rt {
namespace {

#ifndef _WIN32
std::string Native(const std::string& gbk) { return zz::GbkToUtf8(gbk); }
#endif

std::FILE* Open(const std::string& gbk_path, const char* mode) {
#ifdef _WIN32
  std::wstring m(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(zz::GbkToWide(gbk_path).c_str(), m.c_str());
#else
  return std::fopen(Native(gbk_path).c_str(), mode);
#endif
}

}  // namespace

bool FileExists(const std::string& gbk_path) {
#ifdef _WIN32
  return GetFileAttributesW(zz::GbkToWide(gbk_path).c_str()) != INVALID_FILE_ATTRIBUTES;
#else
  struct stat st;
  return stat(Native(gbk_path).c_str(), &st) == 0;
#endif
}

bool ReadWholeFile(const std::string& gbk_path, std::string* bytes) {
  std::FILE* f = Open(gbk_path, "rb");
  if (!f) return false;
  bytes->clear();
  char buf[8192];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes->append(buf, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

bool WriteBytes(const std::string& gbk_path, const std::string& bytes) {
  std::FILE* f = Open(gbk_path, "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fclose(f) == 0 && ok;
  return ok;
}

bool ReplaceWholeFile(const std::string& gbk_path, const std::string& bytes) {
  std::string temp = gbk_path + ".new";
  if (!WriteBytes(temp, bytes)) {
    DeleteFileAt(temp);
    return false;
  }
  if (!MoveFileTo(temp, gbk_path)) {
    DeleteFileAt(temp);
    return false;
  }
  return true;
}

bool CopyFileTo(const std::string& from, const std::string& to, bool overwrite) {
#ifdef _WIN32
  return CopyFileW(zz::GbkToWide(from).c_str(), zz::GbkToWide(to).c_str(), overwrite ? FALSE : TRUE) != 0;
#else
  std::string bytes;
  return (overwrite || !FileExists(to)) && ReadWholeFile(from, &bytes) && WriteBytes(to, bytes);
#endif
}

bool MoveFileTo(const std::string& from, const std::string& to, bool overwrite) {
#ifdef _WIN32
  return MoveFileExW(zz::GbkToWide(from).c_str(), zz::GbkToWide(to).c_str(),
                     (overwrite ? MOVEFILE_REPLACE_EXISTING : 0) | MOVEFILE_COPY_ALLOWED) != 0;
#else
  return (overwrite || !FileExists(to)) && std::rename(Native(from).c_str(), Native(to).c_str()) == 0;
#endif
}

bool DeleteFileAt(const std::string& gbk_path) {
#ifdef _WIN32
  return DeleteFileW(zz::GbkToWide(gbk_path).c_str()) != 0;
#else
  return unlink(Native(gbk_path).c_str()) == 0;
#endif
}

bool SetHidden(const std::string& gbk_path) {
#ifdef _WIN32
  std::wstring path = zz::GbkToWide(gbk_path);
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         SetFileAttributesW(path.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN) != 0;
#else
  return FileExists(gbk_path);  // no hidden attribute here
#endif
}

std::string EnvironmentVariable(const std::string& name) {
#ifdef _WIN32
  std::wstring wname = zz::GbkToWide(name);
  DWORD n = GetEnvironmentVariableW(wname.c_str(), nullptr, 0);
  if (n == 0) return "";
  std::wstring value(n, L'\0');
  n = GetEnvironmentVariableW(wname.c_str(), value.data(), n);
  value.resize(n);
  return zz::Utf16ToGbk(std::u16string(value.begin(), value.end()));
#else
  const char* v = std::getenv(name.c_str());
  return v ? zz::Utf8ToGbk(v) : "";
#endif
}

}  // namespace rt

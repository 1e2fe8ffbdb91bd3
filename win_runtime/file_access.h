// File commands of the runtime on GBK paths: the program's paths are GBK,
// and every conversion names code page 936 (on Windows the wide APIs are
// used; natively the file system's names are UTF-8).
#pragma once

#include <string>

namespace rt {

bool FileExists(const std::string& gbk_path);
bool ReadWholeFile(const std::string& gbk_path, std::string* bytes);
// Writes beside the file, then moves over it: never half a file.
bool ReplaceWholeFile(const std::string& gbk_path, const std::string& bytes);
bool WriteBytes(const std::string& gbk_path, const std::string& bytes);
// Overwrites an existing `to`, unless told not to: it then fails.
bool CopyFileTo(const std::string& from, const std::string& to, bool overwrite = true);
// Replaces an existing `to`, unless told not to: it then fails.
bool MoveFileTo(const std::string& from, const std::string& to, bool overwrite = true);
bool DeleteFileAt(const std::string& gbk_path);
bool SetHidden(const std::string& gbk_path);
std::string EnvironmentVariable(const std::string& name);

}  // namespace rt

// INI files in GBK, read and written the way the program's settings file
// has always been: "[section]" lines, "key=value" lines, CR LF. Kept in our
// own code so that Chinese sections, keys and values behave the same on any
// machine, whatever its ANSI code page.
#pragma once

#include <string>

namespace rt {

// The value, or the default when the file, section or key is missing.
std::string IniRead(const std::string& gbk_path, const std::string& section,
                    const std::string& key, const std::string& default_value);
// Writes or replaces the value, creating the file and section as needed.
// The file is replaced whole (written beside it, then moved over it).
bool IniWrite(const std::string& gbk_path, const std::string& section, const std::string& key,
              const std::string& value);

}  // namespace rt

// libFuzzer target: the SQL dialect translator must refuse or translate any
// byte string without crashing, and what it produces must be valid UTF-8.
#include <cstddef>
#include <cstdint>
#include <string>

#include "access_sql.h"
#include "gbk_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  std::string error;
  auto out = mdb::TranslateAccessSql(input, &error);
  if (out) {
    // Translation output goes to SQLite as UTF-8: it must survive a round trip.
    if (zz::GbkToUtf8(zz::Utf8ToGbk(*out)) != *out && out->find('?') == std::string::npos)
      __builtin_trap();
  }
  mdb::StoredDate(input);
  return 0;
}

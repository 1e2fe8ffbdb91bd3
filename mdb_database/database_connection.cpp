#include "database_connection.h"

#include <sqlite3.h>

#include <fcntl.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <dirent.h>
#include <unistd.h>
#endif

#include "access_sql.h"
#include "gbk_text.h"
#include "number_text.h"

namespace mdb {
namespace {

// Marks a file as ours ("ZZMD"): any other SQLite file is not a ml.mdb.
constexpr int kApplicationId = 0x5A5A4D44;
constexpr const char* kMetaTable = "zz_file";
constexpr int kVerifierRounds = 20000;
// How long a second copy of the program in the middle of its own write is
// waited for.
constexpr int kBusyMilliseconds = 2000;

// A salted, iterated hash of the password. It keeps the password itself out
// of the file; it is a verifier, not encryption of the data.
std::string Verifier(const std::string& salt, const std::string& password) {
  std::uint64_t h = 1469598103934665603ULL;
  auto mix = [&h](const std::string& bytes) {
    for (unsigned char c : bytes) {
      h ^= c;
      h *= 1099511628211ULL;
    }
  };
  for (int round = 0; round < kVerifierRounds; ++round) {
    mix(salt);
    mix(password);
    h ^= h >> 29;
  }
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
  return buf;
}

std::FILE* OpenFile(const std::string& gbk_path, const char* mode) {
#ifdef _WIN32
  std::u16string wide_path = zz::GbkToUtf16(gbk_path);
  std::u16string wide_mode(mode, mode + std::strlen(mode));
  return _wfopen(reinterpret_cast<const wchar_t*>(wide_path.c_str()),
                 reinterpret_cast<const wchar_t*>(wide_mode.c_str()));
#else
  // The program's paths are GBK; this file system names files in UTF-8.
  return std::fopen(zz::GbkToUtf8(gbk_path).c_str(), mode);
#endif
}

void RemoveFile(const std::string& gbk_path) {
#ifdef _WIN32
  std::u16string wide_path = zz::GbkToUtf16(gbk_path);
  _wremove(reinterpret_cast<const wchar_t*>(wide_path.c_str()));
#else
  std::remove(zz::GbkToUtf8(gbk_path).c_str());
#endif
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A file made now: never one that is there already.
File CreateNewFile(const std::string& gbk_path) {
#ifdef _WIN32
  std::u16string wide_path = zz::GbkToUtf16(gbk_path);
  int fd = _wopen(reinterpret_cast<const wchar_t*>(wide_path.c_str()), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY,
                  _S_IREAD | _S_IWRITE);
  std::FILE* f = fd < 0 ? nullptr : _fdopen(fd, "wb");
  if (fd >= 0 && !f) _close(fd);
#else
  int fd = open(zz::GbkToUtf8(gbk_path).c_str(), O_CREAT | O_EXCL | O_WRONLY, 0600);
  std::FILE* f = fd < 0 ? nullptr : fdopen(fd, "wb");
  if (fd >= 0 && !f) close(fd);
#endif
  return File(f);
}

long FileSize(const std::string& gbk_path) {
  File f(OpenFile(gbk_path, "rb"));
  if (!f) return -1;
  std::fseek(f.get(), 0, SEEK_END);
  return std::ftell(f.get());
}

bool CopyFileBytes(const std::string& from, std::FILE* out) {
  File in(OpenFile(from, "rb"));
  if (!in) return false;
  char buf[65536];
  std::size_t got;
  bool ok = true;
  while (ok && (got = std::fread(buf, 1, sizeof buf, in.get())) > 0) ok = std::fwrite(buf, 1, got, out) == got;
  return ok && !std::ferror(in.get());
}

// The first 100 bytes of an SQLite file of ours. A header that counts more
// pages than the file holds is a truncated file; while a write was cut
// short, though, the count may run ahead of the file until the roll-back.
constexpr std::size_t kHeaderSize = 100;

bool HeaderIsOurs(const unsigned char* header, std::size_t got, long long size, bool check_size,
                  std::string* error) {
  if (got < kHeaderSize || std::memcmp(header, "SQLite format 3", 16) != 0) {
    *error = "not a database file";
    return false;
  }
  int app_id = (header[68] << 24) | (header[69] << 16) | (header[70] << 8) | header[71];
  if (app_id != kApplicationId) {
    *error = "not a database of this program";
    return false;
  }
  unsigned page_size = (header[16] << 8) | header[17];
  if (page_size == 1) page_size = 65536;
  unsigned long pages = (static_cast<unsigned long>(header[28]) << 24) | (header[29] << 16) |
                        (header[30] << 8) | header[31];
  if (page_size < 512 || size < 0 ||
      (check_size && static_cast<unsigned long long>(size) < static_cast<unsigned long long>(pages) * page_size)) {
    *error = "the file is truncated";
    return false;
  }
  return true;
}

// Read without SQLite, which could otherwise touch a foreign file.
bool LooksLikeOurs(const std::string& gbk_path, std::string* error, bool check_size) {
  File f(OpenFile(gbk_path, "rb"));
  if (!f) {
    *error = "cannot open the file";
    return false;
  }
  unsigned char header[kHeaderSize];
  std::size_t got = std::fread(header, 1, sizeof header, f.get());
  std::fseek(f.get(), 0, SEEK_END);
  return HeaderIsOurs(header, got, std::ftell(f.get()), check_size, error);
}

// A connection's database file as SQLite holds it. Reads go through this
// handle: on POSIX, closing any other descriptor of the file would drop the
// connection's locks.
sqlite3_file* HeldFile(sqlite3* db) {
  sqlite3_file* file = nullptr;
  if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
      !file->pMethods)
    return nullptr;
  return file;
}

bool HeldFileIsOurs(sqlite3_file* file, std::string* error) {
  unsigned char header[kHeaderSize];
  sqlite3_int64 size = 0;
  if (!file || file->pMethods->xFileSize(file, &size) != SQLITE_OK) {
    *error = "cannot read the file";
    return false;
  }
  bool got = file->pMethods->xRead(file, header, sizeof header, 0) == SQLITE_OK;
  return HeaderIsOurs(header, got ? sizeof header : 0, size, true, error);
}

bool CopyHeldFile(sqlite3_file* file, std::FILE* out) {
  sqlite3_int64 size = 0;
  if (file->pMethods->xFileSize(file, &size) != SQLITE_OK) return false;
  char buf[65536];
  for (sqlite3_int64 at = 0; at < size;) {
    const int n = static_cast<int>(size - at < static_cast<sqlite3_int64>(sizeof buf) ? size - at : sizeof buf);
    if (file->pMethods->xRead(file, buf, n, at) != SQLITE_OK ||
        std::fwrite(buf, 1, static_cast<std::size_t>(n), out) != static_cast<std::size_t>(n))
      return false;
    at += n;
  }
  return true;
}

// SQLite's own shared lock on a connection's file, taken on its handle
// without SQLite's reading: while it is held nobody writes the file nor
// rolls its journal back. A second copy of the program committing at this
// moment is waited for.
class SharedLock {
 public:
  explicit SharedLock(sqlite3_file* file) : file_(file) {
    if (!file_) return;
    int rc;
    for (int waited = 0;
         (rc = file_->pMethods->xLock(file_, SQLITE_LOCK_SHARED)) == SQLITE_BUSY && waited < kBusyMilliseconds;
         waited += 10)
      sqlite3_sleep(10);
    held_ = rc == SQLITE_OK;
  }
  ~SharedLock() {
    if (held_) file_->pMethods->xUnlock(file_, SQLITE_LOCK_NONE);
  }
  SharedLock(const SharedLock&) = delete;
  SharedLock& operator=(const SharedLock&) = delete;
  bool held() const { return held_; }
  // True while another connection holds the write lock, or when that
  // cannot be told.
  bool OtherWrites() const {
    int locked = 1;
    return file_->pMethods->xCheckReservedLock(file_, &locked) != SQLITE_OK || locked;
  }

 private:
  sqlite3_file* file_;
  bool held_ = false;
};

// SQLite's test of a journal beside a file nobody writes: not empty, and its
// first byte set, which happens only once its header has been synced.
// Before that the file itself was never touched.
bool JournalHoldsPages(const std::string& journal) {
  File f(OpenFile(journal, "rb"));
  int first = f ? std::fgetc(f.get()) : EOF;
  return first != EOF && first != 0;
}

// What a check names its copy after: the copy is the database's name, this
// and 16 hex digits; earlier versions used this alone.
constexpr const char* kCheckSuffix = "-check";
constexpr const char* kJournalSuffix = "-journal";
constexpr std::size_t kCheckDigits = 16;
// A check lasts seconds: a copy last written longer ago than this (or dated
// this far ahead, before the clock was set back) belongs to a check that
// was itself cut short.
constexpr long long kLiveCheckSeconds = 10 * 60;

// A name beside the file that no other copy of the program is using at the
// same moment: two copies starting together over one journal each check a
// copy of their own.
File CreateCheckCopy(const std::string& gbk_path, std::string* name) {
  std::random_device random;
  for (int attempt = 0; attempt < 16; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "%s-%08x%08x", kCheckSuffix, random(), random());
    *name = gbk_path + suffix;
    if (File f = CreateNewFile(*name)) return f;
  }
  return nullptr;
}

#ifdef _WIN32
constexpr const char* kFolderSeparators = "\\/:";
#else
constexpr const char* kFolderSeparators = "/";
#endif

// A regular file of a folder and its last write, in seconds since 1970
// (UTC: the clock's time, whatever the time zone).
struct FolderFile {
  std::string gbk_name;
  long long written;
};

// The regular files of a folder (GBK, "" for the current one, else ending in
// a separator) whose names start with `gbk_prefix`.
std::vector<FolderFile> ListFiles(const std::string& gbk_folder, const std::string& gbk_prefix) {
  std::vector<FolderFile> files;
#ifdef _WIN32
  std::u16string pattern = zz::GbkToUtf16(gbk_folder + gbk_prefix + "*");
  _wfinddata64_t found;
  const intptr_t search = _wfindfirst64(reinterpret_cast<const wchar_t*>(pattern.c_str()), &found);
  if (search == -1) return files;
  do {
    std::string name = zz::Utf16ToGbk(reinterpret_cast<const char16_t*>(found.name));
    // A wildcard also matches the short 8.3 name: the long one is judged.
    if (!(found.attrib & _A_SUBDIR) && name.compare(0, gbk_prefix.size(), gbk_prefix) == 0)
      files.push_back({name, found.time_write});
  } while (_wfindnext64(search, &found) == 0);
  _findclose(search);
#else
  const std::string folder = zz::GbkToUtf8(gbk_folder);
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.empty() ? "." : folder.c_str()), closedir);
  if (!dir) return files;
  while (const dirent* entry = readdir(dir.get())) {
    std::string name = zz::Utf8ToGbk(entry->d_name);
    struct stat st;
    if (name.compare(0, gbk_prefix.size(), gbk_prefix) == 0 && lstat((folder + entry->d_name).c_str(), &st) == 0 &&
        S_ISREG(st.st_mode))
      files.push_back({name, static_cast<long long>(st.st_mtime)});
  }
#endif
  return files;
}

// The check copy a name is, or belongs to as its journal ("<db>-check" for
// the fixed name of earlier versions); nothing for any other name.
std::optional<std::string> CheckCopyOf(const std::string& check_prefix, const std::string& name) {
  std::string copy = name;
  if (zz::GbkEndsWith(copy, kJournalSuffix)) copy.resize(copy.size() - std::strlen(kJournalSuffix));
  if (copy == check_prefix) return copy;
  if (copy.size() != check_prefix.size() + 1 + kCheckDigits || copy.compare(0, check_prefix.size(), check_prefix) != 0 ||
      copy[check_prefix.size()] != '-' ||
      copy.find_first_not_of("0123456789abcdefABCDEF", check_prefix.size() + 1) != std::string::npos)
    return std::nullopt;
  return copy;
}

// Check copies beside the database that no check can still be using, and
// their journals: those of a check cut short in its turn (the PC lost power,
// the program was ended while it rolled its copy back), and those of the
// fixed name earlier versions used. A copy and its journal go together,
// judged by the newer of the two, so a check still writing keeps both;
// either one alone goes as well. A file that cannot be deleted stays for a
// later start.
void ClearAbandonedCheckCopies(const std::string& gbk_path) {
  std::size_t name_start = 0;
  for (std::size_t i = 0; i < gbk_path.size(); i += zz::GbkCharLength(gbk_path, i))
    if (std::string_view(kFolderSeparators).find(gbk_path[i]) != std::string_view::npos) name_start = i + 1;
  const std::string folder = gbk_path.substr(0, name_start);
  const std::string check_prefix = gbk_path.substr(name_start) + kCheckSuffix;
  std::vector<std::pair<std::string, std::string>> found;  // name, its copy
  std::map<std::string, long long> newest;                  // copy, last write of it or its journal
  for (const FolderFile& file : ListFiles(folder, check_prefix)) {
    std::optional<std::string> copy = CheckCopyOf(check_prefix, file.gbk_name);
    if (!copy) continue;
    found.emplace_back(file.gbk_name, *copy);
    auto [at, first] = newest.emplace(*copy, file.written);
    if (!first && file.written > at->second) at->second = file.written;
  }
  const long long now = std::time(nullptr);
  for (const auto& [name, copy] : found) {
    const long long age = now - newest[copy];
    if (copy == check_prefix || age > kLiveCheckSeconds || age < -kLiveCheckSeconds) RemoveFile(folder + name);
  }
}

// Reads "KEY=value" fields of a connect string.
std::string ConnectField(const std::string& connect, const std::string& key) {
  std::size_t pos = 0;
  while (pos < connect.size()) {
    std::size_t end = connect.find(';', pos);
    if (end == std::string::npos) end = connect.size();
    std::string field = connect.substr(pos, end - pos);
    if (field.size() > key.size() && field.compare(0, key.size(), key) == 0 &&
        field[key.size()] == '=')
      return field.substr(key.size() + 1);
    pos = end + 1;
  }
  return "";
}

bool Exec(sqlite3* db, const char* sql, std::string* error) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
  if (error) *error = message ? message : "statement failed";
  sqlite3_free(message);
  return false;
}

// The file is intact and the password matches its stored verifier.
bool CheckFile(sqlite3* db, const std::string& password, std::string* error) {
  std::string stored_salt, stored_verifier, check;
  sqlite3_stmt* stmt = nullptr;
  bool ok = sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW;
  if (ok) {
    const unsigned char* text = sqlite3_column_text(stmt, 0);
    check = text ? reinterpret_cast<const char*>(text) : "";
  }
  sqlite3_finalize(stmt);
  if (!ok || check != "ok") {
    *error = "the file is damaged";
    return false;
  }
  stmt = nullptr;
  if (sqlite3_prepare_v2(db, "SELECT key, value FROM zz_file", -1, &stmt, nullptr) == SQLITE_OK) {
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      const unsigned char* key = sqlite3_column_text(stmt, 0);
      const unsigned char* value = sqlite3_column_text(stmt, 1);
      if (!key || !value) continue;
      std::string k = reinterpret_cast<const char*>(key);
      if (k == "salt") stored_salt = reinterpret_cast<const char*>(value);
      if (k == "verifier") stored_verifier = reinterpret_cast<const char*>(value);
    }
  }
  sqlite3_finalize(stmt);
  if (stored_verifier.empty() || Verifier(stored_salt, password) != stored_verifier) {
    *error = "wrong password";
    return false;
  }
  return true;
}

// Appends a cell's text to the recordset's block; most cells are figures in
// ASCII, which need no code page conversion.
void AppendText(const unsigned char* text, int bytes, std::string& block) {
  if (!text) return;
  for (int i = 0; i < bytes; ++i)
    if (text[i] >= 0x80) {
      block += zz::Utf8ToGbk(std::string(reinterpret_cast<const char*>(text), bytes));
      return;
    }
  block.append(reinterpret_cast<const char*>(text), static_cast<std::size_t>(bytes));
}

double PackDate(const zz::DateTime& d) {
  return ((((d.year * 100.0 + d.month) * 100 + d.day) * 100 + d.hour) * 100 + d.minute) * 100 + d.second;
}

zz::DateTime UnpackDate(double packed) {
  auto n = static_cast<long long>(packed);
  zz::DateTime d;
  d.second = static_cast<int>(n % 100), n /= 100;
  d.minute = static_cast<int>(n % 100), n /= 100;
  d.hour = static_cast<int>(n % 100), n /= 100;
  d.day = static_cast<int>(n % 100), n /= 100;
  d.month = static_cast<int>(n % 100), n /= 100;
  d.year = static_cast<int>(n);
  return d;
}

// The stored form "YYYY-MM-DD[ HH:MM:SS]" read without the general parser.
bool ParseStoredDate(const unsigned char* t, int n, zz::DateTime* out) {
  auto digits = [t](int at, int count) {
    int v = 0;
    for (int i = 0; i < count; ++i) {
      if (t[at + i] < '0' || t[at + i] > '9') return -1;
      v = v * 10 + (t[at + i] - '0');
    }
    return v;
  };
  if (!t || (n != 10 && n != 19) || t[4] != '-' || t[7] != '-') return false;
  zz::DateTime d{};
  d.year = digits(0, 4);
  d.month = digits(5, 2);
  d.day = digits(8, 2);
  if (n == 19) {
    if (t[10] != ' ' || t[13] != ':' || t[16] != ':') return false;
    d.hour = digits(11, 2);
    d.minute = digits(14, 2);
    d.second = digits(17, 2);
    if (d.hour < 0 || d.hour > 23 || d.minute < 0 || d.minute > 59 || d.second < 0 || d.second > 59)
      return false;
  }
  if (d.year < 0 || d.month < 1 || d.month > 12 || d.day < 1 ||
      d.day > zz::DaysInMonth(d.year, d.month))
    return false;
  *out = d;
  return true;
}

// The type a column's reads report: its declared type, or where it has none
// (an expression), the storage class of each value.
struct ColumnType {
  FieldType type = FieldType::Text;
  bool declared = false;
};

ColumnType TypeOfColumn(sqlite3_stmt* stmt, int column) {
  ColumnType t;
  if (const char* declared = sqlite3_column_decltype(stmt, column))
    t.type = TypeFromDeclared(declared, &t.declared);
  return t;
}

StoredCell ReadColumn(sqlite3_stmt* stmt, int column, ColumnType column_type, std::string& texts) {
  StoredCell v;
  v.offset = static_cast<std::uint32_t>(texts.size());
  if (column_type.declared && column_type.type == FieldType::Text) {
    // The common cell, read in the fewest calls: a NULL has no text.
    const unsigned char* text = sqlite3_column_text(stmt, column);
    v.is_null = text == nullptr;
    AppendText(text, sqlite3_column_bytes(stmt, column), texts);
    v.length = static_cast<std::uint32_t>(texts.size() - v.offset);
    return v;
  }
  int storage = sqlite3_column_type(stmt, column);
  v.type = column_type.type;
  if (!column_type.declared) {
    v.type = storage == SQLITE_INTEGER ? FieldType::Integer
             : storage == SQLITE_FLOAT ? FieldType::Float
             : storage == SQLITE_BLOB  ? FieldType::Binary
                                       : FieldType::Text;
  }
  v.is_null = storage == SQLITE_NULL;
  switch (v.type) {
    case FieldType::Text:
      AppendText(sqlite3_column_text(stmt, column), sqlite3_column_bytes(stmt, column), texts);
      break;
    case FieldType::Binary: {
      const void* blob = sqlite3_column_blob(stmt, column);
      if (blob)
        texts.append(static_cast<const char*>(blob), static_cast<std::size_t>(sqlite3_column_bytes(stmt, column)));
      break;
    }
    case FieldType::Boolean:
    case FieldType::Integer:
    case FieldType::Float:
      v.number = sqlite3_column_double(stmt, column);
      if (v.type == FieldType::Boolean) v.number = v.number != 0 ? 1 : 0;
      break;
    case FieldType::Date: {
      const unsigned char* text = sqlite3_column_text(stmt, column);
      int bytes = sqlite3_column_bytes(stmt, column);
      zz::DateTime date;
      if (ParseStoredDate(text, bytes, &date)) {
        v.number = PackDate(date);
        break;
      }
      // Written by another tool in some other form.
      auto parsed = text ? zz::ParseDateTime(reinterpret_cast<const char*>(text)) : std::nullopt;
      if (parsed) v.number = PackDate(*parsed);
      else v.is_null = true;
      break;
    }
  }
  v.length = static_cast<std::uint32_t>(texts.size() - v.offset);
  return v;
}

}  // namespace

bool FieldValue::AsText(std::string* out) const {
  if (type == FieldType::Text) {
    *out = text;
    return true;
  }
  if (type == FieldType::Date) {
    *out = is_null ? std::string() : zz::FormatDateTime(date);
    return true;
  }
  return false;
}

bool FieldValue::AsBool(bool* out) const {
  if (type != FieldType::Boolean) return false;
  *out = number != 0;
  return true;
}

bool FieldValue::AsInteger(long long* out) const {
  if (type != FieldType::Integer && type != FieldType::Float) return false;
  if (is_null) return false;
  *out = static_cast<long long>(number);
  return true;
}

bool FieldValue::AsDate(zz::DateTime* out) const {
  if (type != FieldType::Date || is_null) return false;
  *out = date;
  return true;
}

namespace {
const FieldValue kEmptyField{};
}

const FieldValue& Recordset::ReadField(const std::string& gbk_name) const {
  const std::size_t n = names_.size();
  for (std::size_t k = 0; k < n; ++k) {
    std::size_t i = (last_found_ + 1 + k) % n;
    if (names_[i] == gbk_name || zz::GbkSameName(names_[i], gbk_name)) {
      last_found_ = i;
      return ReadField(i);
    }
  }
  return kEmptyField;
}

const FieldValue& Recordset::ReadField(std::size_t index) const {
  if (row_ >= RowCount() || index >= names_.size()) return kEmptyField;
  const StoredCell& cell = cells_[row_ * names_.size() + index];
  read_.type = cell.type;
  read_.is_null = cell.is_null;
  read_.text.assign(texts_, cell.offset, cell.length);
  read_.number = cell.type == FieldType::Date ? 0 : cell.number;
  read_.date = cell.type == FieldType::Date ? UnpackDate(cell.number) : zz::DateTime{};
  return read_;
}

void Recordset::GiveStorage(std::vector<StoredCell>* cells, std::string* texts) {
  cells->swap(cells_);
  texts->swap(texts_);
  cells_.clear();
  texts_.clear();
  names_.clear();
}

DatabaseConnection::~DatabaseConnection() { CloseExternalDatabase(); }

void DatabaseConnection::ConnectionCloser::operator()(sqlite3* db) const { sqlite3_close(db); }

std::string DatabaseConnection::BuildConnectString(const std::string& path,
                                                   const std::string& user,
                                                   const std::string& password) {
  std::string s = "ODBC;DBQ=" + path;
  // The folder ends at the last backslash that is a character of its own,
  // not the trail byte of a GBK character.
  std::size_t last = std::string::npos;
  for (std::size_t i = 0; i < path.size(); i += zz::GbkCharLength(path, i))
    if (path[i] == '\\') last = i;
  if (last != std::string::npos) s += ";DefaultDir=" + path.substr(0, last);
  s += ";Driver={Microsoft Access Driver (*.mdb)};FIL=MS Access";
  if (!user.empty()) s += ";UID=" + user;
  if (!password.empty()) s += ";PWD=" + password;
  return s + ";";
}

bool DatabaseConnection::OpenExternalDatabase(const std::string& path, const std::string& user,
                                              const std::string& password, bool read_only,
                                              bool /*no_dialog: there is no driver dialog*/) {
  if (read_only) {
    last_error_ = "read-only connections are not used";
    return false;
  }
  return OpenWithConnectString(BuildConnectString(path, user, password));
}

bool DatabaseConnection::OpenWithConnectString(const std::string& connect) {
  CloseExternalDatabase();
  last_error_.clear();
  std::string path = ConnectField(connect, "DBQ");
  std::string password = ConnectField(connect, "PWD");
  if (path.empty()) {
    last_error_ = "no DBQ in the connect string";
    return false;
  }
  ClearAbandonedCheckCopies(path);
  // The file must be known to be ours, with this password, before a
  // read-write connection may touch it; its size is judged once it holds
  // still.
  if (!LooksLikeOurs(path, &last_error_, false)) return false;
  bool hot = false;
  if (!CheckUntouched(path, password, &hot)) return false;

  // The first read rolls a hot journal back (a second copy of the program
  // in the middle of its own write is waited for).
  Connection db = OpenConnection(path, SQLITE_OPEN_READWRITE);
  if (!db || (hot && !Exec(db.get(), "SELECT count(*) FROM sqlite_master", &last_error_))) {
    if (last_error_.empty()) last_error_ = db ? sqlite3_errmsg(db.get()) : "cannot open";
    return false;
  }
  db_ = db.release();
  return true;
}

DatabaseConnection::Connection DatabaseConnection::OpenConnection(const std::string& gbk_path, int flags) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(zz::GbkToUtf8(gbk_path).c_str(), &db, flags, nullptr) != SQLITE_OK) {
    last_error_ = db ? sqlite3_errmsg(db) : "cannot open";
    sqlite3_close(db);
    return nullptr;
  }
  sqlite3_busy_timeout(db, kBusyMilliseconds);
  return Connection(db);
}

// Every check runs on a read-only connection: a damaged or foreign file, or
// a wrong password, leaves the file exactly as it was. A journal beside the
// file holds a write cut short only as SQLite judges it (hot: not empty, its
// header synced, and no other connection writing); a read-only connection
// cannot roll such a journal back and says so, and the checks then run on a
// rolled-back copy. Any other journal is SQLite's to reuse.
bool DatabaseConnection::CheckUntouched(const std::string& gbk_path, const std::string& password, bool* hot) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    Connection check = OpenConnection(gbk_path, SQLITE_OPEN_READONLY);
    if (!check) return false;
    // The read transaction holds the file still while it is checked: a
    // second copy of the program that is writing is read past, or waited
    // for while it commits.
    std::string error;
    if (Exec(check.get(), "BEGIN; SELECT count(*) FROM sqlite_master", &error)) {
      *hot = false;
      return HeldFileIsOurs(HeldFile(check.get()), &last_error_) && CheckFile(check.get(), password, &last_error_);
    }
    if (sqlite3_extended_errcode(check.get()) != SQLITE_READONLY_ROLLBACK) {
      last_error_ = error;
      return false;
    }
    *hot = true;
    switch (CheckRolledBackCopy(check.get(), gbk_path, password)) {
      case CopyCheck::kAccepted: return true;
      case CopyCheck::kRefused: return false;
      case CopyCheck::kNoLongerHot: break;  // another copy of the program rolled it back: look again
    }
  }
  last_error_ = "cannot check the interrupted file";
  return false;
}

DatabaseConnection::CopyCheck DatabaseConnection::CheckRolledBackCopy(sqlite3* check, const std::string& gbk_path,
                                                                      const std::string& password) {
  const std::string journal = gbk_path + kJournalSuffix;
  std::string copy;
  bool copied;
  {
    // Nobody rolls the journal back or writes the file while the two are
    // copied.
    sqlite3_file* file = HeldFile(check);
    SharedLock lock(file);
    if (!lock.held()) {
      last_error_ = "the file is locked";
      return CopyCheck::kRefused;
    }
    if (lock.OtherWrites() || !JournalHoldsPages(journal)) return CopyCheck::kNoLongerHot;
    File copy_file = CreateCheckCopy(gbk_path, &copy);
    if (!copy_file) {
      last_error_ = "cannot copy the interrupted file";
      return CopyCheck::kRefused;
    }
    File journal_copy = CreateNewFile(copy + kJournalSuffix);
    copied = CopyHeldFile(file, copy_file.get()) && journal_copy && CopyFileBytes(journal, journal_copy.get()) &&
             std::fclose(copy_file.release()) == 0 && std::fclose(journal_copy.release()) == 0;
  }
  bool copy_hot = false;
  const bool accepted = copied && RollBack(copy) && CheckUntouched(copy, password, &copy_hot) && !copy_hot;
  if (!accepted && last_error_.empty()) last_error_ = "cannot check the interrupted file";
  RemoveFile(copy);
  RemoveFile(copy + kJournalSuffix);
  return accepted ? CopyCheck::kAccepted : CopyCheck::kRefused;
}

// SQLite rolls a hot journal back on the first read of a read-write
// connection, and deletes the journal.
bool DatabaseConnection::RollBack(const std::string& gbk_path) {
  Connection db = OpenConnection(gbk_path, SQLITE_OPEN_READWRITE);
  return db && Exec(db.get(), "SELECT count(*) FROM sqlite_master", &last_error_) &&
         FileSize(gbk_path + kJournalSuffix) <= 0;
}

void DatabaseConnection::CloseExternalDatabase() {
  recordsets_.clear();
  if (db_) sqlite3_close(db_);
  db_ = nullptr;
}

int DatabaseConnection::OpenRecordset(const std::string& gbk_sql) {
  if (!db_ || gbk_sql.empty()) return 0;
  auto sql = TranslateAccessSql(gbk_sql, &last_error_);
  if (!sql) return 0;
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db_, sql->c_str(), -1, &stmt, nullptr) != SQLITE_OK || !stmt ||
      !sqlite3_stmt_readonly(stmt)) {
    last_error_ = stmt ? "not a query" : sqlite3_errmsg(db_);
    sqlite3_finalize(stmt);
    return 0;
  }
  std::vector<std::string> names;
  std::vector<ColumnType> types;
  int columns = sqlite3_column_count(stmt);
  for (int c = 0; c < columns; ++c) {
    names.push_back(zz::Utf8ToGbk(sqlite3_column_name(stmt, c)));
    types.push_back(TypeOfColumn(stmt, c));
  }
  std::vector<StoredCell> cells = std::move(spare_cells_);
  std::string texts = std::move(spare_texts_);
  cells.clear();
  texts.clear();
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
    for (int c = 0; c < columns; ++c) cells.push_back(ReadColumn(stmt, c, types[c], texts));
  sqlite3_finalize(stmt);
  if (rc != SQLITE_DONE) {
    last_error_ = sqlite3_errmsg(db_);
    return 0;
  }
  int handle = next_handle_++;
  recordsets_[handle] = std::make_unique<Recordset>(std::move(names), std::move(cells), std::move(texts));
  return handle;
}

Recordset* DatabaseConnection::Find(int handle) {
  auto it = recordsets_.find(handle);
  return it == recordsets_.end() ? nullptr : it->second.get();
}

void DatabaseConnection::MoveFirst(int handle) {
  if (Recordset* r = Find(handle)) r->MoveFirst();
}

bool DatabaseConnection::IsEOF(int handle) {
  Recordset* r = Find(handle);
  return !r || r->IsEOF();
}

void DatabaseConnection::MoveNext(int handle) {
  if (Recordset* r = Find(handle)) r->MoveNext();
}

const FieldValue& DatabaseConnection::ReadField(int handle, const std::string& gbk_name) {
  Recordset* r = Find(handle);
  return r ? r->ReadField(gbk_name) : kEmptyField;
}

const FieldValue& DatabaseConnection::ReadField(int handle, std::size_t index) {
  Recordset* r = Find(handle);
  return r ? r->ReadField(index) : kEmptyField;
}

void DatabaseConnection::CloseRecordset(int handle) {
  auto it = recordsets_.find(handle);
  if (it == recordsets_.end()) return;
  if (it->second->RowCount() * it->second->FieldCount() >= spare_cells_.capacity())
    it->second->GiveStorage(&spare_cells_, &spare_texts_);
  recordsets_.erase(it);
}

bool DatabaseConnection::ExecuteStatement(const std::string& gbk_sql) {
  if (!db_) {
    last_error_ = "not connected";
    return false;
  }
  auto sql = TranslateAccessSql(gbk_sql, &last_error_);
  if (!sql) return false;
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db_, sql->c_str(), -1, &stmt, nullptr) != SQLITE_OK || !stmt) {
    last_error_ = sqlite3_errmsg(db_);
    sqlite3_finalize(stmt);
    return false;
  }
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
  }
  sqlite3_finalize(stmt);
  if (rc != SQLITE_DONE) {
    last_error_ = sqlite3_errmsg(db_);
    changed_rows_ = 0;
    return false;
  }
  changed_rows_ = sqlite3_changes(db_);
  return true;
}

bool DatabaseConnection::CreateDatabaseFile(const std::string& gbk_path,
                                            const std::string& password, std::string* error) {
  std::string ignored;
  if (!error) error = &ignored;
  if (std::FILE* existing = OpenFile(gbk_path, "rb")) {
    std::fclose(existing);
    *error = "the file exists";
    return false;
  }
  sqlite3* db = nullptr;
  std::string utf8_path = zz::GbkToUtf8(gbk_path);
  if (sqlite3_open_v2(utf8_path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                      nullptr) != SQLITE_OK) {
    *error = db ? sqlite3_errmsg(db) : "cannot create";
    sqlite3_close(db);
    return false;
  }
  std::random_device random;
  char salt[17];
  std::snprintf(salt, sizeof salt, "%08x%08x", random(), random());
  // Backup copies the file and restore moves it: keep the rollback journal.
  std::string script = "PRAGMA journal_mode=DELETE; PRAGMA application_id=" +
                       std::to_string(kApplicationId) + "; BEGIN;";
  for (const std::string& create : CreateStatements()) script += create + ";";
  script += std::string("CREATE TABLE ") + kMetaTable + " (key TEXT PRIMARY KEY, value TEXT);";
  script += std::string("INSERT INTO ") + kMetaTable + " VALUES ('format','1'),('salt','" + salt +
            "'),('verifier','" + Verifier(salt, password) + "'); COMMIT;";
  bool ok = Exec(db, script.c_str(), error);
  sqlite3_close(db);
  if (!ok) RemoveFile(gbk_path);
  return ok;
}

}  // namespace mdb

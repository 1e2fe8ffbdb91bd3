// The program's one connection to ml.mdb: an SQLite file of ours that
// accepts the program's Access-style SQL (see access_sql.h).
//
// All text in and out is GBK. Recordsets are read whole when opened, so they
// hold no lock and survive later statements. Reads report the type the
// schema declares; the typed accessors of FieldValue tell a caller whether
// the value is of the type it expects, and the window runtime turns a
// mismatch into its fatal error box:
//   AsText    text, or a date as the runtime's date text   else error 5
//   AsBool    yes/no columns                               else error 5
//   AsInteger integer, or a float truncated                else error 2
//   AsDate    date columns                                 else error 5
// A read on an empty result or past the last row, of an unknown column, or
// of a NULL text cell is the empty text (type Text). Callers that put a
// typed value between quotes pass it through EscapeSqlText (access_sql.h).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "date_text.h"
#include "schema.h"

struct sqlite3;

namespace mdb {

struct FieldValue {
  FieldType type = FieldType::Text;
  bool is_null = false;
  std::string text;      // Text: GBK; Binary: the bytes
  double number = 0;     // Integer, Float, Boolean (0/1)
  zz::DateTime date;     // Date

  bool AsText(std::string* out) const;
  bool AsBool(bool* out) const;
  bool AsInteger(long long* out) const;
  bool AsDate(zz::DateTime* out) const;
};

// A cell as a recordset keeps it: its text in the recordset's one block of
// text, a date packed into the number, so that reading thousands of rows
// allocates nothing a cell.
struct StoredCell {
  FieldType type = FieldType::Text;
  bool is_null = false;
  std::uint32_t offset = 0, length = 0;  // Text, Binary: bytes of the block
  double number = 0;  // Integer, Float, Boolean; Date as YYYYMMDDhhmmss
};

class Recordset {
 public:
  // The cells row after row, names.size() to a row.
  Recordset(std::vector<std::string> names, std::vector<StoredCell> cells, std::string texts)
      : names_(std::move(names)), cells_(std::move(cells)), texts_(std::move(texts)) {}

  void MoveFirst() { row_ = 0; }
  bool IsEOF() const { return row_ >= RowCount(); }
  void MoveNext() {
    if (row_ < RowCount()) ++row_;
  }
  std::size_t RowCount() const { return names_.empty() ? 0 : cells_.size() / names_.size(); }
  std::size_t FieldCount() const { return names_.size(); }
  const std::string& FieldName(std::size_t i) const { return names_[i]; }
  // The value in the current row; the empty text past the end or for an
  // unknown column. The reference lives until the next read.
  const FieldValue& ReadField(const std::string& gbk_name) const;
  const FieldValue& ReadField(std::size_t index) const;
  // Hands the recordset's storage over for reuse; the recordset is then
  // empty.
  void GiveStorage(std::vector<StoredCell>* cells, std::string* texts);

 private:
  std::vector<std::string> names_;
  std::vector<StoredCell> cells_;
  std::string texts_;
  std::size_t row_ = 0;
  // Callers read a row's columns in the same order every row: the search
  // for a name starts after the column found last.
  mutable std::size_t last_found_ = 0;
  mutable FieldValue read_;
};

class DatabaseConnection {
 public:
  DatabaseConnection() = default;
  ~DatabaseConnection();
  DatabaseConnection(const DatabaseConnection&) = delete;
  DatabaseConnection& operator=(const DatabaseConnection&) = delete;

  // "ODBC;DBQ=<path>[;DefaultDir=<folder>];Driver={...};FIL=MS Access[;UID=..][;PWD=..];"
  static std::string BuildConnectString(const std::string& path, const std::string& user,
                                        const std::string& password);

  // Opens the file named by the connect string's DBQ with its PWD. A file
  // that is not ours, is damaged, or whose password does not match is
  // refused without a byte of it being changed.
  bool OpenExternalDatabase(const std::string& path, const std::string& user,
                            const std::string& password, bool read_only = false,
                            bool no_dialog = true);
  bool OpenWithConnectString(const std::string& connect);
  void CloseExternalDatabase();
  bool IsOpen() const { return db_ != nullptr; }

  // A handle above 0, or 0 when the text is empty or the query fails.
  int OpenRecordset(const std::string& gbk_sql);
  Recordset* Find(int handle);
  void MoveFirst(int handle);
  bool IsEOF(int handle);
  void MoveNext(int handle);
  // By column name (ASCII letters in any case) or by position; the
  // reference lives until the next read.
  const FieldValue& ReadField(int handle, const std::string& gbk_name);
  const FieldValue& ReadField(int handle, std::size_t index);
  void CloseRecordset(int handle);

  // INSERT, UPDATE or DELETE: true when it ran.
  bool ExecuteStatement(const std::string& gbk_sql);
  // The rows the last statement that ran inserted, changed or deleted.
  int ChangedRows() const { return changed_rows_; }

  const std::string& LastError() const { return last_error_; }

  // Writes a new, empty ml.mdb protected by the password (UTF-8 path is
  // taken from GBK). Fails when the file exists.
  static bool CreateDatabaseFile(const std::string& gbk_path, const std::string& password,
                                 std::string* error);

 private:
  struct ConnectionCloser {
    void operator()(sqlite3* db) const;
  };
  using Connection = std::unique_ptr<sqlite3, ConnectionCloser>;
  enum class CopyCheck { kAccepted, kRefused, kNoLongerHot };

  // With a busy timeout; nothing, with the reason kept, when it cannot open.
  Connection OpenConnection(const std::string& gbk_path, int flags);
  // Whether the file is whole, ours and opened with this password, judged
  // without changing a byte of it; `hot` tells whether its journal must be
  // rolled back by the first read.
  bool CheckUntouched(const std::string& gbk_path, const std::string& password, bool* hot);
  CopyCheck CheckRolledBackCopy(sqlite3* check, const std::string& gbk_path, const std::string& password);
  bool RollBack(const std::string& gbk_path);

  sqlite3* db_ = nullptr;
  std::map<int, std::unique_ptr<Recordset>> recordsets_;
  // The storage of the last closed recordset, kept for the next one:
  // listing thousands of rows again touches no fresh memory.
  std::vector<StoredCell> spare_cells_;
  std::string spare_texts_;
  int next_handle_ = 1;
  int changed_rows_ = 0;
  std::string last_error_;
};

}  // namespace mdb

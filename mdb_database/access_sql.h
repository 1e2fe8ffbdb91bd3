// Translates the program's Access-style SQL (GBK) into SQLite SQL (UTF-8).
//
// The dialect: names in [brackets] ("]]" is a literal bracket), text in
// '...' with '' for a quote, dates between # signs as year/month/day or
// year-month-day without leading zeros, "delete * from". A text value given
// to a date column (in INSERT values, or after "[日期]=" and the other
// comparisons) may be the runtime's date text ("2010年3月26日8时") or ISO;
// it is stored as a zero-padded ISO date so that dates sort and compare as
// text. One statement per text: SELECT, INSERT, UPDATE or DELETE.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mdb {


// The SQLite form of the statement, or nullopt with a reason in *error.
std::optional<std::string> TranslateAccessSql(std::string_view gbk_sql, std::string* error);

// A typed value made safe to stand between '...' in a statement: each
// quote is doubled, so a name like "x' or ''='" stays one text instead of
// changing the statement. (A GBK trail byte is never a quote.)
std::string EscapeSqlText(std::string_view gbk_value);

// Date text or literal body to the stored form "YYYY-MM-DD[ HH:MM:SS]".
std::optional<std::string> StoredDate(std::string_view gbk_text);

}  // namespace mdb

#include "access_sql.h"

#include <cctype>
#include <cstdio>
#include <vector>

#include "date_text.h"
#include "gbk_text.h"
#include "schema.h"

namespace mdb {
namespace {

enum class Tok { Word, Number, Name, Text, Date, Punct, Space };

struct Token {
  Tok kind;
  std::string text;  // Name/Text: the decoded GBK content; Date: the body
};

bool IsLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool IsWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Reads up to the closing delimiter; a GBK lead byte always takes the next
// byte with it, so a trail byte that looks like the delimiter never ends
// the token. `doubled` is the escape of the delimiter by doubling.
bool ReadDelimited(std::string_view s, std::size_t& i, char close, std::string& out) {
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (IsLead(c)) {
      if (i + 1 >= s.size()) return false;
      out.append(s.substr(i, 2));
      i += 2;
      continue;
    }
    if (s[i] == close) {
      if (i + 1 < s.size() && s[i + 1] == close) {
        out += close;
        i += 2;
        continue;
      }
      ++i;
      return true;
    }
    out += s[i++];
  }
  return false;
}

bool Lex(std::string_view s, std::vector<Token>& tokens, std::string* error) {
  std::size_t i = 0;
  while (i < s.size()) {
    char c = s[i];
    unsigned char u = static_cast<unsigned char>(c);
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n')) ++i;
      tokens.push_back({Tok::Space, " "});
    } else if (c == '[') {
      std::string name;
      ++i;
      if (!ReadDelimited(s, i, ']', name) || name.empty()) {
        *error = "unterminated or empty [name]";
        return false;
      }
      tokens.push_back({Tok::Name, name});
    } else if (c == '\'') {
      std::string text;
      ++i;
      if (!ReadDelimited(s, i, '\'', text)) {
        *error = "unterminated text literal";
        return false;
      }
      tokens.push_back({Tok::Text, text});
    } else if (c == '#') {
      std::size_t end = s.find('#', i + 1);
      if (end == std::string_view::npos) {
        *error = "unterminated date literal";
        return false;
      }
      tokens.push_back({Tok::Date, std::string(s.substr(i + 1, end - i - 1))});
      i = end + 1;
    } else if (std::isdigit(u)) {
      std::size_t start = i;
      while (i < s.size() && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == '.')) ++i;
      tokens.push_back({Tok::Number, std::string(s.substr(start, i - start))});
    } else if (std::isalpha(u) || c == '_') {
      std::size_t start = i;
      while (i < s.size() && IsWordChar(s[i])) ++i;
      tokens.push_back({Tok::Word, std::string(s.substr(start, i - start))});
    } else if (c == '<' || c == '>') {
      std::string op(1, c);
      if (i + 1 < s.size() && (s[i + 1] == '=' || (c == '<' && s[i + 1] == '>'))) op += s[i + 1];
      i += op.size();
      tokens.push_back({Tok::Punct, op});
    } else if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
      *error = "comments are not part of the dialect";
      return false;
    } else if (c == '=' || c == ',' || c == '(' || c == ')' || c == '*' || c == '+' ||
               c == '-' || c == '.' || c == ';') {
      tokens.push_back({Tok::Punct, std::string(1, c)});
      ++i;
    } else {
      // Double quotes, comments, backticks and bytes outside names and
      // texts are not part of the dialect.
      char buf[48];
      std::snprintf(buf, sizeof buf, "unexpected character 0x%02X", u);
      *error = buf;
      return false;
    }
  }
  return true;
}

bool WordIs(const Token& t, const char* word) {
  if (t.kind != Tok::Word) return false;
  std::size_t n = 0;
  for (; word[n]; ++n)
    if (n >= t.text.size() || std::tolower(static_cast<unsigned char>(t.text[n])) != word[n])
      return false;
  return n == t.text.size();
}

bool StartsWithIgnoringCase(const std::string& s, const char* prefix) {
  std::size_t n = 0;
  for (; prefix[n]; ++n)
    if (n >= s.size() || std::tolower(static_cast<unsigned char>(s[n])) != prefix[n]) return false;
  return true;
}

bool IsInternalName(const std::string& name) {
  return StartsWithIgnoringCase(name, "zz_") || StartsWithIgnoringCase(name, "sqlite_") ||
         StartsWithIgnoringCase(name, "pragma_");
}

bool IsComparison(const Token& t) {
  return t.kind == Tok::Punct &&
         (t.text == "=" || t.text == "<" || t.text == ">" || t.text == "<=" || t.text == ">=" ||
          t.text == "<>");
}

std::string QuoteName(const std::string& gbk) {
  std::string out = "\"";
  for (char c : zz::GbkToUtf8(gbk)) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

std::string QuoteText(const std::string& utf8) {
  std::string out = "'";
  for (char c : utf8) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

}  // namespace

std::string EscapeSqlText(std::string_view gbk_value) {
  std::string out;
  out.reserve(gbk_value.size());
  for (char c : gbk_value) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out;
}

std::optional<std::string> StoredDate(std::string_view gbk_text) {
  auto value = zz::ParseDateTime(gbk_text);
  if (!value) return std::nullopt;
  char buf[40];
  if (value->hour || value->minute || value->second)
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", value->year, value->month,
                  value->day, value->hour, value->minute, value->second);
  else
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", value->year, value->month, value->day);
  return std::string(buf);
}

std::optional<std::string> TranslateAccessSql(std::string_view gbk_sql, std::string* error) {
  std::string ignored;
  if (!error) error = &ignored;
  std::vector<Token> all;
  if (!Lex(gbk_sql, all, error)) return std::nullopt;

  // Significant tokens only; a blank between tokens is put back on output.
  std::vector<Token> t;
  for (Token& token : all)
    if (token.kind != Tok::Space) t.push_back(std::move(token));
  // One statement: a single ';' may end it.
  if (!t.empty() && t.back().kind == Tok::Punct && t.back().text == ";") t.pop_back();
  for (const Token& token : t)
    if (token.kind == Tok::Punct && token.text == ";") {
      *error = "more than one statement";
      return std::nullopt;
    }
  if (t.empty() || !(WordIs(t[0], "select") || WordIs(t[0], "insert") ||
                     WordIs(t[0], "update") || WordIs(t[0], "delete"))) {
    *error = "not a SELECT, INSERT, UPDATE or DELETE";
    return std::nullopt;
  }

  // For INSERT: the column of each top-level value position.
  std::vector<std::string> insert_columns;
  std::size_t values_open = std::string::npos;
  if (WordIs(t[0], "insert")) {
    std::size_t k = 1;
    while (k < t.size() && !(t[k].kind == Tok::Punct && t[k].text == "(")) ++k;
    for (++k; k < t.size() && !(t[k].kind == Tok::Punct && t[k].text == ")"); ++k)
      if (t[k].kind == Tok::Name) insert_columns.push_back(t[k].text);
    for (; k < t.size(); ++k)
      if (WordIs(t[k], "values") && k + 1 < t.size() && t[k + 1].text == "(") {
        values_open = k + 1;
        break;
      }
  }

  // The file's own bookkeeping (the password verifier, SQLite's tables) is
  // out of reach of the program's statements.
  for (const Token& token : t)
    if ((token.kind == Tok::Word || token.kind == Tok::Name) && IsInternalName(token.text)) {
      *error = "internal table: " + token.text;
      return std::nullopt;
    }

  std::string out;
  int depth = 0;
  std::size_t value_index = 0;
  for (std::size_t k = 0; k < t.size(); ++k) {
    const Token& token = t[k];
    if (!out.empty()) out += ' ';
    bool in_values = values_open != std::string::npos && k > values_open && depth == 1;
    switch (token.kind) {
      case Tok::Word:
      case Tok::Number:
        out += token.text;
        break;
      case Tok::Name:
        out += QuoteName(token.text);
        break;
      case Tok::Date: {
        auto stored = StoredDate(token.text);
        if (!stored) {
          *error = "bad date literal #" + token.text + "#";
          return std::nullopt;
        }
        out += QuoteText(*stored);
        break;
      }
      case Tok::Text: {
        bool date_target =
            (in_values && value_index < insert_columns.size() &&
             IsDateColumn(insert_columns[value_index])) ||
            (k >= 2 && IsComparison(t[k - 1]) && t[k - 2].kind == Tok::Name &&
             IsDateColumn(t[k - 2].text));
        if (date_target) {
          auto stored = StoredDate(token.text);
          if (!stored) {
            *error = "not a date: '" + token.text + "'";
            return std::nullopt;
          }
          out += QuoteText(*stored);
        } else {
          out += QuoteText(zz::GbkToUtf8(token.text));
        }
        break;
      }
      case Tok::Punct:
        // "delete * from": SQLite has no column list in DELETE.
        if (token.text == "*" && k == 1 && WordIs(t[0], "delete")) {
          out.pop_back();
          continue;
        }
        if (token.text == "(") ++depth;
        if (token.text == ")") --depth;
        if (token.text == "," && in_values) ++value_index;
        out += token.text;
        break;
      case Tok::Space:
        break;
    }
  }
  if (depth != 0) {
    *error = "unbalanced parentheses";
    return std::nullopt;
  }
  return out;
}

}  // namespace mdb

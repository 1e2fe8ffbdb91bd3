#include "template_file.h"

#include <vector>

#include "file_access.h"
#include "gbk_text.h"

namespace grid {

namespace {

constexpr std::string_view kMagic = "ZZGRID 1";
// Widths and heights beyond a metre are damage, not design.
constexpr int kMaxLength = 10000;

std::vector<std::string_view> SplitLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// Plain decimal digits only: a sign, a blank or a letter is damage.
bool ParseCount(std::string_view s, int max, int* out) {
  if (s.empty() || s.size() > 9) return false;
  int v = 0;
  for (char ch : s) {
    if (ch < '0' || ch > '9') return false;
    v = v * 10 + (ch - '0');
  }
  if (v > max) return false;
  *out = v;
  return true;
}

std::vector<std::string_view> Words(std::string_view s) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < s.size()) {
    size_t end = s.find(' ', i);
    if (end == std::string_view::npos) end = s.size();
    if (end > i) words.push_back(s.substr(i, end - i));
    i = end + 1;
  }
  return words;
}

bool ParseFormat(std::string_view s, CellFormat* out) {
  CellFormat f;
  bool aligned = false;
  for (char ch : s) {
    switch (ch) {
      case 'f': f.framed = true; break;
      case 'b': f.bold = true; break;
      case 't': f.title = true; break;
      case 'l': case 'c': case 'r':
        if (aligned) return false;
        aligned = true;
        f.align = ch == 'l' ? Align::Left : ch == 'c' ? Align::Centre : Align::Right;
        break;
      default: return false;
    }
  }
  *out = f;
  return true;
}

std::string FormatCode(const CellFormat& f) {
  std::string s;
  if (f.framed) s += 'f';
  if (f.bold) s += 'b';
  if (f.title) s += 't';
  if (f.align == Align::Centre) s += 'c';
  if (f.align == Align::Right) s += 'r';
  return s;
}

// Walked a character at a time: a GBK trail byte may be 0x5C and must not
// start an escape.
bool Unescape(std::string_view s, std::string* out) {
  std::string text;
  for (size_t i = 0; i < s.size();) {
    size_t n = zz::GbkCharLength(s, i);
    if (n == 1 && s[i] == '\\') {
      if (i + 1 >= s.size()) return false;
      char next = s[i + 1];
      if (next == 'n') text += '\n';
      else if (next == '\\') text += '\\';
      else return false;
      i += 2;
      continue;
    }
    text.append(s.substr(i, n));
    i += n;
  }
  *out = std::move(text);
  return true;
}

std::string Escape(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size();) {
    size_t n = zz::GbkCharLength(s, i);
    if (n == 1 && s[i] == '\\') out += "\\\\";
    else if (n == 1 && s[i] == '\n') out += "\\n";
    else if (n == 1 && s[i] == '\r') {
      // A CR LF pair in a cell is one line break; lines of the file are
      // cut at LF, so a lone CR would not survive the trip either.
    } else out.append(s.substr(i, n));
    i += n;
  }
  return out;
}

bool ParseLengths(const std::vector<std::string_view>& words, int count, std::vector<int>* out) {
  if (static_cast<int>(words.size()) != count + 1) return false;
  out->clear();
  for (int i = 1; i <= count; ++i) {
    int v;
    if (!ParseCount(words[i], kMaxLength, &v)) return false;
    out->push_back(v);
  }
  return true;
}

bool ParseCell(std::string_view rest, GridData* g) {
  size_t bar = rest.find('|');
  if (bar == std::string_view::npos) return false;
  std::string_view head = rest.substr(0, bar);
  size_t c1 = head.find(','), c2 = c1 == std::string_view::npos ? c1 : head.find(',', c1 + 1);
  if (c2 == std::string_view::npos) return false;
  int row, column;
  CellFormat format;
  std::string text;
  if (!ParseCount(head.substr(0, c1), g->RowCount(), &row) ||
      !ParseCount(head.substr(c1 + 1, c2 - c1 - 1), g->ColumnCount(), &column) ||
      !g->Inside(row, column) || !ParseFormat(head.substr(c2 + 1), &format) ||
      !Unescape(rest.substr(bar + 1), &text))
    return false;
  g->SetCellText(row, column, text);
  g->SetFormat(row, column, format);
  return true;
}

bool ParseJoin(const std::vector<std::string_view>& w, GridData* g) {
  int v[4];
  if (w.size() != 5) return false;
  for (int i = 0; i < 4; ++i)
    if (!ParseCount(w[i + 1], GridData::kMaxRows, &v[i])) return false;
  CellRange join{v[0], v[1], v[2], v[3]};
  if (join.rows < 1 || join.columns < 1 || !g->Inside(join.row, join.column) ||
      !g->Inside(join.row + join.rows - 1, join.column + join.columns - 1))
    return false;
  // Two joins over one cell: the file was not written by us.
  for (const CellRange& j : g->joins())
    if (j.Overlaps(join)) return false;
  g->JoinCells(join.row, join.column, join.rows, join.columns);
  return true;
}

bool ParseKeep(const std::vector<std::string_view>& w, GridData* g) {
  int row, rows;
  if (w.size() != 3 || !ParseCount(w[1], GridData::kMaxRows, &row) || !ParseCount(w[2], GridData::kMaxRows, &rows))
    return false;
  // Cut to the grid or laid over another run: the file was not written by us.
  if (rows < 1 || !g->Inside(row, 1) || !g->Inside(row + rows - 1, 1)) return false;
  return g->KeepTogether(row, rows);
}

}  // namespace

bool ParseTemplate(std::string_view bytes, GridData* out) {
  std::vector<std::string_view> lines = SplitLines(bytes);
  if (lines.size() < 3 || lines[0] != kMagic || lines.back() != "end") return false;
  std::vector<std::string_view> size = Words(lines[1]);
  int rows, columns;
  if (size.size() != 3 || size[0] != "size" || !ParseCount(size[1], GridData::kMaxRows, &rows) ||
      !ParseCount(size[2], GridData::kMaxColumns, &columns) || rows < 1 || columns < 1)
    return false;
  GridData g(rows, columns);
  for (size_t i = 2; i + 1 < lines.size(); ++i) {
    std::string_view line = lines[i];
    if (line.substr(0, 5) == "cell ") {
      if (!ParseCell(line.substr(5), &g)) return false;
      continue;
    }
    std::vector<std::string_view> w = Words(line);
    if (w.empty()) return false;
    std::vector<int> lengths;
    if (w[0] == "widths") {
      if (!ParseLengths(w, columns, &lengths)) return false;
      for (int c = 1; c <= columns; ++c) g.SetColumnWidths(c, 1, lengths[c - 1]);
    } else if (w[0] == "heights") {
      if (!ParseLengths(w, rows, &lengths)) return false;
      for (int r = 1; r <= rows; ++r) g.SetRowHeight(r, lengths[r - 1]);
    } else if (w[0] == "join") {
      if (!ParseJoin(w, &g)) return false;
    } else if (w[0] == "keep") {
      if (!ParseKeep(w, &g)) return false;
    } else {
      return false;
    }
  }
  *out = std::move(g);
  return true;
}

std::string WriteTemplate(const GridData& g) {
  std::string s(kMagic);
  s += "\r\nsize " + std::to_string(g.RowCount()) + " " + std::to_string(g.ColumnCount()) + "\r\n";
  s += "widths";
  for (int c = 1; c <= g.ColumnCount(); ++c) s += " " + std::to_string(g.ColumnWidth(c));
  s += "\r\nheights";
  for (int r = 1; r <= g.RowCount(); ++r) s += " " + std::to_string(g.RowHeight(r));
  s += "\r\n";
  for (const CellRange& j : g.joins())
    s += "join " + std::to_string(j.row) + " " + std::to_string(j.column) + " " + std::to_string(j.rows) +
         " " + std::to_string(j.columns) + "\r\n";
  for (const RowRun& k : g.kept()) s += "keep " + std::to_string(k.row) + " " + std::to_string(k.rows) + "\r\n";
  for (int r = 1; r <= g.RowCount(); ++r)
    for (int c = 1; c <= g.ColumnCount(); ++c) {
      std::string text = g.CellText(r, c);
      CellFormat f = g.Format(r, c);
      if (text.empty() && f == CellFormat()) continue;
      s += "cell " + std::to_string(r) + "," + std::to_string(c) + "," + FormatCode(f) + "|" + Escape(text) +
           "\r\n";
    }
  s += "end\r\n";
  return s;
}

bool LoadTemplateFile(const std::string& gbk_path, GridData* out) {
  std::string bytes;
  return rt::ReadWholeFile(gbk_path, &bytes) && ParseTemplate(bytes, out);
}

bool SaveTemplateFile(const std::string& gbk_path, const GridData& grid) {
  return rt::ReplaceWholeFile(gbk_path, WriteTemplate(grid));
}

}  // namespace grid

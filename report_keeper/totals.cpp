#include "totals.h"

#include "number_text.h"

namespace keeper {

TotalTexts RecomputeTotals(const FigureTexts& in) {
  using zz::FormatNumber;
  using zz::ParseNumber;
  TotalTexts out;
  double medical = 0;
  for (int i = 0; i < 9; ++i) medical += ParseNumber(in.fields[i]);
  out.medical = FormatNumber(medical);
  out.drugs = FormatNumber(ParseNumber(in.fields[10]) + ParseNumber(in.fields[11]));
  out.total = FormatNumber(ParseNumber(out.medical) + ParseNumber(out.drugs));
  out.grand_total = FormatNumber(ParseNumber(out.total) + ParseNumber(in.fields[12]));
  return out;
}

int MakeFiguresPlain(FigureTexts* figures) {
  for (int i = 0; i < 13; ++i) {
    std::optional<std::string> plain = zz::PlainNumberText(figures->fields[i]);
    if (!plain) return i;
    figures->fields[i] = *plain;
  }
  return -1;
}

}  // namespace keeper

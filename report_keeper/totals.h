// The four totals of a day's figures, computed from the entry texts exactly
// as the entry area shows them.
#pragma once

#include <string>

namespace keeper {

struct FigureTexts {
  // In entry order: 挂号 B超 治疗 多普勒 手术 化验 其它 心电图 X光 人次 中药 西药 防疫收入.
  std::string fields[13];
};

struct TotalTexts {
  std::string medical;      // 医疗收入合计
  std::string drugs;        // 药品收入合计
  std::string total;        // 医疗加药品总计收入
  std::string grand_total;  // 各项收入总合计
};

// Each later total re-reads the text of the earlier one, so its 13-digit
// rounding enters the later sums. 人次 enters no sum.
TotalTexts RecomputeTotals(const FigureTexts& in);

// Makes each field the plain number it holds (see zz::PlainNumberText), so
// that what is stored is what the totals read. The first field that holds
// none, or -1; fields after it are left as typed.
int MakeFiguresPlain(FigureTexts* figures);

}  // namespace keeper

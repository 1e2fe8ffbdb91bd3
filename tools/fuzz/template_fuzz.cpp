// libFuzzer target: the report template reader must refuse or load any byte
// string without crashing; what it loads writes out and reads back to the
// same file, and lays out onto pages.
#include <cstddef>
#include <cstdint>
#include <string>

#include "page_layout.h"
#include "template_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  grid::GridData g;
  if (!grid::ParseTemplate(std::string(reinterpret_cast<const char*>(data), size), &g)) return 0;
  std::string written = grid::WriteTemplate(g);
  grid::GridData back;
  if (!grid::ParseTemplate(written, &back) || grid::WriteTemplate(back) != written) __builtin_trap();
  grid::PageLayout layout = grid::LayOutPages(g, grid::PrintInf());
  if (layout.pages.empty() || layout.pages.back().last != g.RowCount()) __builtin_trap();
  return 0;
}

#include "uninstall_record.h"

#include "utf16_field.h"

namespace {

// The record's layout: every field's place in one table.
struct RecordField {
  std::u16string UninstallRecord::*text;
  std::size_t offset;
  std::size_t units;
};
const RecordField kRecordFields[] = {
    {&UninstallRecord::KeyName, 0, 50},
    {&UninstallRecord::UserDataFolder, 100, 50},
    {&UninstallRecord::ShortcutName, 200, 50},
    {&UninstallRecord::StartMenuFolder, 300, 30},
};
static_assert(300 + 30 * 2 == kUninstallRecordSize, "the last field ends the record");

}  // namespace

void EncodeUninstallRecord(const UninstallRecord& record, std::uint8_t out[kUninstallRecordSize]) {
  for (const RecordField& f : kRecordFields) {
    const std::u16string& text = record.*f.text;
    WriteUtf16Field(out + f.offset, f.units, text.substr(0, f.units - 1));
  }
}

bool DecodeUninstallRecord(const std::uint8_t* data, std::size_t size, UninstallRecord* out) {
  if (data == nullptr || size != kUninstallRecordSize) return false;
  for (const RecordField& f : kRecordFields) out->*f.text = ReadUtf16Field(data + f.offset, f.units);
  return true;
}

std::u16string UninstallRecordPathFor(const std::u16string& uninstaller_path) {
  const std::u16string exe = u".exe";
  std::u16string path = uninstaller_path;
  if (path.size() >= exe.size() && path.compare(path.size() - exe.size(), exe.size(), exe) == 0)
    path.resize(path.size() - exe.size());
  return path + u".dat";
}

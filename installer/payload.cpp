#include "payload.h"

#include <cstring>
#include <memory>

#include "lzma_codec.h"
#include "qv_crypt.h"
#include "utf16_field.h"

namespace {

// The header's layout: every text field's place in one table.
struct HeaderField {
  std::u16string PayloadHeader::*text;
  std::size_t offset;
  std::size_t units;
  const char* name;
};
const HeaderField kHeaderFields[] = {
    {&PayloadHeader::KeyName, 0, 50, "KeyName"},
    {&PayloadHeader::IconPath, 100, 50, "IconPath"},
    {&PayloadHeader::DisplayName, 200, 50, "DisplayName"},
    {&PayloadHeader::DisplayVersion, 300, 30, "DisplayVersion"},
    {&PayloadHeader::HelpLink, 360, 50, "HelpLink"},
    {&PayloadHeader::Publisher, 460, 50, "Publisher"},
    {&PayloadHeader::UninstallerPath, 560, 50, "UninstallerPath"},
    {&PayloadHeader::LaunchPath, 660, 50, "LaunchPath"},
    {&PayloadHeader::UserDataFolder, 760, 50, "UserDataFolder"},
    {&PayloadHeader::ShortcutTarget, 860, 50, "ShortcutTarget"},
    {&PayloadHeader::ShortcutComment, 960, 50, "ShortcutComment"},
    {&PayloadHeader::StartMenuFolder, 1060, 30, "StartMenuFolder"},
};
constexpr std::size_t kPayloadOffsetField = 1120;
static_assert(kPayloadOffsetField + 4 == kPayloadHeaderSize, "the offset ends the header");
constexpr std::size_t kPackedSizeField = 400, kUnpackedSizeField = 404;
static_assert(kUnpackedSizeField + 4 == kPayloadEntryHeaderSize, "the sizes end the entry header");

char16_t AsciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }

bool SameAsciiName(const std::u16string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i]; ++i)
    if (AsciiLower(a[i]) != AsciiLower(static_cast<char16_t>(b[i]))) return false;
  return i == a.size() && b[i] == 0;
}

bool IsDeviceName(const std::u16string& part) {
  // Windows takes "CON.txt" and "nul .x" for the device as well.
  std::u16string base = part.substr(0, part.find(u'.'));
  while (!base.empty() && base.back() == u' ') base.pop_back();
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (const char* d : kDevices)
    if (SameAsciiName(base, d)) return true;
  if (base.size() != 4 || !(SameAsciiName(base.substr(0, 3), "COM") || SameAsciiName(base.substr(0, 3), "LPT")))
    return false;
  // Windows takes the superscript digits one to three for ports too.
  const char16_t n = base[3];
  return (n >= u'0' && n <= u'9') || n == u'\u00B9' || n == u'\u00B2' || n == u'\u00B3';
}

}  // namespace

PayloadHeader DecodePayloadHeader(const std::uint8_t bytes[kPayloadHeaderSize]) {
  PayloadHeader header;
  for (const HeaderField& f : kHeaderFields) header.*f.text = ReadUtf16Field(bytes + f.offset, f.units);
  header.PayloadOffset = ReadU32(bytes + kPayloadOffsetField);
  return header;
}

bool EncodePayloadHeader(const PayloadHeader& header, std::uint8_t out[kPayloadHeaderSize],
                         std::string* error) {
  for (const HeaderField& f : kHeaderFields) {
    if (!WriteUtf16Field(out + f.offset, f.units, header.*f.text)) {
      *error = std::string(f.name) + " does not fit its field";
      return false;
    }
  }
  WriteU32(out + kPayloadOffsetField, header.PayloadOffset);
  return true;
}

PayloadEntryHeader DecodeEntryHeader(const std::uint8_t bytes[kPayloadEntryHeaderSize]) {
  PayloadEntryHeader entry;
  entry.Path = ReadUtf16Field(bytes, kEntryPathUnits);
  entry.PathHasNul = entry.Path.size() < kEntryPathUnits;
  entry.PackedSize = ReadU32(bytes + kPackedSizeField);
  entry.UnpackedSize = ReadU32(bytes + kUnpackedSizeField);
  return entry;
}

bool EncodeEntryHeader(const PayloadEntryHeader& entry, std::uint8_t out[kPayloadEntryHeaderSize]) {
  if (!WriteUtf16Field(out, kEntryPathUnits, entry.Path)) return false;
  WriteU32(out + kPackedSizeField, entry.PackedSize);
  WriteU32(out + kUnpackedSizeField, entry.UnpackedSize);
  return true;
}

bool IsSafePathPart(const std::u16string& part) {
  if (part.empty() || part == u"." || part == u"..") return false;
  for (char16_t c : part) {
    if (c < 0x20 || c == 0x7F) return false;
    for (char16_t bad : u"/\\:*?\"<>|")
      if (bad != 0 && c == bad) return false;
  }
  if (part.back() == u'.' || part.back() == u' ') return false;
  return !IsDeviceName(part);
}

bool IsSafeRelativePath(const std::u16string& path) {
  std::size_t start = 0;
  for (;;) {
    std::size_t end = path.find(u'\\', start);
    if (!IsSafePathPart(path.substr(start, end == std::u16string::npos ? end : end - start)))
      return false;
    if (end == std::u16string::npos) return true;
    start = end + 1;
  }
}

bool IsKeptWhenPresent(const std::u16string& path) {
  std::size_t slash = path.rfind(u'\\');
  const std::u16string name = path.substr(slash == std::u16string::npos ? 0 : slash + 1);
  return SameAsciiName(name, "ml.mdb") || SameAsciiName(name, "1021.ini");
}

std::vector<std::u16string> PayloadFolders(const Payload& payload) {
  std::vector<std::u16string> folders;
  for (const PayloadFile& file : payload.files) {
    const std::u16string& path = file.header.Path;
    for (std::size_t end = path.find(u'\\'); end != std::u16string::npos; end = path.find(u'\\', end + 1)) {
      std::u16string folder = path.substr(0, end);
      bool seen = false;
      for (const auto& f : folders) seen = seen || f == folder;
      if (!seen) folders.push_back(std::move(folder));
    }
  }
  return folders;
}

std::u16string ProductFolder(const Payload& payload) {
  if (payload.files.empty()) return std::u16string();
  const std::u16string& path = payload.files.front().header.Path;
  const std::size_t end = path.find(u'\\');
  return end == std::u16string::npos ? std::u16string() : path.substr(0, end);
}

std::u16string JoinPath(const std::u16string& folder, const std::u16string& path) {
  if (!folder.empty() && folder.back() == u'\\') return folder + path;
  return folder + u'\\' + path;
}

bool IsBelowFolder(const std::u16string& full, const std::u16string& folder) {
  std::u16string prefix = folder;
  if (prefix.empty()) return false;
  if (prefix.back() != u'\\') prefix += u'\\';
  if (full.size() <= prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (AsciiLower(full[i]) != AsciiLower(prefix[i])) return false;
  return true;
}

namespace {

// The header's names become registry keys, file and folder names, and its
// paths files that are written or started: each must stay where it belongs.
bool CheckHeader(const PayloadHeader& h, std::string* error) {
  const struct {
    const std::u16string* text;
    bool path;
    const char* name;
  } checks[] = {
      {&h.KeyName, false, "KeyName"},
      {&h.StartMenuFolder, false, "StartMenuFolder"},
      {&h.IconPath, true, "IconPath"},
      {&h.UninstallerPath, true, "UninstallerPath"},
      {&h.LaunchPath, true, "LaunchPath"},
      {&h.ShortcutTarget, true, "ShortcutTarget"},
  };
  for (const auto& c : checks) {
    if (c.text->empty()) continue;
    if (c.path ? !IsSafeRelativePath(*c.text) : !IsSafePathPart(*c.text)) {
      *error = std::string("unsafe ") + c.name;
      return false;
    }
  }
  return true;
}

}  // namespace

bool ReadPayload(const std::uint8_t* data, std::size_t size, Payload* out, std::string* error) {
  *out = Payload();
  if (size < kPayloadHeaderSize) {
    *error = "the payload header is cut off";
    return false;
  }
  if (size > kMaxPayloadSize) {
    *error = "the payload is too large";
    return false;
  }
  out->header = DecodePayloadHeader(data);
  out->size = size;
  if (!CheckHeader(out->header, error)) return false;
  std::size_t pos = kPayloadHeaderSize;
  std::uint64_t packed_sum = 0;
  while (pos < size) {
    const std::string where = "entry " + std::to_string(out->files.size() + 1) + ": ";
    if (size - pos < kPayloadEntryHeaderSize) {
      *error = where + "the file ends inside its header";
      return false;
    }
    PayloadFile file;
    file.header = DecodeEntryHeader(data + pos);
    pos += kPayloadEntryHeaderSize;
    const PayloadEntryHeader& e = file.header;
    if (!e.PathHasNul || !IsSafeRelativePath(e.Path)) {
      *error = where + "unsafe path";
      return false;
    }
    if (e.PackedSize < kLzmaPropsSize || e.PackedSize > size - pos) {
      *error = where + "packed size out of bounds";
      return false;
    }
    if (e.UnpackedSize > kMaxUnpackedSize) {
      *error = where + "unpacked size too large";
      return false;
    }
    // Left uninitialised: a hostile size costs nothing until data arrives.
    std::unique_ptr<std::uint8_t[]> decoded(new std::uint8_t[e.UnpackedSize + 1]);
    if (!LzmaDecodeExact(data + pos, e.PackedSize, decoded.get(), e.UnpackedSize)) {
      *error = where + "damaged packed data";
      return false;
    }
    file.data.assign(decoded.get(), decoded.get() + e.UnpackedSize);
    pos += e.PackedSize;
    packed_sum += e.PackedSize;
    file.packed_sum = packed_sum;
    out->files.push_back(std::move(file));
  }
  if (out->files.empty()) {
    *error = "the payload holds no file";
    return false;
  }
  return true;
}

void EncodePayloadTrailer(const std::uint8_t* payload, std::size_t size,
                          std::uint8_t out[kPayloadTrailerSize]) {
  std::memcpy(out, kPayloadTag, kPayloadTagSize);
  CMd5A::Digest(payload, size, out + kPayloadTagSize);
}

bool CheckPayloadDigest(const std::uint8_t* tail, std::size_t size, std::string* error) {
  if (size < kPayloadTrailerSize || std::memcmp(tail, kPayloadTag, kPayloadTagSize) != 0) {
    *error = "the payload's digest is missing";
    return false;
  }
  std::uint8_t want[kPayloadTrailerSize];
  EncodePayloadTrailer(tail + kPayloadTrailerSize, size - kPayloadTrailerSize, want);
  if (std::memcmp(tail, want, kPayloadTrailerSize) != 0) {
    *error = "the payload does not match its digest";
    return false;
  }
  return true;
}

bool ReadCheckedPayload(const std::uint8_t* tail, std::size_t size, Payload* out, std::string* error) {
  *out = Payload();
  return CheckPayloadDigest(tail, size, error) &&
         ReadPayload(tail + kPayloadTrailerSize, size - kPayloadTrailerSize, out, error);
}

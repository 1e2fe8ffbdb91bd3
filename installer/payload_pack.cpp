// Packs the installer's payload from a manifest, checks it and appends it to
// the installer's program image.
//
//   payload_pack MANIFEST PAYLOAD_OUT [IMAGE INSTALLER_OUT]
//
// The manifest is UTF-8 text, one "Field=value" line per header text (the
// header's field names) and one "file=relative\path|source file" line per
// entry, in install order. Lines starting with '#' are skipped.
#include <cstdio>
#include <string>
#include <vector>

#include "payload_writer.h"

namespace {

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>* out) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  out->clear();
  std::uint8_t buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out->insert(out->end(), buffer, buffer + n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& data) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  return std::fclose(f) == 0 && ok;
}

// False on bytes that are not UTF-8.
bool Utf8ToUtf16(const std::string& in, std::u16string* out) {
  out->clear();
  for (std::size_t i = 0; i < in.size();) {
    unsigned char c = in[i];
    int more = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
    if (more < 0 || i + more >= in.size())
      return false;
    char32_t cp = more == 0 ? c : c & (0x3F >> more);
    for (int k = 1; k <= more; ++k) {
      unsigned char t = in[i + k];
      if ((t & 0xC0) != 0x80) return false;
      cp = cp << 6 | (t & 0x3F);
    }
    i += more + 1;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out->push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out->push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out->push_back(static_cast<char16_t>(cp));
    }
  }
  return true;
}

struct FieldName {
  const char* name;
  std::u16string PayloadHeader::*text;
};
const FieldName kFields[] = {
    {"KeyName", &PayloadHeader::KeyName},
    {"IconPath", &PayloadHeader::IconPath},
    {"DisplayName", &PayloadHeader::DisplayName},
    {"DisplayVersion", &PayloadHeader::DisplayVersion},
    {"HelpLink", &PayloadHeader::HelpLink},
    {"Publisher", &PayloadHeader::Publisher},
    {"UninstallerPath", &PayloadHeader::UninstallerPath},
    {"LaunchPath", &PayloadHeader::LaunchPath},
    {"UserDataFolder", &PayloadHeader::UserDataFolder},
    {"ShortcutTarget", &PayloadHeader::ShortcutTarget},
    {"ShortcutComment", &PayloadHeader::ShortcutComment},
    {"StartMenuFolder", &PayloadHeader::StartMenuFolder},
};

int Fail(const std::string& message) {
  std::fprintf(stderr, "payload_pack: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 5) return Fail("usage: payload_pack MANIFEST PAYLOAD_OUT [IMAGE INSTALLER_OUT]");
  std::vector<std::uint8_t> manifest;
  if (!ReadWholeFile(argv[1], &manifest)) return Fail(std::string("cannot read ") + argv[1]);
  PayloadHeader header;
  header.PayloadOffset = kPayloadOffset;
  std::vector<PayloadSource> files;
  std::string text(manifest.begin(), manifest.end());
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::size_t eq = line.find('=');
    if (eq == std::string::npos) return Fail("no '=' in: " + line);
    std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    if (key == "file") {
      std::size_t bar = value.find('|');
      PayloadSource source;
      if (bar == std::string::npos || !Utf8ToUtf16(value.substr(0, bar), &source.path))
        return Fail("bad file line: " + line);
      if (!ReadWholeFile(value.substr(bar + 1), &source.data)) return Fail("cannot read " + value.substr(bar + 1));
      files.push_back(std::move(source));
      continue;
    }
    bool known = false;
    for (const FieldName& f : kFields) {
      if (key != f.name) continue;
      if (!Utf8ToUtf16(value, &(header.*f.text))) return Fail("not UTF-8: " + line);
      known = true;
    }
    if (!known) return Fail("unknown field: " + key);
  }
  std::vector<std::uint8_t> payload;
  std::string error;
  if (!BuildPayload(header, files, &payload, &error)) return Fail(error);
  if (!WriteWholeFile(argv[2], payload)) return Fail(std::string("cannot write ") + argv[2]);
  if (argc == 5) {
    std::vector<std::uint8_t> image, installer;
    if (!ReadWholeFile(argv[3], &image)) return Fail(std::string("cannot read ") + argv[3]);
    if (!AttachPayload(image, payload, &installer, &error)) return Fail(error);
    if (!WriteWholeFile(argv[4], installer)) return Fail(std::string("cannot write ") + argv[4]);
  }
  std::printf("payload_pack: %zu files, %zu payload bytes\n", files.size(), payload.size());
  return 0;
}

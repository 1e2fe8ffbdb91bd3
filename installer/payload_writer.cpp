#include "payload_writer.h"

#include "lzma_codec.h"
#include "utf16_field.h"

bool BuildPayload(const PayloadHeader& header, const std::vector<PayloadSource>& files,
                  std::vector<std::uint8_t>* out, std::string* error) {
  out->assign(kPayloadHeaderSize, 0);
  if (!EncodePayloadHeader(header, out->data(), error)) return false;
  for (const PayloadSource& f : files) {
    const std::string name(f.path.begin(), f.path.end());  // for messages only
    if (f.path.size() >= kEntryPathUnits || !IsSafeRelativePath(f.path)) {
      *error = "path too long or unsafe: " + name;
      return false;
    }
    if (f.data.size() > kMaxUnpackedSize) {
      *error = "file too large: " + name;
      return false;
    }
    std::vector<std::uint8_t> packed;
    if (!LzmaPack(f.data.data(), f.data.size(), &packed)) {
      *error = "the encoder failed on " + name;
      return false;
    }
    PayloadEntryHeader entry;
    entry.Path = f.path;
    entry.PackedSize = static_cast<std::uint32_t>(packed.size());
    entry.UnpackedSize = static_cast<std::uint32_t>(f.data.size());
    std::uint8_t bytes[kPayloadEntryHeaderSize];
    EncodeEntryHeader(entry, bytes);
    out->insert(out->end(), bytes, bytes + sizeof bytes);
    out->insert(out->end(), packed.begin(), packed.end());
  }
  // The installer's reader is the judge: the same checks, the same decoder.
  Payload back;
  if (!ReadPayload(out->data(), out->size(), &back, error)) {
    *error = "the written payload does not read back: " + *error;
    return false;
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (back.files[i].header.Path != files[i].path || back.files[i].data != files[i].data) {
      *error = "entry " + std::to_string(i + 1) + " does not decode to its source";
      return false;
    }
  }
  return true;
}

std::uint64_t PeImageEnd(const std::uint8_t* data, std::size_t size) {
  if (size < 0x40 || data[0] != 'M' || data[1] != 'Z') return 0;
  std::uint64_t pe = ReadU32(data + 0x3C);
  if (pe + 24 > size || ReadU32(data + pe) != 0x00004550) return 0;  // "PE\0\0"
  unsigned sections = data[pe + 6] | data[pe + 7] << 8;
  unsigned optional_size = data[pe + 20] | data[pe + 21] << 8;
  std::uint64_t table = pe + 24 + optional_size, end = 0;
  if (table + 40ull * sections > size) return 0;
  for (unsigned i = 0; i < sections; ++i) {
    const std::uint8_t* s = data + table + 40 * i;
    std::uint64_t raw_size = ReadU32(s + 16), raw_pointer = ReadU32(s + 20);
    if (raw_size != 0 && raw_pointer + raw_size > end) end = raw_pointer + raw_size;
  }
  return end;
}

bool AttachPayload(const std::vector<std::uint8_t>& image, const std::vector<std::uint8_t>& payload,
                   std::vector<std::uint8_t>* out, std::string* error) {
  std::uint64_t end = PeImageEnd(image.data(), image.size());
  if (end == 0 || end != image.size()) {
    *error = "the installer image is no PE file whose sections end where the file ends "
             "(strip it first)";
    return false;
  }
  if (end > kPayloadTrailerOffset) {
    *error = "the installer image is " + std::to_string(end) + " bytes, more than the " +
             std::to_string(kPayloadTrailerOffset) + " before the payload's digest";
    return false;
  }
  *out = image;
  out->resize(kPayloadOffset, 0);
  EncodePayloadTrailer(payload.data(), payload.size(), out->data() + kPayloadTrailerOffset);
  out->insert(out->end(), payload.begin(), payload.end());
  return true;
}

// The installer's payload: a fixed header describing the product, then one
// LZMA-packed entry per installed file, back to back to the end of the file.
// Byte layouts, bounds and the checks of paths the installer will write all
// live here; nothing in it needs Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Where the payload starts in the installer's file: the end of the program
// image, to which the build pads it.
constexpr std::uint32_t kPayloadOffset = 709120;
constexpr std::size_t kPayloadHeaderSize = 1124;
constexpr std::size_t kPayloadEntryHeaderSize = 408;
constexpr std::size_t kEntryPathUnits = 200;
// No shipped file comes near it; it keeps a hostile size from allocating.
constexpr std::uint32_t kMaxUnpackedSize = 64u << 20;
constexpr std::uint64_t kMaxPayloadSize = 512ull << 20;

// The digest trailer. An entry's LZMA stream has no end marker and the
// payload no checksum, so a damaged download can decode cleanly to other
// bytes. The packer leaves a tag and the MD5 of the whole payload (from
// kPayloadOffset to the end of the file) in the image's zero padding just
// below the payload, where a reader of the payload alone never looks; the
// installer reads both together and installs nothing unless they match.
// Damage, not tampering: whoever can change the payload can change this too.
constexpr std::size_t kPayloadTagSize = 8;
constexpr std::size_t kPayloadDigestSize = 16;
constexpr std::size_t kPayloadTrailerSize = kPayloadTagSize + kPayloadDigestSize;
constexpr std::uint32_t kPayloadTrailerOffset = kPayloadOffset - kPayloadTrailerSize;
// The trailer's first bytes; the digest follows them.
constexpr std::uint8_t kPayloadTag[kPayloadTagSize] = {'Q', 'v', 'P', 'a', 'y', 'M', 'd', '5'};

struct PayloadHeader {
  std::u16string KeyName;
  std::u16string IconPath;
  std::u16string DisplayName;
  std::u16string DisplayVersion;
  std::u16string HelpLink;
  std::u16string Publisher;
  std::u16string UninstallerPath;
  std::u16string LaunchPath;
  std::u16string UserDataFolder;
  std::u16string ShortcutTarget;
  std::u16string ShortcutComment;
  std::u16string StartMenuFolder;
  std::uint32_t PayloadOffset = 0;
};

struct PayloadEntryHeader {
  std::u16string Path;
  bool PathHasNul = false;
  std::uint32_t PackedSize = 0;
  std::uint32_t UnpackedSize = 0;
};

// Header texts are read up to their NUL, bounded by their field.
PayloadHeader DecodePayloadHeader(const std::uint8_t bytes[kPayloadHeaderSize]);
// False (naming the field) when a text does not fit its field with its NUL.
bool EncodePayloadHeader(const PayloadHeader& header, std::uint8_t out[kPayloadHeaderSize],
                         std::string* error);

PayloadEntryHeader DecodeEntryHeader(const std::uint8_t bytes[kPayloadEntryHeaderSize]);
bool EncodeEntryHeader(const PayloadEntryHeader& entry, std::uint8_t out[kPayloadEntryHeaderSize]);

// A relative path the installer may write below its target folder: parts
// split by "\", none empty, "." or "..", none holding / : * ? " < > | or a
// control character, ending in a dot or blank, or naming a device.
bool IsSafeRelativePath(const std::u16string& path);
bool IsSafePathPart(const std::u16string& part);

// What the bookkeeper made: the database and the settings file (the
// settlement mode decides every list and report). An existing one is never
// replaced by the one the payload ships.
bool IsKeptWhenPresent(const std::u16string& path);

// "folder\path" with exactly one separator between them.
std::u16string JoinPath(const std::u16string& folder, const std::u16string& path);
// True when full lies strictly below folder (case-insensitive for ASCII
// letters, as Windows compares names).
bool IsBelowFolder(const std::u16string& full, const std::u16string& folder);

struct PayloadFile {
  PayloadEntryHeader header;
  std::vector<std::uint8_t> data;
  std::uint64_t packed_sum;  // PackedSize of this entry and all before it
};

struct Payload {
  PayloadHeader header;
  std::vector<PayloadFile> files;
  std::uint64_t size = 0;  // header, entry headers and packed bytes
};

// The folders below the target that the entries are written into, each
// after the folders that hold it ("A", "A\B", ...), without repeats.
std::vector<std::u16string> PayloadFolders(const Payload& payload);
// The product folder: the first part of the first entry's path, or empty
// when that entry lies in the target folder itself.
std::u16string ProductFolder(const Payload& payload);

// Reads and checks a whole payload (the bytes from kPayloadOffset to the end
// of the file): the header's paths and names, every entry header, every
// decode. False with a short English reason on the first fault; nothing of a
// refused payload is to be written.
bool ReadPayload(const std::uint8_t* data, std::size_t size, Payload* out, std::string* error);

// The trailer for these payload bytes.
void EncodePayloadTrailer(const std::uint8_t* payload, std::size_t size,
                          std::uint8_t out[kPayloadTrailerSize]);
// The installer's tail, from kPayloadTrailerOffset to the end of its file:
// false with a reason when it is shorter than the trailer, the tag is
// missing or the digest is not that of the bytes behind the trailer.
bool CheckPayloadDigest(const std::uint8_t* tail, std::size_t size, std::string* error);
// What the installer installs from: the digest checked, then ReadPayload on
// the bytes behind the trailer.
bool ReadCheckedPayload(const std::uint8_t* tail, std::size_t size, Payload* out, std::string* error);

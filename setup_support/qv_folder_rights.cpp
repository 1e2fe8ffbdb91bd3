#include "qv_folder_rights.h"

#include <cstring>

namespace {

// The self-relative security descriptor: revision, padding, control, then
// the offsets of owner, group, SACL and DACL from its start (0: none).
constexpr std::size_t kDescriptorSize = 20;
constexpr std::size_t kControlAt = 2, kOwnerAt = 4, kDaclAt = 16;
constexpr std::uint16_t kDaclPresent = 0x0004, kSelfRelative = 0x8000;

// A SID: revision 1, the count of sub-authorities (at most 15), a 48-bit
// big-endian authority, then the sub-authorities, 32 bits each.
constexpr std::size_t kSidHeader = 8;
constexpr std::uint8_t kMaxSubAuthorities = 15;

// An ACL: revision, padding, its size in bytes, its entry count, padding.
// Each entry: type, flags, its size in bytes, then the access mask; the
// SID follows the mask, or in object entries a flags word and the GUIDs
// it announces.
constexpr std::size_t kAclHeader = 8, kAceHeader = 4, kMaskAt = 4, kSidAt = 8;
constexpr std::size_t kObjectFlagsAt = 8, kObjectSidAt = 12, kGuidSize = 16;
constexpr std::uint8_t kInheritOnly = 0x08;

enum AceType : std::uint8_t {
  kAllowed = 0x00,
  kAllowedCompound = 0x04,
  kAllowedObject = 0x05,
  kAllowedCallback = 0x09,
  kAllowedCallbackObject = 0x0B,
  // 0x01 to 0x15 less the above deny, audit, alarm or label; beyond, unknown.
  kLastKnown = 0x15,
};

// Generic rights as they are mapped for files and folders.
constexpr std::uint32_t kGenericRead = 0x80000000, kGenericWrite = 0x40000000;
constexpr std::uint32_t kGenericExecute = 0x20000000, kGenericAll = 0x10000000;
constexpr std::uint32_t kFileGenericRead = 0x120089, kFileGenericWrite = 0x120116;
constexpr std::uint32_t kFileGenericExecute = 0x1200a0, kFileAllAccess = 0x1f01ff;

constexpr std::uint32_t kDeleteChild = 0x40, kDelete = 0x10000, kWriteDac = 0x40000, kWriteOwner = 0x80000;

std::uint32_t Forbidden(QvFolderPlace place) {
  switch (place) {
    case QvFolderPlace::kTarget:
      return ~(kFileGenericRead | kFileGenericExecute);
    case QvFolderPlace::kAbove:
      return kDeleteChild | kWriteDac | kWriteOwner | kDelete;
    case QvFolderPlace::kRoot:
      break;
  }
  return kDeleteChild | kWriteDac | kWriteOwner;
}

std::uint32_t MapGeneric(std::uint32_t mask) {
  static const struct {
    std::uint32_t generic, file;
  } kMap[] = {{kGenericRead, kFileGenericRead},
              {kGenericWrite, kFileGenericWrite},
              {kGenericExecute, kFileGenericExecute},
              {kGenericAll, kFileAllAccess}};
  for (const auto& m : kMap)
    if (mask & m.generic) mask = (mask & ~m.generic) | m.file;
  return mask;
}

// The bytes handed in, every read bounded by their end.
struct Bytes {
  const std::uint8_t* data;
  std::size_t size;
  bool Has(std::size_t at, std::size_t n) const { return at <= size && n <= size - at; }
  std::uint16_t U16(std::size_t at) const { return static_cast<std::uint16_t>(data[at] | data[at + 1] << 8); }
  std::uint32_t U32(std::size_t at) const {
    return static_cast<std::uint32_t>(data[at]) | static_cast<std::uint32_t>(data[at + 1]) << 8 |
           static_cast<std::uint32_t>(data[at + 2]) << 16 | static_cast<std::uint32_t>(data[at + 3]) << 24;
  }
  // The size of the SID at `at` when it is whole within `end`; 0 otherwise.
  std::size_t SidSize(std::size_t at, std::size_t end) const {
    if (end > size || !Has(at, kSidHeader) || at + kSidHeader > end) return 0;
    const std::uint8_t count = data[at + 1];
    const std::size_t length = kSidHeader + 4u * count;
    if (data[at] != 1 || count > kMaxSubAuthorities || at + length > end) return 0;
    return length;
  }
};

// S-1-5-18 the system, S-1-5-32-544 the administrators, S-1-5-80-... the
// service that owns the system's own files.
const std::uint8_t kSystemSid[] = {1, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0};
const std::uint8_t kAdministratorsSid[] = {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 2, 0, 0};
const std::uint8_t kTrustedInstallerSid[] = {1,    6,    0,    0,    0,    0,    0,    5,    80,   0,
                                             0,    0,    0xb5, 0x89, 0xfb, 0x38, 0x19, 0x84, 0xc2, 0xcb,
                                             0x5c, 0x6c, 0x23, 0x6d, 0x57, 0x00, 0x77, 0x6e, 0xc0, 0x02,
                                             0x64, 0x87};

struct Trusted {
  const std::uint8_t* user;
  std::size_t user_size;
  bool Is(const std::uint8_t* sid, std::size_t size) const {
    const auto same = [&](const std::uint8_t* known, std::size_t known_size) {
      return size == known_size && std::memcmp(sid, known, size) == 0;
    };
    return same(kSystemSid, sizeof kSystemSid) || same(kAdministratorsSid, sizeof kAdministratorsSid) ||
           same(kTrustedInstallerSid, sizeof kTrustedInstallerSid) || (user && same(user, user_size));
  }
};

// Where the entry's SID starts, counted from the entry; 0 when the entry
// carries none that can be read.
std::size_t AceSidAt(const Bytes& b, std::size_t ace, std::size_t ace_size, std::uint8_t type) {
  if (type == kAllowed || type == kAllowedCallback) return kSidAt;
  if (ace_size < kObjectSidAt) return 0;
  const std::uint32_t flags = b.U32(ace + kObjectFlagsAt);
  return kObjectSidAt + ((flags & 1) ? kGuidSize : 0) + ((flags & 2) ? kGuidSize : 0);
}

QvFolderVerdict JudgeDacl(const Bytes& b, std::size_t acl, std::uint32_t forbidden, const Trusted& trusted) {
  if (!b.Has(acl, kAclHeader)) return QvFolderVerdict::kUnreadable;
  const std::size_t acl_size = b.U16(acl + 2);
  const std::size_t count = b.U16(acl + 4);
  if (acl_size < kAclHeader || !b.Has(acl, acl_size)) return QvFolderVerdict::kUnreadable;
  const std::size_t end = acl + acl_size;
  std::size_t ace = acl + kAclHeader;
  for (std::size_t i = 0; i < count; ++i) {
    if (ace + kAceHeader > end) return QvFolderVerdict::kUnreadable;
    const std::uint8_t type = b.data[ace], flags = b.data[ace + 1];
    const std::size_t ace_size = b.U16(ace + 2);
    if (ace_size < kAceHeader || ace + ace_size > end) return QvFolderVerdict::kUnreadable;
    const bool allows = type == kAllowed || type == kAllowedObject || type == kAllowedCallback ||
                        type == kAllowedCallbackObject;
    if (!(flags & kInheritOnly)) {
      // An entry that may allow and cannot be read is counted as allowing.
      if (type == kAllowedCompound || type > kLastKnown) return QvFolderVerdict::kOthersMayChange;
      if (allows) {
        if (ace_size < kSidAt) return QvFolderVerdict::kUnreadable;
        const std::size_t sid_at = AceSidAt(b, ace, ace_size, type);
        const std::size_t sid_size = sid_at ? b.SidSize(ace + sid_at, ace + ace_size) : 0;
        if (sid_size == 0) return QvFolderVerdict::kUnreadable;
        if ((MapGeneric(b.U32(ace + kMaskAt)) & forbidden) && !trusted.Is(b.data + ace + sid_at, sid_size))
          return QvFolderVerdict::kOthersMayChange;
      }
    }
    ace += ace_size;
  }
  return QvFolderVerdict::kGuarded;
}

}  // namespace

QvFolderVerdict QvJudgeFolderSecurity(const std::uint8_t* descriptor, std::size_t size, QvFolderPlace place,
                                      const std::uint8_t* user_sid, std::size_t user_sid_size) {
  const Bytes b{descriptor, descriptor ? size : 0};
  if (!b.Has(0, kDescriptorSize) || b.data[0] != 1 || !(b.U16(kControlAt) & kSelfRelative))
    return QvFolderVerdict::kUnreadable;
  const Trusted trusted{user_sid, user_sid_size};
  const std::size_t owner = b.U32(kOwnerAt);
  const std::size_t owner_size = owner ? b.SidSize(owner, b.size) : 0;
  if (owner_size == 0) return QvFolderVerdict::kUnreadable;
  if (!trusted.Is(b.data + owner, owner_size)) return QvFolderVerdict::kForeignOwner;
  const std::size_t dacl = b.U32(kDaclAt);
  if (!(b.U16(kControlAt) & kDaclPresent) || dacl == 0) return QvFolderVerdict::kNoDacl;
  return JudgeDacl(b, dacl, Forbidden(place), trusted);
}

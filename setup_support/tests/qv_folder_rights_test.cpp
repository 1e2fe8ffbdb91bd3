#include "qv_folder_rights.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes* b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b->push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// S-1-5-sub...
Bytes Sid(std::initializer_list<std::uint32_t> subs) {
  Bytes b = {1, static_cast<std::uint8_t>(subs.size()), 0, 0, 0, 0, 0, 5};
  for (std::uint32_t s : subs) Put32(&b, s);
  return b;
}
// S-1-1-0
Bytes Everyone() { return {1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}; }
const Bytes kSystem = Sid({18}), kAdmins = Sid({32, 544}), kUsers = Sid({32, 545}), kAuthenticated = Sid({11});
const Bytes kInstaller = Sid({80, 956008885, 3418522649u, 1831038044, 1853292631, 2271478464u});
const Bytes kUser = Sid({21, 1, 2, 3, 1000}), kOtherUser = Sid({21, 1, 2, 3, 1001});
// S-1-15-2-1 and S-1-3-0.
const Bytes kAppPackages = {1, 2, 0, 0, 0, 0, 0, 15, 2, 0, 0, 0, 1, 0, 0, 0};
const Bytes kCreatorOwner = {1, 1, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0};

struct Ace {
  std::uint8_t type, flags;
  std::uint32_t mask;
  Bytes sid;
};
constexpr std::uint8_t kOICI = 0x03, kInheritOnly = 0x08;

// A self-relative descriptor; no_dacl leaves the DACL out, null_dacl marks
// it present without one.
Bytes Descriptor(const Bytes& owner, const std::vector<Ace>& aces, bool no_dacl = false, bool null_dacl = false) {
  Bytes acl = {2, 0, 0, 0, static_cast<std::uint8_t>(aces.size()), 0, 0, 0};
  for (const Ace& ace : aces) {
    Bytes body;
    Put32(&body, ace.mask);
    if (ace.type == 0x05 || ace.type == 0x0B) Put32(&body, 1), body.insert(body.end(), 16, 0xAB);
    body.insert(body.end(), ace.sid.begin(), ace.sid.end());
    const std::size_t size = 4 + body.size();
    acl.insert(acl.end(), {ace.type, ace.flags, static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size >> 8)});
    acl.insert(acl.end(), body.begin(), body.end());
  }
  acl[2] = static_cast<std::uint8_t>(acl.size());
  acl[3] = static_cast<std::uint8_t>(acl.size() >> 8);
  const std::uint16_t control = 0x8000 | (no_dacl ? 0 : 0x0004);
  Bytes d = {1, 0, static_cast<std::uint8_t>(control), static_cast<std::uint8_t>(control >> 8)};
  Put32(&d, 20);                                                                   // owner
  Put32(&d, 0);                                                                    // group
  Put32(&d, 0);                                                                    // SACL
  Put32(&d, no_dacl || null_dacl ? 0 : static_cast<std::uint32_t>(20 + owner.size()));  // DACL
  d.insert(d.end(), owner.begin(), owner.end());
  if (!no_dacl && !null_dacl) d.insert(d.end(), acl.begin(), acl.end());
  return d;
}

QvFolderVerdict Judge(const Bytes& d, QvFolderPlace place) {
  return QvJudgeFolderSecurity(d.data(), d.size(), place, kUser.data(), kUser.size());
}

constexpr QvFolderPlace kPlaces[] = {QvFolderPlace::kTarget, QvFolderPlace::kAbove, QvFolderPlace::kRoot};

// The folders as Windows and Wine lay them out.
TEST(FolderRights, ProgramFilesPassesAndAFolderEveryoneMayChangeDoesNot) {
  // TrustedInstaller's Program Files: the system and the administrators may
  // modify, users and application packages read and run, CREATOR OWNER
  // only for what is made below.
  const Bytes program_files = Descriptor(
      kInstaller, {{0, 0, 0x1f01ff, kInstaller}, {0, kOICI | kInheritOnly, 0x10000000, kInstaller},
                   {0, 0, 0x1301bf, kSystem}, {0, 0, 0x1301bf, kAdmins},
                   {0, kOICI, 0x1200a9, kUsers}, {0, kOICI, 0x1200a9, kAppPackages},
                   {0, kOICI | kInheritOnly, 0x10000000, kCreatorOwner}});
  // C:\ lets the authenticated users make folders, and modify below.
  const Bytes system_root = Descriptor(
      kSystem, {{0, kOICI, 0x1f01ff, kAdmins}, {0, 0, 0x4, kAuthenticated},
                {0, kOICI | kInheritOnly, 0xe0010000, kAuthenticated}, {0, kOICI, 0x1200a9, kUsers}});
  // Wine reads a folder's Unix mode back: 0755 and 0777.
  const Bytes wine_755 = Descriptor(kUser, {{0, kOICI, 0x1f01ff, kSystem}, {0, kOICI, 0x1f01ff, kUser},
                                            {0, kOICI, 0x1200a9, Everyone()}});
  const Bytes wine_777 = Descriptor(kUser, {{0, kOICI, 0x1f01ff, kSystem}, {0, kOICI, 0x1f01ff, kUser},
                                            {0, kOICI, 0x1301ff, Everyone()}});
  for (QvFolderPlace place : kPlaces) {
    EXPECT_EQ(QvFolderVerdict::kGuarded, Judge(program_files, place));
    EXPECT_EQ(QvFolderVerdict::kGuarded, Judge(wine_755, place));
    EXPECT_EQ(QvFolderVerdict::kOthersMayChange, Judge(wine_777, place));
  }
  EXPECT_EQ(QvFolderVerdict::kGuarded, Judge(system_root, QvFolderPlace::kRoot));
  // A data drive's root gives the authenticated users Modify, whose DELETE
  // means nothing on a root but lets a folder made in Explorer below it be
  // renamed away.
  const Bytes modify = Descriptor(kAdmins, {{0, kOICI, 0x1f01ff, kAdmins}, {0, kOICI, 0x1301bf, kAuthenticated}});
  EXPECT_EQ(QvFolderVerdict::kGuarded, Judge(modify, QvFolderPlace::kRoot));
  EXPECT_EQ(QvFolderVerdict::kOthersMayChange, Judge(modify, QvFolderPlace::kAbove));
  EXPECT_EQ(QvFolderVerdict::kOthersMayChange, Judge(modify, QvFolderPlace::kTarget));
}

TEST(FolderRights, OwnerDaclEntryKindsAndGenericRights) {
  const std::vector<Ace> fine = {{0, kOICI, 0x1f01ff, kAdmins}};
  EXPECT_EQ(QvFolderVerdict::kForeignOwner, Judge(Descriptor(kOtherUser, fine), QvFolderPlace::kTarget));
  EXPECT_EQ(QvFolderVerdict::kNoDacl, Judge(Descriptor(kAdmins, fine, false, true), QvFolderPlace::kTarget));
  EXPECT_EQ(QvFolderVerdict::kNoDacl, Judge(Descriptor(kAdmins, fine, true), QvFolderPlace::kTarget));
  // An inherit-only entry does not apply to the folder itself; a deny entry
  // is not weighed.
  EXPECT_EQ(QvFolderVerdict::kGuarded,
            Judge(Descriptor(kAdmins, {{0, kOICI | kInheritOnly, 0x1f01ff, kOtherUser}, {1, 0, 0x1f01ff, kOtherUser}}),
                  QvFolderPlace::kTarget));
  // Generic rights count as what they give on a file: GENERIC_ALL is all.
  EXPECT_EQ(QvFolderVerdict::kOthersMayChange,
            Judge(Descriptor(kAdmins, {{0, 0, 0x10000000, kUsers}}), QvFolderPlace::kRoot));
  EXPECT_EQ(QvFolderVerdict::kGuarded,
            Judge(Descriptor(kAdmins, {{0, 0, 0xa0000000, kUsers}}), QvFolderPlace::kTarget));
  EXPECT_EQ(QvFolderVerdict::kOthersMayChange,
            Judge(Descriptor(kAdmins, {{0, 0, 0x40000000, kUsers}}), QvFolderPlace::kTarget));
  // Object and callback (conditional) entries allow as well; an entry of a
  // kind that cannot be read is taken to.
  for (std::uint8_t type : {0x05, 0x09, 0x0B, 0x04, 0x30})
    EXPECT_EQ(QvFolderVerdict::kOthersMayChange,
              Judge(Descriptor(kAdmins, {{type, 0, 0x40, kOtherUser}}), QvFolderPlace::kRoot))
        << int{type};
  EXPECT_EQ(QvFolderVerdict::kGuarded,
            Judge(Descriptor(kAdmins, {{0x0B, 0, 0x40, kUser}}), QvFolderPlace::kRoot));
}

// Every cut of a whole descriptor is refused, and nothing is read beyond it.
TEST(FolderRights, ACutDescriptorIsNeverGuarded) {
  const Bytes whole = Descriptor(kAdmins, {{0, kOICI, 0x1f01ff, kAdmins}, {0x05, 0, 0x1200a9, kUsers}});
  ASSERT_EQ(QvFolderVerdict::kGuarded, Judge(whole, QvFolderPlace::kTarget));
  for (std::size_t n = 0; n < whole.size(); ++n) {
    const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_NE(QvFolderVerdict::kGuarded, Judge(cut, QvFolderPlace::kTarget)) << n;
  }
  EXPECT_EQ(QvFolderVerdict::kUnreadable, QvJudgeFolderSecurity(nullptr, 20, QvFolderPlace::kTarget, nullptr, 0));
}

}  // namespace

#include "uninstall_record.h"
#include "utf16_field.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

TEST(UninstallRecord, FieldsLieAtTheirOffsetsZeroAfterEachNul) {
  UninstallRecord r{u"Zuzaror", u"UserData\\", u"Zuzaror", u"开始菜单"};
  std::vector<std::uint8_t> bytes(kUninstallRecordSize, 0xCC);
  EncodeUninstallRecord(r, bytes.data());
  EXPECT_EQ(ReadUtf16Field(&bytes[0], 50), u"Zuzaror");
  EXPECT_EQ(ReadUtf16Field(&bytes[100], 50), u"UserData\\");
  EXPECT_EQ(ReadUtf16Field(&bytes[200], 50), u"Zuzaror");
  EXPECT_EQ(bytes[300], 0x00);  // 开 is U+5F00, little-endian
  EXPECT_EQ(bytes[301], 0x5F);
  for (std::size_t i = 14; i < 100; ++i) EXPECT_EQ(bytes[i], 0) << i;
  for (std::size_t i = 308; i < 360; ++i) EXPECT_EQ(bytes[i], 0) << i;

  UninstallRecord back;
  ASSERT_TRUE(DecodeUninstallRecord(bytes.data(), bytes.size(), &back));
  EXPECT_EQ(back.KeyName, r.KeyName);
  EXPECT_EQ(back.UserDataFolder, r.UserDataFolder);
  EXPECT_EQ(back.ShortcutName, r.ShortcutName);
  EXPECT_EQ(back.StartMenuFolder, r.StartMenuFolder);
}

TEST(UninstallRecord, LongTextsAreCutAndFieldsWithoutNulReadBounded) {
  UninstallRecord r{std::u16string(80, u'k'), u"", u"", std::u16string(40, u's')};
  std::uint8_t bytes[kUninstallRecordSize];
  EncodeUninstallRecord(r, bytes);
  UninstallRecord back;
  ASSERT_TRUE(DecodeUninstallRecord(bytes, sizeof bytes, &back));
  EXPECT_EQ(back.KeyName, std::u16string(kUninstallRecordNameChars, u'k'));
  EXPECT_EQ(back.StartMenuFolder, std::u16string(kUninstallRecordFolderChars, u's'));

  // A damaged record: no NUL anywhere. Each field stops at its own end.
  std::memset(bytes, 'A', sizeof bytes);
  ASSERT_TRUE(DecodeUninstallRecord(bytes, sizeof bytes, &back));
  EXPECT_EQ(back.KeyName.size(), 50u);
  EXPECT_EQ(back.StartMenuFolder.size(), 30u);

  EXPECT_FALSE(DecodeUninstallRecord(bytes, sizeof bytes - 1, &back));
  EXPECT_FALSE(DecodeUninstallRecord(nullptr, sizeof bytes, &back));
}

TEST(UninstallRecord, OnlyTheFinalExeBecomesDat) {
  EXPECT_EQ(UninstallRecordPathFor(u"C:\\P\\Zuzaror\\Zodadira.exe"), u"C:\\P\\Zuzaror\\Zodadira.dat");
  EXPECT_EQ(UninstallRecordPathFor(u"C:\\x.exe\\Zuzaror\\Zodadira.exe"),
            u"C:\\x.exe\\Zuzaror\\Zodadira.dat");
  EXPECT_EQ(UninstallRecordPathFor(u"C:\\P\\Zodadira"), u"C:\\P\\Zodadira.dat");
}

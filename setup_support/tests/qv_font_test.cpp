#include "qv_font.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "qv_utils.h"

namespace {

LOGFONTW Describe(HFONT font) {
  LOGFONTW logfont = {};
  EXPECT_EQ(static_cast<int>(sizeof logfont), GetObjectW(font, sizeof logfont, &logfont));
  return logfont;
}

tagQvFontItem Key(const wchar_t* face, int height, int bold, int underline) {
  tagQvFontItem key = {};
  wcsncpy(key.face, face, 49);
  key.height = height;
  key.bold = bold;
  key.underline = underline;
  return key;
}

TEST(QvFont, SameRequestSameFontAndEachStyleItsOwn) {
  CQvFont cache;
  HFONT plain = cache.GetFont(14, L"Arial", false, false);
  ASSERT_NE(nullptr, plain);
  EXPECT_EQ(plain, cache.GetFont(14, L"Arial", false, false));
  EXPECT_EQ(plain, cache.GetFont(14, L"Arial", false)) << "the form without underline";
  EXPECT_EQ(1u, cache.GetCount());

  HFONT underlined = cache.GetFont(14, L"Arial", false, true);
  HFONT bold = cache.GetFont(14, L"Arial", true, false);
  HFONT larger = cache.GetFont(16, L"Arial", false, false);
  HFONT other_face = cache.GetFont(14, L"Tahoma", false, false);
  // The face is compared case-sensitively.
  HFONT other_case = cache.GetFont(14, L"arial", false, false);
  std::vector<HFONT> fonts = {plain, underlined, bold, larger, other_face, other_case};
  for (std::size_t i = 0; i < fonts.size(); ++i)
    for (std::size_t j = i + 1; j < fonts.size(); ++j) EXPECT_NE(fonts[i], fonts[j]) << i << j;
  EXPECT_EQ(6u, cache.GetCount());
  EXPECT_EQ(underlined, cache.GetFont(14, L"Arial", false, true));
  EXPECT_EQ(6u, cache.GetCount());
}

TEST(QvFont, FontCarriesTheRequestedStyleOnTheGuiFontsSettings) {
  CQvFont cache;
  LOGFONTW gui = {};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
  const int expected_height = CQvFont::HeightFor(20, isWin8() != 0);

  LOGFONTW bold = Describe(cache.GetFont(20, L"Arial", true, false));
  EXPECT_EQ(expected_height, bold.lfHeight);
  EXPECT_EQ(FW_BOLD, bold.lfWeight);
  EXPECT_EQ(0, bold.lfUnderline);
  EXPECT_EQ(0, bold.lfItalic);
  EXPECT_STREQ(L"Arial", bold.lfFaceName);
  EXPECT_EQ(gui.lfCharSet, bold.lfCharSet);
  EXPECT_EQ(gui.lfQuality, bold.lfQuality);
  EXPECT_EQ(gui.lfPitchAndFamily, bold.lfPitchAndFamily);

  LOGFONTW underlined = Describe(cache.GetFont(20, L"Arial", false, true));
  EXPECT_EQ(FW_NORMAL, underlined.lfWeight);
  EXPECT_EQ(1, underlined.lfUnderline);
}

TEST(QvFont, HeightIsTheSizeLessSixOnWindows8Only) {
  EXPECT_EQ(12, CQvFont::HeightFor(18, true));
  EXPECT_EQ(18, CQvFont::HeightFor(18, false));
  EXPECT_EQ(8, CQvFont::HeightFor(14, true));

  // The default size is reported as chosen, before the adjustment, while
  // the font made for it has the adjusted height.
  CQvFont cache;
  const int size = cache.GetDefaultSize();
  EXPECT_EQ(CQvFont::IsFontInstalled(kQvPreferredFace) ? 18 : 12, size);
  LOGFONTW made = Describe(cache.GetFont(size, nullptr, false, false));
  EXPECT_EQ(isWin8() ? size - 6 : size, made.lfHeight);
  EXPECT_EQ(size, cache.GetDefaultSize());
}

TEST(QvFont, NullFaceIsTheDefaultFace) {
  CQvFont cache;
  const std::wstring face = cache.GetDefaultFace();
  EXPECT_EQ(CQvFont::IsFontInstalled(kQvPreferredFace) ? kQvPreferredFace : kQvFallbackFace,
            face);
  HFONT by_default = cache.GetFont(12, nullptr, false, false);
  EXPECT_EQ(by_default, cache.GetFont(12, face.c_str(), false, false));
  EXPECT_EQ(1u, cache.GetCount());
}

TEST(QvFont, LongFacesAreKeyedOnTheirFirst49Characters) {
  CQvFont cache;
  std::wstring stem(49, L'x');
  HFONT first = cache.GetFont(12, (stem + L"A").c_str(), false, false);
  EXPECT_EQ(first, cache.GetFont(12, (stem + L"B").c_str(), false, false));
  EXPECT_NE(first, cache.GetFont(12, stem.substr(0, 48).c_str(), false, false));
}

TEST(QvFont, LookupAndCreationStepsStandAlone) {
  CQvFont cache;
  tagQvFontItem key = Key(L"Arial", 22, 1, 0);
  EXPECT_EQ(nullptr, cache.FindFont(key));
  HFONT made = cache.MakeFont(key);
  ASSERT_NE(nullptr, made);
  EXPECT_EQ(0u, cache.GetCount()) << "a font made directly is the caller's";
  EXPECT_EQ(22, Describe(made).lfHeight);
  DeleteObject(made);

  HFONT cached = cache.GetFont(isWin8() ? 28 : 22, L"Arial", true, false);
  EXPECT_EQ(cached, cache.FindFont(key));
  key.italic = 1;
  EXPECT_EQ(nullptr, cache.FindFont(key));
}

TEST(QvFont, InstanceIsOneObject) {
  CQvFont& first = CQvFont::Instance();
  EXPECT_EQ(&first, &CQvFont::Instance());
  HFONT font = first.GetFont(first.GetDefaultSize(), nullptr, false, false);
  EXPECT_NE(nullptr, font);
  EXPECT_EQ(font, CQvFont::Instance().GetFont(first.GetDefaultSize(), nullptr, false));
}

TEST(QvFont, OnlyThePreferredFaceIsLookedForAndEitherFileCounts) {
  EXPECT_FALSE(CQvFont::IsFontInstalled(L"Arial"));
  EXPECT_FALSE(CQvFont::IsFontInstalled(L"Tahoma"));
  EXPECT_FALSE(CQvFont::IsFontInstalled(nullptr));

  wchar_t fonts[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, fonts, CSIDL_FONTS, FALSE));
  const std::wstring ttf = std::wstring(fonts) + L"\\msyh.ttf";
  const std::wstring ttc = std::wstring(fonts) + L"\\msyh.ttc";
  if (GetFileAttributesW(ttf.c_str()) != INVALID_FILE_ATTRIBUTES ||
      GetFileAttributesW(ttc.c_str()) != INVALID_FILE_ATTRIBUTES) {
    EXPECT_TRUE(CQvFont::IsFontInstalled(kQvPreferredFace));
    GTEST_SKIP() << "the preferred font is really installed here";
  }
  EXPECT_FALSE(CQvFont::IsFontInstalled(kQvPreferredFace));
  // A placeholder file is enough: only its presence is looked at.
  for (const std::wstring& path : {ttc, ttf}) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    EXPECT_TRUE(CQvFont::IsFontInstalled(kQvPreferredFace));
    EXPECT_FALSE(CQvFont::IsFontInstalled(L"Arial"));
    DeleteFileW(path.c_str());
    EXPECT_FALSE(CQvFont::IsFontInstalled(kQvPreferredFace));
  }
}

TEST(QvFont, TearingDownTheCacheDeletesEveryFont) {
  const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  std::vector<HFONT> fonts;
  {
    CQvFont cache;
    for (int size = 8; size < 108; ++size)
      for (int style = 0; style < 4; ++style)
        fonts.push_back(cache.GetFont(size, L"Arial", style & 1, (style & 2) != 0));
    // Asking again makes nothing new.
    for (int size = 8; size < 108; ++size) cache.GetFont(size, L"Arial", false, false);
    EXPECT_EQ(400u, cache.GetCount());
    for (HFONT font : fonts) ASSERT_EQ(static_cast<DWORD>(OBJ_FONT), GetObjectType(font));
  }
  for (HFONT font : fonts) ASSERT_EQ(0u, GetObjectType(font));
  const DWORD after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (before == 0) {
    std::printf("GetGuiResources reports no GDI objects here; the count is not compared\n");
  } else {
    EXPECT_EQ(before, after);
  }
}

}  // namespace

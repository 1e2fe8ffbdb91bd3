// The parts of the system and file utilities that are plain text work: they
// need no Windows API, so they are built and tested on every platform.
#pragma once

#include <cstddef>

// Platform ids of the Windows version record.
enum QvPlatform { kQvPlatformWin9x = 1, kQvPlatformNt = 2 };

// The short operating-system name for a version record ("XP" when no row of
// the table fits).
const wchar_t* QvOsNameFor(int platform, unsigned major, unsigned minor);
int QvIsWin7For(int platform, unsigned major);
int QvIsWin8For(int platform, unsigned major, unsigned minor);

// Cuts a full program path after its last backslash (the backslash stays);
// a path without one is left unchanged.
void QvCutAfterLastBackslash(wchar_t* path);

// A quoted command line becomes the lower-case folder of its .exe.
void ExtractPath(wchar_t* text);

// 1 when a is the higher version, -1 when lower, 0 when equal, -2 when either
// text is empty or absent.
int CompVersion(const wchar_t* a, const wchar_t* b);

// Needs room for kQvSizeTextChars characters.
constexpr std::size_t kQvSizeTextChars = 32;
void IntToStrSize(long long bytes, wchar_t* out);
long long StrToIntSize(const wchar_t* text);

// Escapes in place; text has room for kQvUrlChars characters. 0 (text
// unchanged) when the escaped text would not fit.
constexpr std::size_t kQvUrlChars = 1024;
int URLEncode(wchar_t* text);

// Links, by the attributes and the reparse tag that a file search reports:
// junctions, symbolic links and every other tag with the name-surrogate
// bit, which says that the reparse point names another place. Other
// reparse points (cloud placeholders, deduplicated files) are ordinary
// files and folders; one whose tag the search leaves 0, which no reparse
// point has, may lead anywhere and counts as a link.
constexpr unsigned long kQvReparsePointAttribute = 0x400;
constexpr unsigned long kQvMountPointTag = 0xA0000003;
constexpr unsigned long kQvSymbolicLinkTag = 0xA000000C;
constexpr unsigned long kQvNameSurrogateTagBit = 0x20000000;
bool QvIsLinkReparseTag(unsigned long attributes, unsigned long reparse_tag);

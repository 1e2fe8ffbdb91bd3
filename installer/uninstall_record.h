// The record the installer leaves beside the uninstaller: which Uninstall
// key, desktop shortcut and start-menu folder belong to the installation.
// 360 bytes, four UTF-16LE fields, each ending in a NUL and zero after it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr std::size_t kUninstallRecordSize = 360;

struct UninstallRecord {
  std::u16string KeyName;          // the Uninstall key's name
  std::u16string UserDataFolder;   // kept for the record's readers; unused
  std::u16string ShortcutName;     // desktop shortcut, without ".lnk"
  std::u16string StartMenuFolder;  // folder under the start menu's Programs
};

// Longest text each field holds (its units less the NUL).
constexpr std::size_t kUninstallRecordNameChars = 49;
constexpr std::size_t kUninstallRecordFolderChars = 29;

// A text too long for its field is cut to fit, as the installer's header
// fields already are; the bytes after each NUL are zero.
void EncodeUninstallRecord(const UninstallRecord& record, std::uint8_t out[kUninstallRecordSize]);

// False unless size is exactly the record's. A field without a NUL is read
// whole, never past its end.
bool DecodeUninstallRecord(const std::uint8_t* data, std::size_t size, UninstallRecord* out);

// The record's file path for an uninstaller path: only a final ".exe" is
// replaced by ".dat"; any other name gets ".dat" appended, so the record
// never lands on the uninstaller itself.
std::u16string UninstallRecordPathFor(const std::u16string& uninstaller_path);

// The installer's working state and the unpacking of its payload into the
// target folder, followed by the registration steps.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "payload.h"

// UTF-16 in the payload's strings and in the Win32 wide strings alike.
inline std::wstring ToWide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }
inline std::u16string ToU16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

// The statistics report, handed in so that the unpacking does not decide
// where reports go.
using InstallReportFn = void (*)(LPCWSTR type, LPCWSTR value);

class InstallContext {
 public:
  InstallContext();
  ~InstallContext();
  InstallContext(const InstallContext&) = delete;
  InstallContext& operator=(const InstallContext&) = delete;

  bool DoInstall();
  // Starts LaunchPath below the target folder; nothing before a completed
  // installation.
  void RunInstalledProgram();

  std::atomic<HWND> Window{nullptr};
  std::atomic<bool> StopFlag{false};
  std::wstring LaunchPath;    // written by the install thread at its end
  std::wstring TargetFolder;  // the folder picker's, fixed once installing
  InstallReportFn Report = nullptr;
  // Set when the payload was refused: nothing was written or started.
  std::atomic<bool> PayloadRefused{false};
  std::wstring Error;
  // Set when nothing was installed, registered or started: what the user is
  // told when the window closes.
  std::wstring Notice;
  // The file carrying the payload; empty means the running program's own.
  std::wstring SourceFile;
};

// The payload header of the running program's file. False when the file
// cannot be read; the header is then empty.
bool ReadPayloadHeader(PayloadHeader* header);

// The running program's path; false (never a cut path) when it does not fit.
bool GetOwnProgramPath(std::wstring* path);

// Creates the missing folders of an entry's folder part below the target;
// those it made are added to `made`, outermost first.
void CreatePathFolders(const std::wstring& entry_path, const InstallContext& context,
                       std::vector<std::wstring>* made = nullptr);


// The installation folder and every folder above it, made sure of before
// anything is written. The installer runs elevated and what it installs is
// started elevated: another user of the PC who may change the installation
// folder could replace a program in it, and one who may rename a folder
// above it could put a folder of their own, with their own programs, at its
// path once the installation is done.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "qv_handle.h"

// A full path as Windows resolves it; empty when it cannot.
std::wstring FullPath(const std::wstring& path);

// What the installer found at the installation folder, and did to it.
enum class InstallFolder {
  kMade,        // made now, only the administrators may change it
  kLeftAsItIs,  // there already, and no one else may change it
  // It or a folder above may be changed by another user, whatever it holds
  // (a record of ours too: whoever may change it may have put that there),
  // or that cannot be told (a network path, a drive that keeps no rights, a
  // folder that cannot be opened or read), or its path no longer leads to
  // the folder held: nothing may go there, and nothing of it is changed.
  kOthersMayChange,
  kNotMade,  // neither there nor made
};

// The folders from the drive's root down to the installation folder, each
// held without sharing its deletion, so that none can be renamed or removed
// until they are let go.
class InstallFolderHold {
 public:
  void Add(HANDLE folder) { folders_.push_back(std::make_unique<QvFileHandle>(folder)); }
  void Release() { folders_.clear(); }

 private:
  std::vector<std::unique_ptr<QvFileHandle>> folders_;
};

// Walks from the drive's root to `folder` along its real path, opening each
// folder by its name inside the one above, never through a link, and makes
// the installation folder there when it is missing. The files are written
// by their paths, which follow links: the walk ends by making sure that
// `folder`, so followed, is the folder held. A folder made is added to
// `made`; the folders walked stay held in `hold`. `named` gets the folder
// to name to the user. `held_all`, when given, is called once every folder
// is held, before that last look: a test's seam for what another user may
// do meanwhile.
InstallFolder PrepareInstallFolder(const std::wstring& folder, std::vector<std::wstring>* made,
                                   InstallFolderHold* hold, std::wstring* named,
                                   const std::function<void()>& held_all = nullptr);

// What makes an installation known after its files are in place: the
// Uninstall key, the shortcuts and the record beside the uninstaller.
#pragma once

#include "install_context.h"
#include "payload.h"

// False when KeyName is empty or the key cannot be created.
bool WriteUninstallKey(const InstallContext& context, const PayloadHeader& header);
void CreateShortcuts(const PayloadHeader& header, const InstallContext& context);
void WriteUninstallRecord(const PayloadHeader& header, const InstallContext& context);
// Where the record goes: beside the uninstaller.
std::wstring UninstallRecordFile(const PayloadHeader& header, const InstallContext& context);

// The Uninstall key's path below HKEY_LOCAL_MACHINE for a key name.
std::wstring UninstallKeyPath(const std::wstring& key_name);

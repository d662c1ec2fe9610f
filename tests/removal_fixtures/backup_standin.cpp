// Used only while the tree has no registry backup writer: keeps nothing and lets the
// deletion go on.
#include "base/RegistryBackup.h"

namespace tarnock {

bool BackupRegistryKey(const RegistryPlace&, const std::string&) { return true; }
bool BackupRegistryValue(const RegistryPlace&, const std::string&, const std::string&) { return true; }
std::wstring RegistryBackupFolder() { return {}; }

}  // namespace tarnock

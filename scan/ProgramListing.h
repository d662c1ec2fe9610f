// The two inventory listings of installed programs: all programs (category 5) and the
// programs that live in one folder (category 10). Rows go to the result list through
// IResultRows from whichever thread runs the scan; nothing else is touched.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/RegistryPlace.h"
#include "scan/InstallerProduct.h"
#include "scan/KelvoEngine.h"
#include "scan/ScanView.h"

namespace tarnock {

// Every uninstall entry with an uninstall command, without Microsoft's "KB" hotfixes and
// hidden system components, place by place in the order given; each row carries the
// PlaceText of its place, and its item value is the key's position in that place's
// enumeration. Returns -1 when the root cannot be opened in any place, else 0.
int ListAllPrograms(IResultRows& rows, const InstallerProductList& installerProducts,
                    const std::vector<RegistryPlace>& places = UninstallPlaces(), const char* path = kUninstallRoot);

// The entries whose uninstall command (or, for installer-driven uninstallers, install
// location) contains `folder`, which the caller has already lower-cased; places as above.
int ListProgramsInFolder(IResultRows& rows, const InstallerProductList& installerProducts, const std::string& folder,
                         const std::vector<RegistryPlace>& places = UninstallPlaces(),
                         const char* path = kUninstallRoot);

}  // namespace tarnock

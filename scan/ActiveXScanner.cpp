#include "scan/ActiveXScanner.h"

#include <string>

#include "base/RegistryManager.h"
#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "scan/KelvoEngine.h"
#include "scan/RegistryEnum.h"
#include "scan/ScanMetrics.h"

namespace tarnock {

int ListActiveXControls(IResultRows& rows, HKEY root, const char* path) {
    ScopedKey units;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, units.Put()) != ERROR_SUCCESS) return -1;
    const ScopedTimerResolution timerResolution;

    ForEachSubkey(units.Get(), [&](int index, const std::string& id) {
        if (rows.StopRequested()) return;
        int code = 0;
        const std::string name = TrimWhitespace(ReadRegistryText(HKEY_CLASSES_ROOT, "CLSID\\" + id, "", &code));
        if (code != kRegSuccess || name.empty()) return;
        // A missing value is empty rather than the text of an earlier read: the server
        // file is what the removal hands to the control cache.
        const std::string server = ReadRegistryText(HKEY_CLASSES_ROOT, "CLSID\\" + id + "\\InprocServer32", "");
        std::string bitmap = ReadRegistryText(HKEY_CLASSES_ROOT, "CLSID\\" + id + "\\ToolboxBitmap32", "");
        if (bitmap.empty()) bitmap = server;  // the control's own file is its icon source
        ScanPause();
        rows.AddListRow(name, id, server, bitmap, index);
    });
    return 0;
}

}  // namespace tarnock

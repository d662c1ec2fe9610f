#include "scan/ActiveXScanner.h"

#include <string>

#include "base/RegistryManager.h"
#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "scan/KelvoEngine.h"
#include "scan/RegistryEnum.h"
#include "scan/ScanMetrics.h"

namespace tarnock {

int ListActiveXControls(IResultRows& rows) { return ListActiveXControls(rows, MachinePlaces()); }

int ListActiveXControls(IResultRows& rows, const std::vector<RegistryPlace>& places, const char* path) {
    const ScopedTimerResolution timerResolution;
    int result = -1;
    for (const RegistryPlace& place : places) {
        ScopedKey units;
        if (RegOpenKeyExA(place.root, path, 0, KEY_READ | place.view, units.Put()) != ERROR_SUCCESS) continue;
        result = 0;
        // A control downloaded by the 32-bit browser registers its class in the 32-bit view.
        const RegistryPlace classes{HKEY_CLASSES_ROOT, place.view};
        const std::string placeText = PlaceText(place);
        ForEachSubkey(units.Get(), [&](int index, const std::string& id) {
            if (rows.StopRequested()) return;
            int code = 0;
            const std::string name = TrimWhitespace(ReadRegistryText(classes, "CLSID\\" + id, "", &code));
            if (code != kRegSuccess || name.empty()) return;
            // A missing value is empty rather than the text of an earlier read: the server
            // file is what the removal hands to the control cache.
            const std::string server = ReadRegistryText(classes, "CLSID\\" + id + "\\InprocServer32", "");
            std::string bitmap = ReadRegistryText(classes, "CLSID\\" + id + "\\ToolboxBitmap32", "");
            if (bitmap.empty()) bitmap = server;  // the control's own file is its icon source
            ScanPause();
            rows.AddListRow(name, id, server, bitmap, index, placeText);
        });
    }
    return result;
}

}  // namespace tarnock

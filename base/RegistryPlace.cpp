#include "base/RegistryPlace.h"

#include <iterator>

namespace tarnock {

namespace {

struct RootName {
    HKEY root;
    const char* text;
};
const RootName kRoots[] = {
    {HKEY_LOCAL_MACHINE, "HKLM"}, {HKEY_CURRENT_USER, "HKCU"}, {HKEY_USERS, "HKU"}, {HKEY_CLASSES_ROOT, "HKCR"},
};

}  // namespace

std::string PlaceText(const RegistryPlace& place) {
    for (const RootName& name : kRoots) {
        if (name.root != place.root) continue;
        std::string text = name.text;
        if (place.view & KEY_WOW64_64KEY) text += "64";
        else if (place.view & KEY_WOW64_32KEY) text += "32";
        return text;
    }
    return {};
}

bool ParsePlaceText(const std::string& text, RegistryPlace& place) {
    for (const RootName& name : kRoots) {
        const std::string prefix = name.text;
        if (text.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string rest = text.substr(prefix.size());
        REGSAM view = 0;
        if (rest == "64") view = KEY_WOW64_64KEY;
        else if (rest == "32") view = KEY_WOW64_32KEY;
        else if (!rest.empty()) continue;  // "HKU" must not be read as "HK" + "U..."
        place.root = name.root;
        place.view = view;
        return true;
    }
    return false;
}

}  // namespace tarnock

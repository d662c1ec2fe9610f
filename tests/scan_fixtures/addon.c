/* A stand-in add-on server. Its unregistration counts its calls in the current user's
   registry, and with ADDON_LOAD_MARKER its loading marks the same key, so that tests can
   see whether any of its code ran. */
#include <windows.h>

#ifndef ADDON_RESULT
#define ADDON_RESULT S_OK
#endif

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reserved;
#ifdef ADDON_LOAD_MARKER
    /* Being loaded as code at all leaves a mark: a scanner or remover must never do it. */
    if (reason == DLL_PROCESS_ATTACH) {
        HKEY key = NULL;
        DWORD loaded = 1;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\TarnockTests\\ScanAddon", 0, NULL, 0, KEY_ALL_ACCESS,
                            NULL, &key, NULL) == ERROR_SUCCESS) {
            RegSetValueExA(key, "Loaded", 0, REG_DWORD, (const BYTE*)&loaded, sizeof(loaded));
            RegCloseKey(key);
        }
    }
#else
    (void)reason;
#endif
    return TRUE;
}

#ifndef ADDON_NO_EXPORT
__declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer(void) {
    HKEY key = NULL;
    DWORD calls = 0;
    DWORD size = sizeof(calls);
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\TarnockTests\\ScanAddon", 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                        &key, NULL) != ERROR_SUCCESS)
        return E_FAIL;
    if (RegQueryValueExA(key, "UnregisterCalls", NULL, NULL, (BYTE*)&calls, &size) != ERROR_SUCCESS) calls = 0;
    ++calls;
    RegSetValueExA(key, "UnregisterCalls", 0, REG_DWORD, (const BYTE*)&calls, sizeof(calls));
    RegCloseKey(key);
    return ADDON_RESULT;
}
#endif

/* A stand-in add-on server. Its unregistration counts its calls in the current user's
   registry so that tests can see how often it ran. */
#include <windows.h>

#ifndef ADDON_RESULT
#define ADDON_RESULT S_OK
#endif

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
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

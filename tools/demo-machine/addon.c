/* A stand-in browser add-on or control file for the demo machine: a library that only
   carries a version resource and a do-nothing unregistration. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer(void) { return S_OK; }

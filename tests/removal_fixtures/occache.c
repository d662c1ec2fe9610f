/* Stand-in for the system's downloaded-program cache library: RemoveControlByName deletes
 * the control's class registration and its downloaded-program entry. */
#include <windows.h>
#include <stdio.h>

__declspec(dllexport) HRESULT WINAPI RemoveControlByName(LPCSTR file, LPCSTR classId, LPCSTR typeLib, BOOL force,
                                                         DWORD distributionUnit) {
    char path[512];
    (void)file;
    (void)typeLib;
    (void)force;
    (void)distributionUnit;
    if (classId == NULL || classId[0] == '\0' || strchr(classId, '\\') != NULL) return E_INVALIDARG;
    snprintf(path, sizeof(path), "CLSID\\%s", classId);
    RegDeleteTreeA(HKEY_CLASSES_ROOT, path);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, path);
    snprintf(path, sizeof(path), "SOFTWARE\\Microsoft\\Code Store Database\\Distribution Units\\%s", classId);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, path);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, path);
    return S_OK;
}

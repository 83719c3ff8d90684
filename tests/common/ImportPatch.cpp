#include "common/ImportPatch.h"

#include <cstring>

// The linker may give a DLL more than one import descriptor.
DWORD_PTR PatchImport(LPCSTR pszDll, LPCSTR pszFunction, const void* pfnNew)
{
    BYTE* pBase = reinterpret_cast<BYTE*>(::GetModuleHandleA(nullptr));
    const IMAGE_NT_HEADERS* pNt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        pBase + reinterpret_cast<IMAGE_DOS_HEADER*>(pBase)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = pNt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    DWORD_PTR dwOld = 0;
    for (const IMAGE_IMPORT_DESCRIPTOR* pDesc =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(pBase + imports.VirtualAddress);
         pDesc->Name; ++pDesc) {
        if (lstrcmpiA(reinterpret_cast<LPCSTR>(pBase + pDesc->Name), pszDll) != 0)
            continue;
        const IMAGE_THUNK_DATA* pName =
            reinterpret_cast<const IMAGE_THUNK_DATA*>(pBase + pDesc->OriginalFirstThunk);
        IMAGE_THUNK_DATA* pAddress = reinterpret_cast<IMAGE_THUNK_DATA*>(pBase + pDesc->FirstThunk);
        for (; pName->u1.AddressOfData; ++pName, ++pAddress) {
            if (IMAGE_SNAP_BY_ORDINAL(pName->u1.Ordinal))
                continue;
            const IMAGE_IMPORT_BY_NAME* pByName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(pBase + pName->u1.AddressOfData);
            if (strcmp(reinterpret_cast<LPCSTR>(pByName->Name), pszFunction) != 0)
                continue;
            dwOld = pAddress->u1.Function;
            DWORD dwProtection = 0;
            ::VirtualProtect(&pAddress->u1.Function, sizeof pAddress->u1.Function, PAGE_READWRITE,
                             &dwProtection);
            pAddress->u1.Function = reinterpret_cast<DWORD_PTR>(pfnNew);
            ::VirtualProtect(&pAddress->u1.Function, sizeof pAddress->u1.Function, dwProtection,
                             &dwProtection);
        }
    }
    return dwOld;
}

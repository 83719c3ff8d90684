// Standing in for a system function without a seam in the program: the
// calls of a test program go through its own import table, whose entries a
// test may point elsewhere.
#pragma once

#include <windows.h>

// Points every import of pszFunction from kernel32.dll in this program at
// pfnNew and returns the address it held; 0 when there is no such import.
DWORD_PTR PatchKernelImport(LPCSTR pszFunction, const void* pfnNew);

// The same for the object's life.
class CKernelImportPatch {
public:
    CKernelImportPatch(LPCSTR pszFunction, const void* pfnNew)
        : m_pszFunction(pszFunction), m_dwOriginal(PatchKernelImport(pszFunction, pfnNew))
    {
    }
    ~CKernelImportPatch()
    {
        if (m_dwOriginal)
            PatchKernelImport(m_pszFunction, reinterpret_cast<const void*>(m_dwOriginal));
    }
    CKernelImportPatch(const CKernelImportPatch&) = delete;
    CKernelImportPatch& operator=(const CKernelImportPatch&) = delete;

    // The function the import held before; 0 when there was no import.
    DWORD_PTR Original() const { return m_dwOriginal; }

private:
    LPCSTR m_pszFunction;
    DWORD_PTR m_dwOriginal;
};

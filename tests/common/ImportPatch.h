// Standing in for a system function without a seam in the program: the
// calls of a test program go through its own import table, whose entries a
// test may point elsewhere.
#pragma once

#include <windows.h>

// Points every import of pszFunction from pszDll in this program at pfnNew
// and returns the address it held; 0 when there is no such import.
DWORD_PTR PatchImport(LPCSTR pszDll, LPCSTR pszFunction, const void* pfnNew);

// The same for the object's life.
class CImportPatch {
public:
    CImportPatch(LPCSTR pszDll, LPCSTR pszFunction, const void* pfnNew)
        : m_pszDll(pszDll), m_pszFunction(pszFunction), m_dwOriginal(PatchImport(pszDll, pszFunction, pfnNew))
    {
    }
    ~CImportPatch()
    {
        if (m_dwOriginal)
            PatchImport(m_pszDll, m_pszFunction, reinterpret_cast<const void*>(m_dwOriginal));
    }
    CImportPatch(const CImportPatch&) = delete;
    CImportPatch& operator=(const CImportPatch&) = delete;

    // The function the import held before; 0 when there was no import.
    DWORD_PTR Original() const { return m_dwOriginal; }

private:
    LPCSTR m_pszDll;
    LPCSTR m_pszFunction;
    DWORD_PTR m_dwOriginal;
};

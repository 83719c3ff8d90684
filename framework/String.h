// CString: the program's growable 8-bit text, in the active ANSI code page.
#pragma once

#include <windows.h>

#include <string>

class CString {
public:
    CString() = default;
    CString(LPCSTR psz) : m_str(psz ? psz : "") {}
    CString(LPCSTR pch, int nLength) : m_str(pch, nLength) {}
    // Wide text converted to the ANSI code page, whole; nLength -1 up to the
    // terminator.
    explicit CString(LPCWSTR pwch, int nLength = -1);

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    char GetAt(int nIndex) const { return m_str[nIndex]; }
    operator LPCSTR() const { return m_str.c_str(); }

    // Room for nLength characters (plus the terminator) to be written in
    // place; the text is then exactly that long.
    LPSTR GetBufferSetLength(int nLength);

    CString Left(int nCount) const;
    CString Mid(int nFirst, int nCount) const;

    CString& operator=(LPCSTR psz);
    CString& operator+=(const CString& str);
    CString& operator+=(LPCSTR psz);
    CString& operator+=(char ch);
    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, LPCSTR b);
    friend CString operator+(LPCSTR a, const CString& b);

    int Compare(LPCSTR psz) const;
    friend bool operator==(const CString& a, LPCSTR b) { return a.Compare(b) == 0; }
    friend bool operator!=(const CString& a, LPCSTR b) { return a.Compare(b) != 0; }

    // printf-style; the format is always a literal of the program, never data.
    void Format(LPCSTR pszFormat, ...) __attribute__((format(gnu_printf, 2, 3)));
    void FormatV(LPCSTR pszFormat, va_list args) __attribute__((format(gnu_printf, 2, 0)));

    // Loads a string resource as ANSI text; empty when there is none.
    BOOL LoadString(UINT nID);

private:
    std::string m_str;
};

// CString: the program's growable 8-bit text, in the active ANSI code page.
#pragma once

#include <windows.h>

#include <cstdarg>

class CString {
public:
    CString() = default;
    CString(const CString& str) { Assign(str.m_pchData, str.m_nLength); }
    CString(CString&& str) noexcept;
    CString(LPCSTR psz) { *this = psz; }
    CString(LPCSTR pch, int nLength) { Assign(pch, nLength); }
    // Wide text converted to the ANSI code page, whole; nLength -1 up to the
    // terminator.
    explicit CString(LPCWSTR pwch, int nLength = -1);
    ~CString();

    int GetLength() const { return m_nLength; }
    bool IsEmpty() const { return m_nLength == 0; }
    void Empty()
    {
        m_nLength = 0;
        Terminate();
    }
    char GetAt(int nIndex) const { return m_pchData[nIndex]; }
    operator LPCSTR() const { return m_pchData ? m_pchData : ""; }

    // Room for nLength characters (plus the terminator) to be written in
    // place, the text so far kept; the text is then exactly that long.
    LPSTR GetBufferSetLength(int nLength);

    CString Left(int nCount) const { return Mid(0, nCount); }
    // At most nCount bytes from the start, without half of a double-byte
    // character of the code page at the end.
    CString LeftWhole(int nCount, UINT nCodePage = CP_ACP) const;
    CString Mid(int nFirst, int nCount) const;

    CString& operator=(const CString& str);
    CString& operator=(CString&& str) noexcept;
    CString& operator=(LPCSTR psz);
    CString& operator+=(const CString& str) { return Append(str.m_pchData, str.m_nLength); }
    CString& operator+=(LPCSTR psz);
    CString& operator+=(char ch) { return Append(&ch, 1); }
    friend CString operator+(CString a, const CString& b) { return static_cast<CString&&>(a += b); }
    friend CString operator+(CString a, LPCSTR b) { return static_cast<CString&&>(a += b); }
    friend CString operator+(LPCSTR a, const CString& b) { return CString(a) + b; }
    // nLength bytes of pch, which may hold null bytes.
    CString& Append(LPCSTR pch, int nLength);

    // Byte by byte, as strcmp.
    int Compare(LPCSTR psz) const;
    friend bool operator==(const CString& a, LPCSTR b) { return a.Compare(b) == 0; }
    friend bool operator!=(const CString& a, LPCSTR b) { return a.Compare(b) != 0; }

    // printf-style, of any length, for what the program formats and no
    // more: %d, %u, %c, %s and %X, and %u and %X with zeros up to a width
    // (%04X). No other flag, width or size, no precision, not even %%: a
    // format with one comes out empty, though the compiler's check lets it
    // pass. A null %s is empty. The format is a literal of the program,
    // never data.
    void Format(LPCSTR pszFormat, ...) __attribute__((format(gnu_printf, 2, 3)));
    void FormatV(LPCSTR pszFormat, va_list args) __attribute__((format(gnu_printf, 2, 0)));

    // Loads a string resource of the module as ANSI text; empty when there
    // is none.
    BOOL LoadString(UINT nID);

private:
    void Assign(LPCSTR pch, int nLength);
    // Room for nLength characters, the text so far kept.
    void Reserve(int nLength);
    void Terminate()
    {
        if (m_pchData)
            m_pchData[m_nLength] = '\0';
    }

    // Null until the first character needs room.
    LPSTR m_pchData = nullptr;
    int m_nLength = 0;
    int m_nAllocLength = 0;
};

// The character after the one at pch in the code page: a double-byte
// character's lead byte and the byte after it are one character, unless the
// text ends after the lead byte.
LPCSTR AfxCharNext(LPCSTR pch, UINT nCodePage = CP_ACP);

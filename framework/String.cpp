#include "String.h"

#include "WinApp.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <utility>

CString::CString(LPCWSTR pwch, int nLength)
{
    if (!pwch)
        return;
    if (nLength < 0)
        nLength = lstrlenW(pwch);
    int nBytes = WideCharToMultiByte(CP_ACP, 0, pwch, nLength, nullptr, 0, nullptr, nullptr);
    WideCharToMultiByte(CP_ACP, 0, pwch, nLength, GetBufferSetLength(nBytes), nBytes, nullptr, nullptr);
}

LPSTR CString::GetBufferSetLength(int nLength)
{
    m_str.resize(nLength < 0 ? 0 : nLength);
    return &m_str[0];
}

CString CString::Left(int nCount) const
{
    if (nCount < 0)
        nCount = 0;
    return CString(m_str.c_str(), nCount < GetLength() ? nCount : GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0)
        nFirst = 0;
    if (nFirst > GetLength())
        nFirst = GetLength();
    if (nCount < 0)
        nCount = 0;
    if (nCount > GetLength() - nFirst)
        nCount = GetLength() - nFirst;
    return CString(m_str.c_str() + nFirst, nCount);
}

CString& CString::operator=(LPCSTR psz)
{
    m_str.assign(psz ? psz : "");
    return *this;
}

CString& CString::operator+=(const CString& str)
{
    m_str += str.m_str;
    return *this;
}

CString& CString::operator+=(LPCSTR psz)
{
    if (psz)
        m_str += psz;
    return *this;
}

CString& CString::operator+=(char ch)
{
    m_str += ch;
    return *this;
}

CString operator+(const CString& a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, LPCSTR b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(LPCSTR a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

int CString::Compare(LPCSTR psz) const
{
    return strcmp(m_str.c_str(), psz ? psz : "");
}

void CString::Format(LPCSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::FormatV(LPCSTR pszFormat, va_list args)
{
    // First pass measures, second pass writes, into storage of its own: an
    // argument may be this string's own text.
    va_list measure;
    va_copy(measure, args);
    int nLength = vsnprintf(nullptr, 0, pszFormat, measure);
    va_end(measure);
    if (nLength < 0) {
        m_str.clear();
        return;
    }
    std::string strFormatted(nLength + 1, '\0');
    vsnprintf(&strFormatted[0], nLength + 1, pszFormat, args);
    strFormatted.resize(nLength);
    m_str = std::move(strFormatted);
}

BOOL CString::LoadString(UINT nID)
{
    // Read from the resource itself rather than through LoadStringW, which
    // Windows 95, 98 and ME have only as a stub that fails. The strings come
    // in blocks of 16, each a length in UTF-16 units followed by that many
    // units, with no terminator.
    Empty();
    HINSTANCE hInstance = AfxGetResourceHandle();
    HRSRC hResource = ::FindResourceA(hInstance, MAKEINTRESOURCEA(nID / 16 + 1), MAKEINTRESOURCEA(6));
    HGLOBAL hBlock = hResource ? ::LoadResource(hInstance, hResource) : nullptr;
    const WCHAR* pwch = hBlock ? static_cast<const WCHAR*>(::LockResource(hBlock)) : nullptr;
    if (!pwch)
        return FALSE;
    const WCHAR* pwchEnd = pwch + ::SizeofResource(hInstance, hResource) / sizeof(WCHAR);
    for (UINT nSkip = nID % 16; nSkip > 0 && pwch < pwchEnd; --nSkip)
        pwch += 1 + *pwch;
    if (pwch >= pwchEnd || *pwch == 0 || *pwch > pwchEnd - pwch - 1)
        return FALSE;
    *this = CString(pwch + 1, *pwch);
    return TRUE;
}

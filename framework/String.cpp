#include "String.h"

#include <cstring>

CString::CString(CString&& str) noexcept
    : m_pchData(str.m_pchData), m_nLength(str.m_nLength), m_nAllocLength(str.m_nAllocLength)
{
    str.m_pchData = nullptr;
    str.m_nLength = str.m_nAllocLength = 0;
}

CString::CString(LPCWSTR pwch, int nLength)
{
    if (!pwch)
        return;
    if (nLength < 0)
        nLength = lstrlenW(pwch);
    int nBytes = WideCharToMultiByte(CP_ACP, 0, pwch, nLength, nullptr, 0, nullptr, nullptr);
    WideCharToMultiByte(CP_ACP, 0, pwch, nLength, GetBufferSetLength(nBytes), nBytes, nullptr, nullptr);
}

CString::~CString()
{
    delete[] m_pchData;
}

void CString::Reserve(int nLength)
{
    if (nLength <= m_nAllocLength)
        return;
    LPSTR pchNew = new char[nLength + 1];
    if (m_nLength)
        memcpy(pchNew, m_pchData, m_nLength);
    pchNew[m_nLength] = '\0';
    delete[] m_pchData;
    m_pchData = pchNew;
    m_nAllocLength = nLength;
}

void CString::Assign(LPCSTR pch, int nLength)
{
    // Into fresh storage: the text may be a part of this string's own.
    CString str;
    str.Reserve(nLength);
    *this = static_cast<CString&&>(str.Append(pch, nLength));
}

CString& CString::Append(LPCSTR pch, int nLength)
{
    if (nLength <= 0)
        return *this;
    if (m_nLength + nLength > m_nAllocLength) {
        // Grows by half again, so that appending one piece at a time stays
        // linear; in new storage, as the piece may come from this text.
        CString str;
        str.Reserve(m_nLength + nLength + (m_nLength + nLength) / 2);
        str.Append(m_pchData, m_nLength);
        return *this = static_cast<CString&&>(str.Append(pch, nLength));
    }
    memcpy(m_pchData + m_nLength, pch, nLength);
    m_nLength += nLength;
    Terminate();
    return *this;
}

LPSTR CString::GetBufferSetLength(int nLength)
{
    if (nLength < 0)
        nLength = 0;
    Reserve(nLength > 0 ? nLength : 1);
    m_nLength = nLength;
    Terminate();
    return m_pchData;
}

CString CString::LeftWhole(int nCount, UINT nCodePage) const
{
    // Walk from the start: only there is a byte known to begin a character.
    int nLength = 0;
    while (nLength < m_nLength) {
        int nNext = static_cast<int>(AfxCharNext(m_pchData + nLength, nCodePage) - m_pchData);
        if (nNext > nCount)
            break;
        nLength = nNext;
    }
    return CString(m_pchData, nLength);
}

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0)
        nFirst = 0;
    if (nFirst > m_nLength)
        nFirst = m_nLength;
    if (nCount < 0)
        nCount = 0;
    if (nCount > m_nLength - nFirst)
        nCount = m_nLength - nFirst;
    return CString(m_pchData + nFirst, nCount);
}

CString& CString::operator=(const CString& str)
{
    if (this != &str)
        Assign(str.m_pchData, str.m_nLength);
    return *this;
}

CString& CString::operator=(CString&& str) noexcept
{
    if (this != &str) {
        delete[] m_pchData;
        m_pchData = str.m_pchData;
        m_nLength = str.m_nLength;
        m_nAllocLength = str.m_nAllocLength;
        str.m_pchData = nullptr;
        str.m_nLength = str.m_nAllocLength = 0;
    }
    return *this;
}

CString& CString::operator=(LPCSTR psz)
{
    Assign(psz, psz ? static_cast<int>(strlen(psz)) : 0);
    return *this;
}

CString& CString::operator+=(LPCSTR psz)
{
    return psz ? Append(psz, static_cast<int>(strlen(psz))) : *this;
}

int CString::Compare(LPCSTR psz) const
{
    const BYTE* pbThis = reinterpret_cast<const BYTE*>(static_cast<LPCSTR>(*this));
    const BYTE* pbOther = reinterpret_cast<const BYTE*>(psz ? psz : "");
    while (*pbThis && *pbThis == *pbOther) {
        ++pbThis;
        ++pbOther;
    }
    return *pbThis - *pbOther;
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
    // Built in storage of its own: an argument may be this string's text.
    CString strResult;
    for (LPCSTR pch = pszFormat; *pch; ++pch) {
        if (*pch != '%') {
            strResult += *pch;
            continue;
        }
        // A width only with its 0 and before %u or %X; elsewhere it makes the
        // conversion one that is refused.
        LPCSTR pchWidth = ++pch;
        int nWidth = 0;
        while (*pch >= '0' && *pch <= '9')
            nWidth = 10 * nWidth + (*pch++ - '0');
        const bool bWidthFits = pch == pchWidth || (*pchWidth == '0' && (*pch == 'u' || *pch == 'X'));
        unsigned nValue = 0;
        unsigned nBase = 10;
        switch (bWidthFits ? *pch : '\0') {
        case 's':
            strResult += va_arg(args, LPCSTR);
            continue;
        case 'c':
            strResult += static_cast<char>(va_arg(args, int));
            continue;
        case 'd': {
            int n = va_arg(args, int);
            if (n < 0)
                strResult += '-';
            nValue = n < 0 ? 0u - static_cast<unsigned>(n) : n;
            break;
        }
        case 'X':
            nBase = 16;
            [[fallthrough]];
        case 'u':
            nValue = va_arg(args, unsigned);
            break;
        default:
            // Refused: no text at all, rather than one that only looks right.
            Empty();
            return;
        }
        // Room for 32 bits in decimal.
        char szDigits[10];
        LPSTR pchDigits = szDigits + sizeof szDigits;
        do {
            *--pchDigits = "0123456789ABCDEF"[nValue % nBase];
            nValue /= nBase;
        } while (nValue);
        const int nDigits = static_cast<int>(szDigits + sizeof szDigits - pchDigits);
        for (; nWidth > nDigits; --nWidth)
            strResult += '0';
        strResult.Append(pchDigits, nDigits);
    }
    *this = static_cast<CString&&>(strResult);
}

BOOL CString::LoadString(UINT nID)
{
    // LoadStringA cuts a string that does not fit and says how many bytes it
    // wrote. A cut string may end a byte short of the buffer, where the lead
    // byte of a double-byte character did not fit with its trail byte; so the
    // buffer grows until the string leaves two bytes free.
    HINSTANCE hInstance = ::GetModuleHandleA(nullptr);
    for (int nSize = 256;; nSize *= 2) {
        int nLength = ::LoadStringA(hInstance, nID, GetBufferSetLength(nSize - 1), nSize);
        if (nLength < nSize - 2) {
            GetBufferSetLength(nLength);
            return nLength > 0;
        }
    }
}

LPCSTR AfxCharNext(LPCSTR pch, UINT nCodePage)
{
    return pch + (::IsDBCSLeadByteEx(nCodePage, static_cast<BYTE>(*pch)) && pch[1] ? 2 : 1);
}

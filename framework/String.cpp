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
    if (nLength <= 0) {
        Empty();
        return;
    }
    // Into fresh storage: the text may be a part of this string's own.
    CString str;
    str.Reserve(nLength);
    memcpy(str.m_pchData, pch, nLength);
    str.m_nLength = nLength;
    str.Terminate();
    *this = static_cast<CString&&>(str);
}

CString& CString::Append(LPCSTR pch, int nLength)
{
    if (nLength <= 0)
        return *this;
    if (m_nLength + nLength > m_nAllocLength) {
        // Grows by half again, so that appending one piece at a time stays
        // linear; the old text stays valid until the new one holds the
        // appended piece, which may come from it.
        int nNewAlloc = m_nLength + nLength + (m_nLength + nLength) / 2;
        LPSTR pchNew = new char[nNewAlloc + 1];
        if (m_nLength)
            memcpy(pchNew, m_pchData, m_nLength);
        memcpy(pchNew + m_nLength, pch, nLength);
        delete[] m_pchData;
        m_pchData = pchNew;
        m_nAllocLength = nNewAlloc;
    } else {
        memcpy(m_pchData + m_nLength, pch, nLength);
    }
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

CString CString::Left(int nCount) const
{
    return Mid(0, nCount);
}

CString CString::LeftWhole(int nCount, UINT nCodePage) const
{
    // Walk from the start: only there is a byte known to begin a character.
    int nLength = 0;
    while (nLength < m_nLength) {
        bool bDouble =
            ::IsDBCSLeadByteEx(nCodePage, static_cast<BYTE>(m_pchData[nLength])) && nLength + 1 < m_nLength;
        int nNext = nLength + (bDouble ? 2 : 1);
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

namespace {
// One number in the given base, most significant digit first.
int NumberText(char (&szDigits)[12], unsigned nValue, unsigned nBase, bool bUpper)
{
    const char* pszDigits = bUpper ? "0123456789ABCDEF" : "0123456789abcdef";
    char szReversed[12];
    int nCount = 0;
    do {
        szReversed[nCount++] = pszDigits[nValue % nBase];
        nValue /= nBase;
    } while (nValue);
    for (int i = 0; i < nCount; ++i)
        szDigits[i] = szReversed[nCount - 1 - i];
    return nCount;
}
} // namespace

void CString::FormatV(LPCSTR pszFormat, va_list args)
{
    // Built in storage of its own: an argument may be this string's text.
    CString strResult;
    for (LPCSTR pch = pszFormat; *pch; ++pch) {
        if (*pch != '%') {
            LPCSTR pchPlain = pch;
            while (pch[1] && pch[1] != '%')
                ++pch;
            strResult.Append(pchPlain, static_cast<int>(pch - pchPlain) + 1);
            continue;
        }
        LPCSTR pchSpec = pch++;
        bool bLeft = false;
        char chPad = ' ';
        for (; *pch == '-' || *pch == '0'; ++pch) {
            if (*pch == '-')
                bLeft = true;
            else
                chPad = '0';
        }
        int nWidth = 0;
        for (; *pch >= '0' && *pch <= '9'; ++pch)
            nWidth = 10 * nWidth + (*pch - '0');
        int nPrecision = -1;
        if (*pch == '.') {
            nPrecision = 0;
            for (++pch; *pch >= '0' && *pch <= '9'; ++pch)
                nPrecision = 10 * nPrecision + (*pch - '0');
        }
        if (*pch == 'h' || *pch == 'l')
            ++pch;

        char szNumber[12];
        LPCSTR pchText = szNumber;
        int nLength = 0;
        bool bNegative = false;
        switch (*pch) {
        case '%':
            strResult += '%';
            continue;
        case 'c':
            szNumber[0] = static_cast<char>(va_arg(args, int));
            nLength = 1;
            break;
        case 'd':
        case 'i': {
            int nValue = va_arg(args, int);
            bNegative = nValue < 0;
            nLength =
                NumberText(szNumber, bNegative ? 0u - static_cast<unsigned>(nValue) : nValue, 10, false);
            break;
        }
        case 'u':
            nLength = NumberText(szNumber, va_arg(args, unsigned), 10, false);
            break;
        case 'x':
        case 'X':
            nLength = NumberText(szNumber, va_arg(args, unsigned), 16, *pch == 'X');
            break;
        case 's':
            pchText = va_arg(args, LPCSTR);
            if (!pchText)
                pchText = "(null)";
            while (pchText[nLength] && (nPrecision < 0 || nLength < nPrecision))
                ++nLength;
            break;
        default:
            // Not a conversion of this formatter: the rest stays as it is.
            strResult += pchSpec;
            *this = static_cast<CString&&>(strResult);
            return;
        }

        int nPadding = nWidth - nLength - (bNegative ? 1 : 0);
        if (bLeft || chPad == ' ') {
            // Spaces go before the sign, zeros after it.
            for (; !bLeft && nPadding > 0; --nPadding)
                strResult += ' ';
            if (bNegative)
                strResult += '-';
        } else {
            if (bNegative)
                strResult += '-';
            for (; nPadding > 0; --nPadding)
                strResult += '0';
        }
        strResult.Append(pchText, nLength);
        for (; bLeft && nPadding > 0; --nPadding)
            strResult += ' ';
    }
    *this = static_cast<CString&&>(strResult);
}

BOOL CString::LoadString(UINT nID)
{
    // Read from the resource itself rather than through LoadStringW, which
    // Windows 95, 98 and ME have only as a stub that fails. The strings come
    // in blocks of 16, each a length in UTF-16 units followed by that many
    // units, with no terminator.
    Empty();
    HINSTANCE hInstance = ::GetModuleHandleA(nullptr);
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

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

namespace {
// A conversion's flags, width and precision; a precision of -1 is none.
struct FieldLayout {
    bool bLeft = false;
    bool bZero = false;
    bool bPlus = false;
    bool bSpace = false;
    bool bAlternate = false;
    int nWidth = 0;
    int nPrecision = -1;
};

// The decimal number at pch, 0 when there is none; pch is left after it.
int ReadNumber(LPCSTR& pch)
{
    int nNumber = 0;
    for (; *pch >= '0' && *pch <= '9'; ++pch)
        nNumber = 10 * nNumber + (*pch - '0');
    return nNumber;
}

void AppendRepeated(CString& str, char ch, int nCount)
{
    for (; nCount > 0; --nCount)
        str += ch;
}

// The prefix (a sign, or 0x for '#'), nZeros zeros and the text, with spaces
// before or, for '-', after them up to the width.
void AppendField(CString& str, const FieldLayout& layout, LPCSTR pszPrefix, int nZeros, LPCSTR pchText,
                 int nLength)
{
    int nSpaces = layout.nWidth - static_cast<int>(strlen(pszPrefix)) - nZeros - nLength;
    if (!layout.bLeft)
        AppendRepeated(str, ' ', nSpaces);
    str += pszPrefix;
    AppendRepeated(str, '0', nZeros);
    str.Append(pchText, nLength);
    if (layout.bLeft)
        AppendRepeated(str, ' ', nSpaces);
}

// An unsigned value in the base of the conversion (o, x, X, b, B, else
// decimal), after the sign in pszSign.
void AppendInteger(CString& str, const FieldLayout& layout, unsigned nValue, LPCSTR pszSign,
                   char chConversion)
{
    const unsigned nBase = chConversion == 'o'                          ? 8
                           : chConversion == 'x' || chConversion == 'X' ? 16
                           : chConversion == 'b' || chConversion == 'B' ? 2
                                                                        : 10;
    char szDigits[32];
    LPSTR pchDigits = szDigits + sizeof szDigits;
    // Zero with a precision of zero has no digits at all.
    if (nValue || layout.nPrecision != 0) {
        LPCSTR pszDigits = chConversion == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
        unsigned n = nValue;
        do {
            *--pchDigits = pszDigits[n % nBase];
            n /= nBase;
        } while (n);
    }
    int nDigits = static_cast<int>(szDigits + sizeof szDigits - pchDigits);

    char szPrefix[3] = {};
    if (layout.bAlternate && nValue && nBase != 10 && nBase != 8) {
        szPrefix[0] = '0';
        szPrefix[1] = chConversion;
    } else {
        szPrefix[0] = *pszSign;
    }
    int nZeros = layout.nPrecision > nDigits ? layout.nPrecision - nDigits : 0;
    // '#' makes an octal number start with a zero.
    if (layout.bAlternate && nBase == 8 && nZeros == 0 && (nDigits == 0 || *pchDigits != '0'))
        nZeros = 1;
    // '0' fills the width with zeros after the prefix, unless there is a
    // precision or '-'.
    int nFill = layout.nWidth - static_cast<int>(strlen(szPrefix)) - nDigits;
    if (layout.bZero && !layout.bLeft && layout.nPrecision < 0 && nFill > nZeros)
        nZeros = nFill;
    AppendField(str, layout, szPrefix, nZeros, pchDigits, nDigits);
}

// The bytes of the text up to its terminator, at most nMax of them unless
// nMax is -1.
template <class Char> int TextLength(const Char* pch, int nMax)
{
    int nLength = 0;
    while (pch[nLength] && (nMax < 0 || nLength < nMax))
        ++nLength;
    return nLength;
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
        LPCSTR pchConversion = pch++;
        FieldLayout layout;
        for (;; ++pch) {
            if (*pch == '-')
                layout.bLeft = true;
            else if (*pch == '0')
                layout.bZero = true;
            else if (*pch == '+')
                layout.bPlus = true;
            else if (*pch == ' ')
                layout.bSpace = true;
            else if (*pch == '#')
                layout.bAlternate = true;
            else
                break;
        }
        if (*pch == '*') {
            ++pch;
            // A negative width from the arguments is the flag '-'.
            layout.nWidth = va_arg(args, int);
            if (layout.nWidth < 0) {
                layout.bLeft = true;
                layout.nWidth = -layout.nWidth;
            }
        } else {
            layout.nWidth = ReadNumber(pch);
        }
        if (*pch == '.') {
            ++pch;
            if (*pch == '*') {
                ++pch;
                // A negative precision from the arguments is none.
                layout.nPrecision = va_arg(args, int);
                if (layout.nPrecision < 0)
                    layout.nPrecision = -1;
            } else {
                layout.nPrecision = ReadNumber(pch);
            }
        }
        // Every integer argument comes as 32 bits; hh and h keep the low 8
        // or 16 of them. A second l (64 bits) is no conversion here.
        int nShift = 0;
        bool bWide = false;
        if (*pch == 'h') {
            nShift = 16;
            if (*++pch == 'h') {
                nShift = 24;
                ++pch;
            }
        } else if (*pch == 'l') {
            bWide = true;
            ++pch;
        } else if (*pch == 'z' || *pch == 't') {
            ++pch;
        }

        char ch = 0;
        CString strWide;
        LPCSTR pchText = nullptr;
        int nLength = 0;
        switch (*pch) {
        case '%':
            strResult += '%';
            continue;
        case 'd':
        case 'i': {
            int nValue = static_cast<int>(va_arg(args, unsigned) << nShift) >> nShift;
            LPCSTR pszSign = nValue < 0 ? "-" : layout.bPlus ? "+" : layout.bSpace ? " " : "";
            unsigned nMagnitude = nValue < 0 ? 0u - static_cast<unsigned>(nValue) : nValue;
            AppendInteger(strResult, layout, nMagnitude, pszSign, *pch);
            continue;
        }
        case 'u':
        case 'o':
        case 'x':
        case 'X':
        case 'b':
        case 'B':
            AppendInteger(strResult, layout, va_arg(args, unsigned) << nShift >> nShift, "", *pch);
            continue;
        case 'p':
            layout.nPrecision = 8;
            AppendInteger(strResult, layout, reinterpret_cast<UINT_PTR>(va_arg(args, void*)), "", 'X');
            continue;
        case 'C':
            bWide = true;
            [[fallthrough]];
        case 'c':
            if (bWide) {
                const WCHAR awch[2] = {static_cast<WCHAR>(va_arg(args, int)), 0};
                strWide = CString(awch);
                pchText = strWide;
                nLength = strWide.GetLength();
            } else {
                ch = static_cast<char>(va_arg(args, int));
                pchText = &ch;
                nLength = 1;
            }
            break;
        case 'S':
            bWide = true;
            [[fallthrough]];
        case 's':
            if (bWide) {
                // No wide character makes less than one byte: the precision
                // in bytes is enough of them.
                LPCWSTR pwch = va_arg(args, LPCWSTR);
                strWide = pwch ? CString(pwch, TextLength(pwch, layout.nPrecision)) : CString("(null)");
                if (layout.nPrecision >= 0)
                    strWide = strWide.LeftWhole(layout.nPrecision);
                pchText = strWide;
                nLength = strWide.GetLength();
            } else {
                pchText = va_arg(args, LPCSTR);
                if (!pchText)
                    pchText = "(null)";
                nLength = TextLength(pchText, layout.nPrecision);
            }
            break;
        default:
            // Not a conversion of this formatter: the rest stays as it is.
            strResult += pchConversion;
            *this = static_cast<CString&&>(strResult);
            return;
        }
        AppendField(strResult, layout, "", 0, pchText, nLength);
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

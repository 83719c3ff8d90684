// CArray: a growable array of plain values (pointers, handles, records),
// on the heap; the elements are copied as bytes.
#pragma once

#include <cstring>
#include <new>
#include <type_traits>

template <class TYPE> class CArray {
    static_assert(std::is_trivially_copyable<TYPE>::value, "CArray copies its elements as bytes");

public:
    CArray() = default;
    ~CArray() { ::operator delete(m_pData); }
    CArray(const CArray&) = delete;
    CArray& operator=(const CArray&) = delete;

    int GetSize() const { return m_nSize; }
    TYPE& operator[](int nIndex) { return m_pData[nIndex]; }
    const TYPE& operator[](int nIndex) const { return m_pData[nIndex]; }

    // Appends a copy of the element and returns its index.
    int Add(const TYPE& element)
    {
        // The element may be one of this array's own.
        const TYPE newElement = element;
        if (m_nSize == m_nMaxSize) {
            int nNewMax = m_nMaxSize ? 2 * m_nMaxSize : 4;
            TYPE* pNewData = static_cast<TYPE*>(::operator new(nNewMax * sizeof(TYPE)));
            if (m_nSize)
                memcpy(pNewData, m_pData, m_nSize * sizeof(TYPE));
            ::operator delete(m_pData);
            m_pData = pNewData;
            m_nMaxSize = nNewMax;
        }
        m_pData[m_nSize] = newElement;
        return m_nSize++;
    }

private:
    TYPE* m_pData = nullptr;
    int m_nSize = 0;
    int m_nMaxSize = 0;
};

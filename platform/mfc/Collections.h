// Lists, arrays and maps of the class library: the templates CArray, CList
// and CMap, the typed pointer wrappers and the ready-made collections.
#pragma once

#include "platform/win32.h"
#include "platform/mfc/Object.h"
#include "platform/mfc/Exceptions.h"
#include "platform/mfc/String.h"
#include "platform/mfc/Archive.h"

#include <climits>
#include <cstddef>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#ifndef AFXAPI
#define AFXAPI
#endif

// A place in a list or map; opaque to callers.
struct RcvCollectionPosition;
typedef RcvCollectionPosition* POSITION;
#define BEFORE_START_POSITION ((POSITION)(intptr_t)-1)

// Helpers shared by the collections (Collections.cpp).

// Throws CArchiveException when an archive being loaded cannot hold nCount
// elements of at least nMinBytes each, before anything is allocated for them.
void AfxCheckCollectionCount(CArchive& ar, DWORD nCount, size_t nMinBytes);
// Throws CMemoryException.
[[noreturn]] void AfxThrowCollectionMemory();
// Throws CNotSupportedException: the element type has no archive form.
[[noreturn]] void AfxThrowCollectionNotSerializable();
// Throws CArchiveException(badClass): a loaded object is of the wrong class.
[[noreturn]] void AfxThrowCollectionBadClass();

namespace rcv_coll {

template <class T>
T* AllocElements(size_t n) {
    if (n > SIZE_MAX / sizeof(T)) AfxThrowCollectionMemory();
    try {
        if constexpr (alignof(T) > __STDCPP_DEFAULT_NEW_ALIGNMENT__)
            return static_cast<T*>(::operator new(n * sizeof(T), std::align_val_t(alignof(T))));
        else
            return static_cast<T*>(::operator new(n * sizeof(T)));
    } catch (const std::bad_alloc&) {
        AfxThrowCollectionMemory();
    }
}

template <class T>
void FreeElements(T* p) {
    if constexpr (alignof(T) > __STDCPP_DEFAULT_NEW_ALIGNMENT__)
        ::operator delete(static_cast<void*>(p), std::align_val_t(alignof(T)));
    else
        ::operator delete(static_cast<void*>(p));
}

// New elements start from zeroed memory, then their default constructor runs.
template <class T>
void ConstructElements(T* p, int n) {
    std::memset(static_cast<void*>(p), 0, size_t(n) * sizeof(T));
    for (int i = 0; i < n; i++) ::new (static_cast<void*>(p + i)) T();
}

template <class T>
void DestructElements(T* p, int n) {
    if constexpr (!std::is_trivially_destructible_v<T>)
        for (int i = 0; i < n; i++) p[i].~T();
}

// Moves n live elements from src into raw storage at dst; src is left raw.
template <class T>
void RelocateElements(T* dst, T* src, int n) {
    if constexpr (std::is_trivially_copyable_v<T>) {
        if (n > 0) std::memcpy(static_cast<void*>(dst), static_cast<const void*>(src), size_t(n) * sizeof(T));
    } else {
        for (int i = 0; i < n; i++) {
            ::new (static_cast<void*>(dst + i)) T(std::move(src[i]));
            src[i].~T();
        }
    }
}

template <class T>
using Bare = std::remove_cv_t<std::remove_reference_t<T>>;

template <class T, class = void>
struct CanStore : std::false_type {};
template <class T>
struct CanStore<T, std::void_t<decltype(std::declval<CArchive&>() << std::declval<const T&>())>>
    : std::true_type {};

template <class T, class = void>
struct CanLoad : std::false_type {};
template <class T>
struct CanLoad<T, std::void_t<decltype(std::declval<CArchive&>() >> std::declval<T&>())>>
    : std::true_type {};

template <class T>
constexpr bool IsObjectPointer =
    std::is_pointer_v<T> && std::is_base_of_v<CObject, std::remove_cv_t<std::remove_pointer_t<T>>>;

// The fewest archive bytes one element can take, for checking counts.
template <class T>
constexpr size_t MinArchiveBytes() {
    if constexpr (std::is_arithmetic_v<T> || std::is_enum_v<T>)
        return sizeof(T);
    else if constexpr (IsObjectPointer<T>)
        return 2;  // an object reference starts with a WORD tag
    else
        return 1;
}

}  // namespace rcv_coll

// Writes or reads nCount elements.  Plain values and CStrings use the
// archive's operators, CObject pointers go through WriteObject/ReadObject.
// Types without an archive form must get their own specialisation.
template <class TYPE>
void AFXAPI SerializeElements(CArchive& ar, TYPE* pElements, int nCount) {
    using namespace rcv_coll;
    if constexpr (IsObjectPointer<TYPE>) {
        if (ar.IsStoring()) {
            for (int i = 0; i < nCount; i++) ar << static_cast<const CObject*>(pElements[i]);
        } else if constexpr (CanLoad<TYPE>::value) {
            // CObject itself, or a serial class with its own checked operator>>.
            for (int i = 0; i < nCount; i++) ar >> pElements[i];
        } else {
            for (int i = 0; i < nCount; i++) {
                CObject* pOb = nullptr;
                ar >> pOb;
                TYPE pTyped = dynamic_cast<TYPE>(pOb);
                if (pOb != nullptr && pTyped == nullptr) AfxThrowCollectionBadClass();
                pElements[i] = pTyped;
            }
        }
    } else if constexpr (!std::is_pointer_v<TYPE> && CanStore<TYPE>::value && CanLoad<TYPE>::value) {
        if (ar.IsStoring()) {
            for (int i = 0; i < nCount; i++) ar << pElements[i];
        } else {
            for (int i = 0; i < nCount; i++) ar >> pElements[i];
        }
    } else {
        (void)pElements;
        if (nCount > 0) AfxThrowCollectionNotSerializable();
    }
}

template <class TYPE, class ARG_TYPE>
BOOL AFXAPI CompareElements(const TYPE* pElement1, const ARG_TYPE* pElement2) {
    return *pElement1 == *pElement2;
}

// Hash of a map key.  Numbers and pointers drop their low four bits, text
// is hashed character by character.
template <class ARG_KEY>
inline UINT AFXAPI HashKey(ARG_KEY key) {
    using K = rcv_coll::Bare<ARG_KEY>;
    if constexpr (std::is_integral_v<K> || std::is_enum_v<K>) {
        return UINT(DWORD(key)) >> 4;
    } else if constexpr (std::is_convertible_v<ARG_KEY, const char*>) {
        const char* p = key;
        UINT nHash = 0;
        if (p != nullptr)
            while (*p) nHash = (nHash << 5) + nHash + UINT(int(static_cast<signed char>(*p++)));
        return nHash;
    } else if constexpr (std::is_pointer_v<K>) {
        return UINT(DWORD(reinterpret_cast<uintptr_t>(key))) >> 4;
    } else {
        static_assert(std::is_integral_v<K>, "no HashKey for this key type: specialise HashKey");
        return 0;
    }
}

// ---------------------------------------------------------------- CArray

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject {
public:
    typedef TYPE BASE_TYPE;
    typedef ARG_TYPE BASE_ARG_TYPE;

    CArray() = default;
    CArray(const CArray&) = delete;
    CArray& operator=(const CArray&) = delete;
    ~CArray() override { SetSize(0); }

    int GetSize() const { return m_nSize; }
    int GetUpperBound() const { return m_nSize - 1; }
    // Capacity in elements.
    int GetAllocSize() const { return m_nMaxSize; }
    void SetSize(int nNewSize, int nGrowBy = -1);

    void FreeExtra();
    void RemoveAll() { SetSize(0); }

    TYPE GetAt(int nIndex) const {
        ASSERT(nIndex >= 0 && nIndex < m_nSize);
        return m_pData[nIndex];
    }
    void SetAt(int nIndex, ARG_TYPE newElement) {
        ASSERT(nIndex >= 0 && nIndex < m_nSize);
        m_pData[nIndex] = newElement;
    }
    TYPE& ElementAt(int nIndex) {
        ASSERT(nIndex >= 0 && nIndex < m_nSize);
        return m_pData[nIndex];
    }
    const TYPE* GetData() const { return m_pData; }
    TYPE* GetData() { return m_pData; }

    void SetAtGrow(int nIndex, ARG_TYPE newElement);
    int Add(ARG_TYPE newElement) {
        int nIndex = m_nSize;
        SetAtGrow(nIndex, newElement);
        return nIndex;
    }
    int Append(const CArray& src);
    void Copy(const CArray& src);

    TYPE operator[](int nIndex) const { return GetAt(nIndex); }
    TYPE& operator[](int nIndex) { return ElementAt(nIndex); }

    void InsertAt(int nIndex, ARG_TYPE newElement, int nCount = 1);
    void RemoveAt(int nIndex, int nCount = 1);
    void InsertAt(int nStartIndex, CArray* pNewArray);

    void Serialize(CArchive& ar) override;

protected:
    TYPE* m_pData = nullptr;
    int m_nSize = 0;
    int m_nMaxSize = 0;
    int m_nGrowBy = 0;

private:
    void Reallocate(int nNewMax);
};

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::Reallocate(int nNewMax) {
    TYPE* pNewData = rcv_coll::AllocElements<TYPE>(size_t(nNewMax));
    if (m_pData != nullptr) {
        rcv_coll::RelocateElements(pNewData, m_pData, m_nSize);
        rcv_coll::FreeElements(m_pData);
    }
    m_pData = pNewData;
    m_nMaxSize = nNewMax;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::SetSize(int nNewSize, int nGrowBy) {
    ASSERT(nNewSize >= 0);
    if (nNewSize < 0) AfxThrowCollectionMemory();
    if (nGrowBy != -1) m_nGrowBy = nGrowBy;

    if (nNewSize == 0) {
        if (m_pData != nullptr) {
            rcv_coll::DestructElements(m_pData, m_nSize);
            rcv_coll::FreeElements(m_pData);
            m_pData = nullptr;
        }
        m_nSize = m_nMaxSize = 0;
    } else if (m_pData == nullptr) {
        // First block: exactly the size asked for.
        Reallocate(nNewSize);
        rcv_coll::ConstructElements(m_pData, nNewSize);
        m_nSize = nNewSize;
    } else if (nNewSize <= m_nMaxSize) {
        if (nNewSize > m_nSize)
            rcv_coll::ConstructElements(m_pData + m_nSize, nNewSize - m_nSize);
        else if (nNewSize < m_nSize)
            rcv_coll::DestructElements(m_pData + nNewSize, m_nSize - nNewSize);
        m_nSize = nNewSize;
    } else {
        int nGrow = m_nGrowBy;
        if (nGrow == 0) {
            // Default step: an eighth of the current size, 4 to 1024.
            nGrow = m_nSize / 8;
            nGrow = nGrow < 4 ? 4 : (nGrow > 1024 ? 1024 : nGrow);
        }
        long long nGrown = (long long)m_nMaxSize + nGrow;
        long long nNewMax = nNewSize < nGrown ? nGrown : nNewSize;
        if (nNewMax > INT_MAX) AfxThrowCollectionMemory();
        Reallocate(int(nNewMax));
        rcv_coll::ConstructElements(m_pData + m_nSize, nNewSize - m_nSize);
        m_nSize = nNewSize;
    }
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::FreeExtra() {
    if (m_nSize == m_nMaxSize) return;
    if (m_nSize == 0) {
        rcv_coll::FreeElements(m_pData);
        m_pData = nullptr;
        m_nMaxSize = 0;
        return;
    }
    Reallocate(m_nSize);
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::SetAtGrow(int nIndex, ARG_TYPE newElement) {
    ASSERT(nIndex >= 0);
    if (nIndex >= m_nSize) {
        // The argument may live in this array: copy it before growing.
        TYPE value(newElement);
        SetSize(nIndex + 1, -1);
        m_pData[nIndex] = std::move(value);
    } else {
        m_pData[nIndex] = newElement;
    }
}

template <class TYPE, class ARG_TYPE>
int CArray<TYPE, ARG_TYPE>::Append(const CArray& src) {
    int nOldSize = m_nSize;
    int nCount = src.m_nSize;
    SetSize(m_nSize + nCount);
    // src.m_pData is re-read after the resize, so appending to itself works.
    for (int i = 0; i < nCount; i++) m_pData[nOldSize + i] = src.m_pData[i];
    return nOldSize;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::Copy(const CArray& src) {
    if (&src == this) return;
    SetSize(src.m_nSize);
    for (int i = 0; i < m_nSize; i++) m_pData[i] = src.m_pData[i];
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::InsertAt(int nIndex, ARG_TYPE newElement, int nCount) {
    ASSERT(nIndex >= 0 && nCount > 0);
    if (nIndex < 0 || nCount <= 0) return;
    TYPE value(newElement);
    if (nIndex >= m_nSize) {
        SetSize(nIndex + nCount, -1);
    } else {
        int nOldSize = m_nSize;
        SetSize(m_nSize + nCount, -1);
        for (int i = nOldSize - 1; i >= nIndex; i--) m_pData[i + nCount] = std::move(m_pData[i]);
    }
    for (int i = 0; i < nCount; i++) m_pData[nIndex + i] = value;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::RemoveAt(int nIndex, int nCount) {
    ASSERT(nIndex >= 0 && nCount >= 0 && nIndex + nCount <= m_nSize);
    if (nIndex < 0 || nCount <= 0 || nIndex > m_nSize - nCount) return;
    for (int i = nIndex + nCount; i < m_nSize; i++) m_pData[i - nCount] = std::move(m_pData[i]);
    rcv_coll::DestructElements(m_pData + m_nSize - nCount, nCount);
    m_nSize -= nCount;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::InsertAt(int nStartIndex, CArray* pNewArray) {
    ASSERT(pNewArray != nullptr && nStartIndex >= 0);
    if (pNewArray == nullptr || pNewArray->GetSize() == 0) return;
    if (pNewArray == this) {
        CArray copy;
        copy.Copy(*this);
        InsertAt(nStartIndex, &copy);
        return;
    }
    InsertAt(nStartIndex, pNewArray->m_pData[0], pNewArray->GetSize());
    for (int i = 1; i < pNewArray->GetSize(); i++) m_pData[nStartIndex + i] = pNewArray->m_pData[i];
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::Serialize(CArchive& ar) {
    CObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteCount(DWORD(m_nSize));
    } else {
        DWORD nCount = ar.ReadCount();
        AfxCheckCollectionCount(ar, nCount, rcv_coll::MinArchiveBytes<TYPE>());
        SetSize(int(nCount), -1);
    }
    SerializeElements(ar, m_pData, m_nSize);
}

// ---------------------------------------------------------------- CList

template <class TYPE, class ARG_TYPE = const TYPE&>
class CList : public CObject {
protected:
    struct CNode {
        CNode(CNode* prev, CNode* next, ARG_TYPE value) : pNext(next), pPrev(prev), data(value) {}
        CNode* pNext;
        CNode* pPrev;
        TYPE data;
    };

public:
    typedef TYPE BASE_TYPE;
    typedef ARG_TYPE BASE_ARG_TYPE;

    explicit CList(int nBlockSize = 10) { (void)nBlockSize; }
    CList(const CList&) = delete;
    CList& operator=(const CList&) = delete;
    ~CList() override { RemoveAll(); }

    int GetCount() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    TYPE& GetHead() { return NonEmpty(m_pNodeHead)->data; }
    TYPE GetHead() const { return NonEmpty(m_pNodeHead)->data; }
    TYPE& GetTail() { return NonEmpty(m_pNodeTail)->data; }
    TYPE GetTail() const { return NonEmpty(m_pNodeTail)->data; }

    TYPE RemoveHead();
    TYPE RemoveTail();

    POSITION AddHead(ARG_TYPE newElement);
    POSITION AddTail(ARG_TYPE newElement);
    void AddHead(CList* pNewList);
    void AddTail(CList* pNewList);

    void RemoveAll();

    POSITION GetHeadPosition() const { return ToPos(m_pNodeHead); }
    POSITION GetTailPosition() const { return ToPos(m_pNodeTail); }
    TYPE& GetNext(POSITION& rPosition) {
        CNode* pNode = FromPos(rPosition);
        rPosition = ToPos(pNode->pNext);
        return pNode->data;
    }
    TYPE GetNext(POSITION& rPosition) const {
        CNode* pNode = FromPos(rPosition);
        rPosition = ToPos(pNode->pNext);
        return pNode->data;
    }
    TYPE& GetPrev(POSITION& rPosition) {
        CNode* pNode = FromPos(rPosition);
        rPosition = ToPos(pNode->pPrev);
        return pNode->data;
    }
    TYPE GetPrev(POSITION& rPosition) const {
        CNode* pNode = FromPos(rPosition);
        rPosition = ToPos(pNode->pPrev);
        return pNode->data;
    }

    TYPE& GetAt(POSITION position) { return FromPos(position)->data; }
    TYPE GetAt(POSITION position) const { return FromPos(position)->data; }
    void SetAt(POSITION pos, ARG_TYPE newElement) { FromPos(pos)->data = newElement; }
    void RemoveAt(POSITION position);

    POSITION InsertBefore(POSITION position, ARG_TYPE newElement);
    POSITION InsertAfter(POSITION position, ARG_TYPE newElement);

    POSITION Find(ARG_TYPE searchValue, POSITION startAfter = nullptr) const;
    POSITION FindIndex(int nIndex) const;

    void Serialize(CArchive& ar) override;

protected:
    static POSITION ToPos(CNode* pNode) { return reinterpret_cast<POSITION>(pNode); }
    static CNode* FromPos(POSITION pos) {
        ASSERT(pos != nullptr && pos != BEFORE_START_POSITION);
        return reinterpret_cast<CNode*>(pos);
    }
    static CNode* NonEmpty(CNode* pNode) {
        ASSERT(pNode != nullptr);
        return pNode;
    }
    void FreeNode(CNode* pNode);

    CNode* m_pNodeHead = nullptr;
    CNode* m_pNodeTail = nullptr;
    int m_nCount = 0;
};

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::FreeNode(CNode* pNode) {
    delete pNode;
    m_nCount--;
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::RemoveAll() {
    CNode* pNode = m_pNodeHead;
    while (pNode != nullptr) {
        CNode* pNext = pNode->pNext;
        delete pNode;
        pNode = pNext;
    }
    m_pNodeHead = m_pNodeTail = nullptr;
    m_nCount = 0;
}

template <class TYPE, class ARG_TYPE>
TYPE CList<TYPE, ARG_TYPE>::RemoveHead() {
    CNode* pOld = NonEmpty(m_pNodeHead);
    TYPE value(std::move(pOld->data));
    m_pNodeHead = pOld->pNext;
    if (m_pNodeHead != nullptr)
        m_pNodeHead->pPrev = nullptr;
    else
        m_pNodeTail = nullptr;
    FreeNode(pOld);
    return value;
}

template <class TYPE, class ARG_TYPE>
TYPE CList<TYPE, ARG_TYPE>::RemoveTail() {
    CNode* pOld = NonEmpty(m_pNodeTail);
    TYPE value(std::move(pOld->data));
    m_pNodeTail = pOld->pPrev;
    if (m_pNodeTail != nullptr)
        m_pNodeTail->pNext = nullptr;
    else
        m_pNodeHead = nullptr;
    FreeNode(pOld);
    return value;
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::AddHead(ARG_TYPE newElement) {
    CNode* pNew = new CNode(nullptr, m_pNodeHead, newElement);
    if (m_pNodeHead != nullptr)
        m_pNodeHead->pPrev = pNew;
    else
        m_pNodeTail = pNew;
    m_pNodeHead = pNew;
    m_nCount++;
    return ToPos(pNew);
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::AddTail(ARG_TYPE newElement) {
    CNode* pNew = new CNode(m_pNodeTail, nullptr, newElement);
    if (m_pNodeTail != nullptr)
        m_pNodeTail->pNext = pNew;
    else
        m_pNodeHead = pNew;
    m_pNodeTail = pNew;
    m_nCount++;
    return ToPos(pNew);
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::AddHead(CList* pNewList) {
    ASSERT(pNewList != nullptr);
    // Walk a fixed number of nodes so a list can be added to itself.
    int n = pNewList->GetCount();
    POSITION pos = pNewList->GetTailPosition();
    for (int i = 0; i < n; i++) AddHead(pNewList->GetPrev(pos));
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::AddTail(CList* pNewList) {
    ASSERT(pNewList != nullptr);
    int n = pNewList->GetCount();
    POSITION pos = pNewList->GetHeadPosition();
    for (int i = 0; i < n; i++) AddTail(pNewList->GetNext(pos));
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::RemoveAt(POSITION position) {
    CNode* pOld = FromPos(position);
    if (pOld == m_pNodeHead)
        m_pNodeHead = pOld->pNext;
    else
        pOld->pPrev->pNext = pOld->pNext;
    if (pOld == m_pNodeTail)
        m_pNodeTail = pOld->pPrev;
    else
        pOld->pNext->pPrev = pOld->pPrev;
    FreeNode(pOld);
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::InsertBefore(POSITION position, ARG_TYPE newElement) {
    if (position == nullptr) return AddHead(newElement);
    CNode* pOld = FromPos(position);
    CNode* pNew = new CNode(pOld->pPrev, pOld, newElement);
    if (pOld->pPrev != nullptr)
        pOld->pPrev->pNext = pNew;
    else
        m_pNodeHead = pNew;
    pOld->pPrev = pNew;
    m_nCount++;
    return ToPos(pNew);
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::InsertAfter(POSITION position, ARG_TYPE newElement) {
    if (position == nullptr) return AddTail(newElement);
    CNode* pOld = FromPos(position);
    CNode* pNew = new CNode(pOld, pOld->pNext, newElement);
    if (pOld->pNext != nullptr)
        pOld->pNext->pPrev = pNew;
    else
        m_pNodeTail = pNew;
    pOld->pNext = pNew;
    m_nCount++;
    return ToPos(pNew);
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::Find(ARG_TYPE searchValue, POSITION startAfter) const {
    using Arg = rcv_coll::Bare<ARG_TYPE>;
    const Arg& value = searchValue;
    CNode* pNode = startAfter == nullptr ? m_pNodeHead : FromPos(startAfter)->pNext;
    for (; pNode != nullptr; pNode = pNode->pNext)
        if (CompareElements<TYPE, Arg>(&pNode->data, &value)) return ToPos(pNode);
    return nullptr;
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::FindIndex(int nIndex) const {
    if (nIndex < 0 || nIndex >= m_nCount) return nullptr;
    CNode* pNode = m_pNodeHead;
    while (nIndex-- > 0) pNode = pNode->pNext;
    return ToPos(pNode);
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::Serialize(CArchive& ar) {
    CObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteCount(DWORD(m_nCount));
        for (CNode* pNode = m_pNodeHead; pNode != nullptr; pNode = pNode->pNext)
            SerializeElements(ar, &pNode->data, 1);
    } else {
        DWORD nCount = ar.ReadCount();
        AfxCheckCollectionCount(ar, nCount, rcv_coll::MinArchiveBytes<TYPE>());
        for (DWORD i = 0; i < nCount; i++) {
            TYPE newData{};
            SerializeElements(ar, &newData, 1);
            AddTail(newData);
        }
    }
}

// ---------------------------------------------------------------- CMap

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap : public CObject {
protected:
    struct CAssoc {
        CAssoc(ARG_KEY k, UINT nHash) : pNext(nullptr), nHashValue(nHash), key(k), value() {}
        CAssoc* pNext;
        UINT nHashValue;  // bucket index
        KEY key;
        VALUE value;
    };

public:
    typedef KEY BASE_KEY;
    typedef ARG_KEY BASE_ARG_KEY;
    typedef VALUE BASE_VALUE;
    typedef ARG_VALUE BASE_ARG_VALUE;

    explicit CMap(int nBlockSize = 10) { (void)nBlockSize; }
    CMap(const CMap&) = delete;
    CMap& operator=(const CMap&) = delete;
    ~CMap() override { RemoveAll(); }

    int GetCount() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    BOOL Lookup(ARG_KEY key, VALUE& rValue) const;
    VALUE& operator[](ARG_KEY key);
    void SetAt(ARG_KEY key, ARG_VALUE newValue) { (*this)[key] = newValue; }
    BOOL RemoveKey(ARG_KEY key);
    void RemoveAll();

    POSITION GetStartPosition() const { return m_nCount == 0 ? nullptr : BEFORE_START_POSITION; }
    void GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const;

    UINT GetHashTableSize() const { return m_nHashTableSize; }
    void InitHashTable(UINT hashSize, BOOL bAllocNow = TRUE);

    void Serialize(CArchive& ar) override;

protected:
    CAssoc* GetAssocAt(ARG_KEY key, UINT& nHash) const;

    CAssoc** m_pHashTable = nullptr;
    UINT m_nHashTableSize = 17;
    int m_nCount = 0;
};

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::InitHashTable(UINT hashSize, BOOL bAllocNow) {
    ASSERT(m_nCount == 0 && hashSize > 0);
    if (hashSize == 0) hashSize = 17;
    if (m_pHashTable != nullptr) {
        delete[] m_pHashTable;
        m_pHashTable = nullptr;
    }
    if (bAllocNow) {
        try {
            m_pHashTable = new CAssoc*[hashSize]();
        } catch (const std::bad_alloc&) {
            AfxThrowCollectionMemory();
        }
    }
    m_nHashTableSize = hashSize;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::RemoveAll() {
    if (m_pHashTable != nullptr) {
        for (UINT n = 0; n < m_nHashTableSize; n++) {
            CAssoc* pAssoc = m_pHashTable[n];
            while (pAssoc != nullptr) {
                CAssoc* pNext = pAssoc->pNext;
                delete pAssoc;
                pAssoc = pNext;
            }
        }
        delete[] m_pHashTable;
        m_pHashTable = nullptr;
    }
    m_nCount = 0;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
typename CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::CAssoc* CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::GetAssocAt(
    ARG_KEY key, UINT& nHash) const {
    nHash = HashKey<ARG_KEY>(key) % m_nHashTableSize;
    if (m_pHashTable == nullptr) return nullptr;
    using Arg = rcv_coll::Bare<ARG_KEY>;
    const Arg& k = key;
    for (CAssoc* pAssoc = m_pHashTable[nHash]; pAssoc != nullptr; pAssoc = pAssoc->pNext)
        if (CompareElements<KEY, Arg>(&pAssoc->key, &k)) return pAssoc;
    return nullptr;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
BOOL CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::Lookup(ARG_KEY key, VALUE& rValue) const {
    UINT nHash;
    CAssoc* pAssoc = GetAssocAt(key, nHash);
    if (pAssoc == nullptr) return FALSE;
    rValue = pAssoc->value;
    return TRUE;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
VALUE& CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::operator[](ARG_KEY key) {
    UINT nHash;
    CAssoc* pAssoc = GetAssocAt(key, nHash);
    if (pAssoc == nullptr) {
        if (m_pHashTable == nullptr) InitHashTable(m_nHashTableSize);
        pAssoc = new CAssoc(key, nHash);
        // New entries go to the front of their bucket.
        pAssoc->pNext = m_pHashTable[nHash];
        m_pHashTable[nHash] = pAssoc;
        m_nCount++;
    }
    return pAssoc->value;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
BOOL CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::RemoveKey(ARG_KEY key) {
    if (m_pHashTable == nullptr) return FALSE;
    using Arg = rcv_coll::Bare<ARG_KEY>;
    const Arg& k = key;
    CAssoc** ppPrev = &m_pHashTable[HashKey<ARG_KEY>(key) % m_nHashTableSize];
    for (CAssoc* pAssoc = *ppPrev; pAssoc != nullptr; pAssoc = pAssoc->pNext) {
        if (CompareElements<KEY, Arg>(&pAssoc->key, &k)) {
            *ppPrev = pAssoc->pNext;
            delete pAssoc;
            m_nCount--;
            return TRUE;
        }
        ppPrev = &pAssoc->pNext;
    }
    return FALSE;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::GetNextAssoc(POSITION& rNextPosition, KEY& rKey,
                                                      VALUE& rValue) const {
    ASSERT(m_pHashTable != nullptr && rNextPosition != nullptr);
    CAssoc* pAssocRet = reinterpret_cast<CAssoc*>(rNextPosition);
    if (rNextPosition == BEFORE_START_POSITION) {
        pAssocRet = nullptr;
        for (UINT n = 0; n < m_nHashTableSize && pAssocRet == nullptr; n++) pAssocRet = m_pHashTable[n];
    }
    CAssoc* pAssocNext = pAssocRet->pNext;
    for (UINT n = pAssocRet->nHashValue + 1; pAssocNext == nullptr && n < m_nHashTableSize; n++)
        pAssocNext = m_pHashTable[n];
    rNextPosition = reinterpret_cast<POSITION>(pAssocNext);
    rKey = pAssocRet->key;
    rValue = pAssocRet->value;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::Serialize(CArchive& ar) {
    CObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteCount(DWORD(m_nCount));
        if (m_nCount == 0) return;
        for (UINT n = 0; n < m_nHashTableSize; n++) {
            for (CAssoc* pAssoc = m_pHashTable[n]; pAssoc != nullptr; pAssoc = pAssoc->pNext) {
                SerializeElements(ar, &pAssoc->key, 1);
                SerializeElements(ar, &pAssoc->value, 1);
            }
        }
    } else {
        DWORD nCount = ar.ReadCount();
        AfxCheckCollectionCount(ar, nCount,
                                rcv_coll::MinArchiveBytes<KEY>() + rcv_coll::MinArchiveBytes<VALUE>());
        for (DWORD i = 0; i < nCount; i++) {
            KEY newKey{};
            VALUE newValue{};
            SerializeElements(ar, &newKey, 1);
            SerializeElements(ar, &newValue, 1);
            (*this)[newKey] = newValue;
        }
    }
}

// ------------------------------------------------- typed pointer wrappers

template <class BASE_CLASS, class TYPE>
class CTypedPtrList : public BASE_CLASS {
    typedef typename BASE_CLASS::BASE_TYPE BaseElem;

public:
    explicit CTypedPtrList(int nBlockSize = 10) : BASE_CLASS(nBlockSize) {}

    TYPE& GetHead() { return (TYPE&)BASE_CLASS::GetHead(); }
    TYPE GetHead() const { return (TYPE)BASE_CLASS::GetHead(); }
    TYPE& GetTail() { return (TYPE&)BASE_CLASS::GetTail(); }
    TYPE GetTail() const { return (TYPE)BASE_CLASS::GetTail(); }
    TYPE RemoveHead() { return (TYPE)BASE_CLASS::RemoveHead(); }
    TYPE RemoveTail() { return (TYPE)BASE_CLASS::RemoveTail(); }
    TYPE& GetNext(POSITION& rPosition) { return (TYPE&)BASE_CLASS::GetNext(rPosition); }
    TYPE GetNext(POSITION& rPosition) const { return (TYPE)BASE_CLASS::GetNext(rPosition); }
    TYPE& GetPrev(POSITION& rPosition) { return (TYPE&)BASE_CLASS::GetPrev(rPosition); }
    TYPE GetPrev(POSITION& rPosition) const { return (TYPE)BASE_CLASS::GetPrev(rPosition); }
    TYPE& GetAt(POSITION position) { return (TYPE&)BASE_CLASS::GetAt(position); }
    TYPE GetAt(POSITION position) const { return (TYPE)BASE_CLASS::GetAt(position); }
    void SetAt(POSITION pos, TYPE newElement) { BASE_CLASS::SetAt(pos, BaseElem(newElement)); }

    POSITION AddHead(TYPE newElement) { return BASE_CLASS::AddHead(BaseElem(newElement)); }
    POSITION AddTail(TYPE newElement) { return BASE_CLASS::AddTail(BaseElem(newElement)); }
    void AddHead(CTypedPtrList* pNewList) { BASE_CLASS::AddHead(static_cast<BASE_CLASS*>(pNewList)); }
    void AddTail(CTypedPtrList* pNewList) { BASE_CLASS::AddTail(static_cast<BASE_CLASS*>(pNewList)); }
    POSITION InsertBefore(POSITION position, TYPE newElement) {
        return BASE_CLASS::InsertBefore(position, BaseElem(newElement));
    }
    POSITION InsertAfter(POSITION position, TYPE newElement) {
        return BASE_CLASS::InsertAfter(position, BaseElem(newElement));
    }
    POSITION Find(TYPE searchValue, POSITION startAfter = nullptr) const {
        return BASE_CLASS::Find(BaseElem(searchValue), startAfter);
    }
};

template <class BASE_CLASS, class TYPE>
class CTypedPtrArray : public BASE_CLASS {
    typedef typename BASE_CLASS::BASE_TYPE BaseElem;

public:
    TYPE GetAt(int nIndex) const { return (TYPE)BASE_CLASS::GetAt(nIndex); }
    TYPE& ElementAt(int nIndex) { return (TYPE&)BASE_CLASS::ElementAt(nIndex); }
    void SetAt(int nIndex, TYPE ptr) { BASE_CLASS::SetAt(nIndex, BaseElem(ptr)); }
    void SetAtGrow(int nIndex, TYPE newElement) { BASE_CLASS::SetAtGrow(nIndex, BaseElem(newElement)); }
    int Add(TYPE newElement) { return BASE_CLASS::Add(BaseElem(newElement)); }
    int Append(const CTypedPtrArray& src) { return BASE_CLASS::Append(src); }
    void Copy(const CTypedPtrArray& src) { BASE_CLASS::Copy(src); }
    void InsertAt(int nIndex, TYPE newElement, int nCount = 1) {
        BASE_CLASS::InsertAt(nIndex, BaseElem(newElement), nCount);
    }
    void InsertAt(int nStartIndex, CTypedPtrArray* pNewArray) {
        BASE_CLASS::InsertAt(nStartIndex, static_cast<BASE_CLASS*>(pNewArray));
    }
    TYPE operator[](int nIndex) const { return GetAt(nIndex); }
    TYPE& operator[](int nIndex) { return ElementAt(nIndex); }
};

// ------------------------------------------------ ready-made collections

class CObList : public CList<CObject*, CObject*> {
    DECLARE_SERIAL(CObList)
public:
    explicit CObList(int nBlockSize = 10) : CList(nBlockSize) {}
};

class CPtrList : public CList<void*, void*> {
    DECLARE_DYNAMIC(CPtrList)
public:
    explicit CPtrList(int nBlockSize = 10) : CList(nBlockSize) {}
};

class CStringList : public CList<CString, LPCTSTR> {
    DECLARE_SERIAL(CStringList)
public:
    explicit CStringList(int nBlockSize = 10) : CList(nBlockSize) {}
};

class CObArray : public CArray<CObject*, CObject*> {
    DECLARE_SERIAL(CObArray)
};

class CPtrArray : public CArray<void*, void*> {
    DECLARE_DYNAMIC(CPtrArray)
};

class CStringArray : public CArray<CString, LPCTSTR> {
    DECLARE_SERIAL(CStringArray)
};

class CDWordArray : public CArray<DWORD, DWORD> {
    DECLARE_SERIAL(CDWordArray)
};

class CWordArray : public CArray<WORD, WORD> {
    DECLARE_SERIAL(CWordArray)
};

class CByteArray : public CArray<BYTE, BYTE> {
    DECLARE_SERIAL(CByteArray)
};

class CUIntArray : public CArray<UINT, UINT> {
    DECLARE_DYNAMIC(CUIntArray)
};

class CMapStringToPtr : public CMap<CString, LPCTSTR, void*, void*> {
    DECLARE_DYNAMIC(CMapStringToPtr)
public:
    explicit CMapStringToPtr(int nBlockSize = 10) : CMap(nBlockSize) {}
};

class CMapStringToOb : public CMap<CString, LPCTSTR, CObject*, CObject*> {
    DECLARE_SERIAL(CMapStringToOb)
public:
    explicit CMapStringToOb(int nBlockSize = 10) : CMap(nBlockSize) {}
};

class CMapStringToString : public CMap<CString, LPCTSTR, CString, LPCTSTR> {
    DECLARE_SERIAL(CMapStringToString)
public:
    explicit CMapStringToString(int nBlockSize = 10) : CMap(nBlockSize) {}
};

class CMapPtrToPtr : public CMap<void*, void*, void*, void*> {
    DECLARE_DYNAMIC(CMapPtrToPtr)
public:
    explicit CMapPtrToPtr(int nBlockSize = 10) : CMap(nBlockSize) {}
};

class CMapWordToPtr : public CMap<WORD, WORD, void*, void*> {
    DECLARE_DYNAMIC(CMapWordToPtr)
public:
    explicit CMapWordToPtr(int nBlockSize = 10) : CMap(nBlockSize) {}
};

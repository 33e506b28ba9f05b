#include "platform/mfc/Sync.h"

#include <chrono>

IMPLEMENT_DYNAMIC(CSyncObject, CObject)
IMPLEMENT_DYNAMIC(CCriticalSection, CSyncObject)

// ---------------------------------------------------------------- CSyncObject
CSyncObject::CSyncObject(LPCTSTR) : m_hObject(nullptr) {}

CSyncObject::~CSyncObject() = default;

BOOL CSyncObject::Lock(DWORD)
{
    return FALSE;  // nothing to wait on at this level
}

BOOL CSyncObject::Unlock(LONG, LPLONG)
{
    return TRUE;
}

// ---------------------------------------------------------------- CCriticalSection
CCriticalSection::CCriticalSection() : CSyncObject(nullptr), m_owner(std::thread::id()), m_nDepth(0) {}

CCriticalSection::~CCriticalSection() = default;

BOOL CCriticalSection::Lock(DWORD dwTimeout)
{
    if (dwTimeout == INFINITE) {
        m_mutex.lock();
    } else if (!m_mutex.try_lock_for(std::chrono::milliseconds(dwTimeout))) {
        return FALSE;
    }
    m_owner.store(std::this_thread::get_id());
    ++m_nDepth;
    return TRUE;
}

BOOL CCriticalSection::Unlock()
{
    if (!IsHeldByCurrentThread()) return FALSE;
    if (--m_nDepth == 0) m_owner.store(std::thread::id());
    m_mutex.unlock();
    return TRUE;
}

BOOL CCriticalSection::IsHeldByCurrentThread() const
{
    return m_owner.load() == std::this_thread::get_id();
}

// ---------------------------------------------------------------- CSingleLock
CSingleLock::CSingleLock(CSyncObject* pObject, BOOL bInitialLock)
    : m_pObject(pObject), m_hObject(pObject ? pObject->m_hObject : nullptr), m_bAcquired(FALSE)
{
    if (bInitialLock) Lock();
}

CSingleLock::~CSingleLock()
{
    Unlock();
}

BOOL CSingleLock::Lock(DWORD dwTimeOut)
{
    if (!m_pObject) return FALSE;
    if (!m_bAcquired) m_bAcquired = m_pObject->Lock(dwTimeOut);
    return m_bAcquired;
}

BOOL CSingleLock::Unlock()
{
    if (m_bAcquired) m_bAcquired = !m_pObject->Unlock();
    return !m_bAcquired;
}

BOOL CSingleLock::Unlock(LONG lCount, LPLONG lPrevCount)
{
    if (m_bAcquired) m_bAcquired = !m_pObject->Unlock(lCount, lPrevCount);
    return !m_bAcquired;
}

// Synchronisation objects of the class library: the critical section and
// the single lock over it.  A critical section is recursive, like the
// system's, and Lock honours its time-out.
#pragma once

#include "platform/win32.h"
#include "platform/mfc/Object.h"

#include <atomic>
#include <mutex>
#include <thread>

class CSyncObject : public CObject {
    DECLARE_DYNAMIC(CSyncObject)
public:
    explicit CSyncObject(LPCTSTR pstrName);
    ~CSyncObject() override;

    // TRUE once the object is held; FALSE when the time-out ran out.
    virtual BOOL Lock(DWORD dwTimeout = INFINITE);
    virtual BOOL Unlock() = 0;
    virtual BOOL Unlock(LONG lCount, LPLONG lpPrevCount = nullptr);

    operator HANDLE() const { return m_hObject; }

    HANDLE m_hObject;

private:
    CSyncObject(const CSyncObject&) = delete;
    CSyncObject& operator=(const CSyncObject&) = delete;
};

class CCriticalSection : public CSyncObject {
    DECLARE_DYNAMIC(CCriticalSection)
public:
    CCriticalSection();
    ~CCriticalSection() override;

    BOOL Lock() { return Lock(INFINITE); }
    BOOL Lock(DWORD dwTimeout) override;
    // FALSE when the calling thread does not hold the section.
    BOOL Unlock() override;
    using CSyncObject::Unlock;

    // Whether the calling thread holds the section.
    BOOL IsHeldByCurrentThread() const;

private:
    std::recursive_timed_mutex m_mutex;
    std::atomic<std::thread::id> m_owner;
    int m_nDepth;  // changed only by the owner
};

class CSingleLock {
public:
    explicit CSingleLock(CSyncObject* pObject, BOOL bInitialLock = FALSE);
    ~CSingleLock();

    // Waits up to dwTimeOut milliseconds; a lock already held stays held.
    BOOL Lock(DWORD dwTimeOut = INFINITE);
    BOOL Unlock();
    BOOL Unlock(LONG lCount, LPLONG lPrevCount = nullptr);
    BOOL IsLocked() { return m_bAcquired; }

protected:
    CSyncObject* m_pObject;
    HANDLE m_hObject;
    BOOL m_bAcquired;

private:
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;
};

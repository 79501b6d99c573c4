// SharedLock.h - the reader/writer lock of the benchmark's peer map.
//
// std::shared_mutex natively; on Windows an SRWLOCK, because the mingw
// std::shared_mutex (over winpthreads' rwlock) lost updates or deadlocked
// in stress runs.
#pragma once

#ifdef _WIN32
#include <windows.h>

class CSharedLock
{
public:
    void lock() { AcquireSRWLockExclusive(&m_lock); }
    void unlock() { ReleaseSRWLockExclusive(&m_lock); }
    void lock_shared() { AcquireSRWLockShared(&m_lock); }
    void unlock_shared() { ReleaseSRWLockShared(&m_lock); }

private:
    SRWLOCK m_lock = SRWLOCK_INIT;
};
#else
#include <shared_mutex>

typedef std::shared_mutex CSharedLock;
#endif

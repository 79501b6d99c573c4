// CriticalSection.h - CCriticalSection, a Win32 critical section, and
// CCriticalSectionLock, which holds one for a scope.
//
// The section is usable only between its constructor and destructor: a
// static one must not be entered by code that can run before its module's
// static constructors have reached it. Recursive entry by the owning thread
// is allowed, as with the Win32 object.
#pragma once

#include "Types.h"

class CCriticalSection
{
public:
    CCriticalSection();
    ~CCriticalSection();
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    // Both always TRUE: entering a Win32 critical section waits, it cannot fail.
    BOOL Lock();
    BOOL Unlock();

private:
    CRITICAL_SECTION m_sect;
};

class CCriticalSectionLock
{
public:
    explicit CCriticalSectionLock(CCriticalSection& section) : m_section(section)
    {
        m_section.Lock();
    }
    ~CCriticalSectionLock() { m_section.Unlock(); }
    CCriticalSectionLock(const CCriticalSectionLock&) = delete;
    CCriticalSectionLock& operator=(const CCriticalSectionLock&) = delete;

private:
    CCriticalSection& m_section;
};

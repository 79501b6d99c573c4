// AutoHandle.h - CAutoHandle owns one kernel handle and closes it.
// Holds null or INVALID_HANDLE_VALUE when empty, as the call that made it
// returned.
#pragma once

#include "Types.h"

class CAutoHandle
{
public:
    explicit CAutoHandle(HANDLE h = nullptr) : m_h(h) {}
    ~CAutoHandle()
    {
        if (IsValid())
            ::CloseHandle(m_h);
    }
    CAutoHandle(const CAutoHandle&) = delete;
    CAutoHandle& operator=(const CAutoHandle&) = delete;

    operator HANDLE() const { return m_h; }
    BOOL IsValid() const { return m_h != nullptr && m_h != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_h;
};

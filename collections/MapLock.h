// MapLock.h - the maps' spin reader/writer lock on one 32-bit word.
//
// The low 16 bits count shared holders; a thread that holds or requests the
// lock exclusively adds 0x10000. A request that finds the other side present
// takes its own increment back and yields before it tries again, so nothing
// ever blocks in the kernel.
//
// Limits: not recursive (a thread asking again while it holds the lock
// exclusively waits for itself); no queue and no fairness: readers that keep
// arriving can hold off a writer.
//
// Performance: an uncontended acquire and release is two atomic adds on the
// map's own word; readers share that cache line with each other.
#pragma once

#include "MapPort.h"

#include <atomic>

typedef std::atomic<int32_t> CMapLockWord;

class CMapReadLock
{
public:
    explicit CMapReadLock(CMapLockWord& nWord) noexcept : m_nWord(nWord)
    {
        while (m_nWord.fetch_add(1, std::memory_order_acquire) + 1 >= s_nWriter)
        {
            m_nWord.fetch_sub(1, std::memory_order_relaxed);
            MapYield();
        }
    }
    ~CMapReadLock() { m_nWord.fetch_sub(1, std::memory_order_release); }
    CMapReadLock(const CMapReadLock&) = delete;
    CMapReadLock& operator=(const CMapReadLock&) = delete;

    static constexpr int32_t s_nWriter = 0x10000;

private:
    CMapLockWord& m_nWord;
};

class CMapWriteLock
{
public:
    explicit CMapWriteLock(CMapLockWord& nWord) noexcept : m_nWord(nWord)
    {
        while (m_nWord.fetch_add(CMapReadLock::s_nWriter, std::memory_order_acquire) != 0)
        {
            m_nWord.fetch_sub(CMapReadLock::s_nWriter, std::memory_order_relaxed);
            MapYield();
        }
    }
    ~CMapWriteLock() { m_nWord.fetch_sub(CMapReadLock::s_nWriter, std::memory_order_release); }
    CMapWriteLock(const CMapWriteLock&) = delete;
    CMapWriteLock& operator=(const CMapWriteLock&) = delete;

private:
    CMapLockWord& m_nWord;
};

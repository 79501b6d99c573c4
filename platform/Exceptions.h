// Exceptions.h - the platform's exception family.
//
// Exceptions are thrown by value and caught by reference
// (catch (CArchiveException& e)); nothing is ever thrown with new, so no
// handler has a Delete() to remember. CException derives from std::exception
// so that a catch-all in a test or a host reports something readable.
#pragma once

#include "Types.h"

#include <exception>

class CException : public std::exception
{
public:
    const char* what() const noexcept override { return "platform exception"; }
};

// Raised by archive readers and writers; m_cause says why.
class CArchiveException : public CException
{
public:
    enum
    {
        none = 0,
        genericException = 1,
        readOnly = 2,  // store into an archive opened for loading
        endOfFile = 3, // the data ended before a field could be read
        writeOnly = 4, // load from an archive opened for storing
        badIndex = 5,  // object reference to nothing loaded, or to the wrong kind
        badClass = 6,  // unknown class, or not the class the reader asked for
        badSchema = 7  // class known, but stored with another schema number
    };

    explicit CArchiveException(int cause = none) noexcept : m_cause(cause) {}
    const char* what() const noexcept override;

    int m_cause;
};

// Raised by CDiskFile and CMemFile; archives turn nothing into this.
class CFileException : public CException
{
public:
    enum
    {
        none = 0,
        genericException = 1,
        accessDenied = 2, // write to a read-only file
        badSeek = 3,      // seek before the start
        diskFull = 4      // the device took fewer bytes than written
    };

    explicit CFileException(int cause = none) noexcept : m_cause(cause) {}
    const char* what() const noexcept override { return "file exception"; }

    int m_cause;
};

class CMemoryException : public CException
{
public:
    const char* what() const noexcept override { return "out of memory"; }
};

// An index, size, position or parameter outside what the callee accepts.
class CInvalidArgException : public CException
{
public:
    const char* what() const noexcept override { return "invalid argument"; }
};

[[noreturn]] void AfxThrowArchiveException(int nCause);
[[noreturn]] void AfxThrowFileException(int nCause);
[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowInvalidArgException();

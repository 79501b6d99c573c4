#include "Exceptions.h"

const char* CArchiveException::what() const noexcept
{
    static const char* const s_aszCauses[] = {"archive: no error",
                                              "archive: generic error",
                                              "archive: store into a loading archive",
                                              "archive: unexpected end of data",
                                              "archive: load from a storing archive",
                                              "archive: bad object index",
                                              "archive: bad class",
                                              "archive: bad schema"};
    if (m_cause >= 0 && m_cause < static_cast<int>(sizeof(s_aszCauses) / sizeof(s_aszCauses[0])))
        return s_aszCauses[m_cause];
    return "archive: unknown cause";
}

void AfxThrowArchiveException(int nCause)
{
    throw CArchiveException(nCause);
}

void AfxThrowFileException(int nCause)
{
    throw CFileException(nCause);
}

void AfxThrowMemoryException()
{
    throw CMemoryException();
}

void AfxThrowInvalidArgException()
{
    throw CInvalidArgException();
}

#include "DiskFile.h"
#include "TestSupport.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace
{

class FileTest : public CPlatformTest
{
};

TEST_F(FileTest, MemFileReadsWritesAndSeeks)
{
    CMemFile file(4);
    file.Write("abcdef", 6);
    EXPECT_EQ(6u, file.GetLength());
    EXPECT_EQ(6u, file.GetPosition());
    file.SeekToBegin();
    char ach[8] = {};
    EXPECT_EQ(4u, file.Read(ach, 4));
    EXPECT_EQ(2u, file.GetBytesRemaining());
    EXPECT_EQ(2u, file.Read(ach, 8));
    EXPECT_EQ(0u, file.Read(ach, 8));

    EXPECT_EQ(9u, file.Seek(3, CFile::end));
    file.Write("z", 1);
    EXPECT_EQ(0, std::memcmp(file.GetData(), "abcdef\0\0\0z", 10)) << "gap filled with zeros";
    EXPECT_EQ(8u, file.Seek(-2, CFile::current));
    EXPECT_THROW(file.Seek(-1, CFile::begin), CFileException);

    BYTE* pDetached = file.Detach();
    ASSERT_NE(nullptr, pDetached);
    EXPECT_EQ('z', pDetached[9]);
    AfxFreeMemory(pDetached);
    EXPECT_EQ(0u, file.GetLength());
}

TEST_F(FileTest, MemFileOverCallerBytesIsReadOnly)
{
    const BYTE ab[] = {1, 2, 3};
    CMemFile file(ab, sizeof ab);
    BYTE abRead[3];
    EXPECT_EQ(3u, file.Read(abRead, 3));
    EXPECT_EQ(3, abRead[2]);
    try
    {
        file.Write(ab, 1);
        ADD_FAILURE() << "write succeeded";
    }
    catch (CFileException& e)
    {
        EXPECT_EQ(CFileException::accessDenied, e.m_cause);
    }
    EXPECT_EQ(nullptr, file.Detach());
}

TEST_F(FileTest, DiskFileCarriesAnArchive)
{
    std::string strPath = ::testing::TempDir() + "platform_disk_file_test.bin";
    {
        CDiskFile file;
        ASSERT_TRUE(file.Open(strPath.c_str(), CDiskFile::modeCreate | CDiskFile::modeWrite));
        CArchive ar(&file, CArchive::store);
        CTestItem item("disk", 42);
        ar << &item << CString("tail");
        ar.Close();
    }
    {
        CDiskFile file;
        ASSERT_TRUE(file.Open(strPath.c_str(), CDiskFile::modeRead));
        ULONGLONG nLength = file.GetLength();
        EXPECT_EQ(2u + 2u + 2u + 9u + 5u + 4u + 5u, nLength);
        CArchive ar(&file, CArchive::load);
        CTestItem* pItem = nullptr;
        CString strTail;
        ar >> pItem >> strTail;
        ASSERT_NE(nullptr, pItem);
        EXPECT_EQ(42u, pItem->m_nValue);
        delete pItem;
        EXPECT_STREQ("tail", strTail);
        EXPECT_EQ(0u, ar.GetBytesAvailable());
        EXPECT_EQ(CArchiveException::endOfFile, ArchiveCauseOf(
                                                    [&]
                                                    {
                                                        BYTE by;
                                                        ar >> by;
                                                    }));
    }
    {
        CDiskFile file;
        ASSERT_TRUE(file.Open(strPath.c_str(), CDiskFile::modeReadWrite));
        file.Seek(0, CFile::end);
        file.Write("!", 1);
        file.SeekToBegin();
        BYTE ab[2];
        EXPECT_EQ(2u, file.Read(ab, 2));
        EXPECT_EQ(0xFF, ab[0]);
        EXPECT_EQ(30u, file.GetLength());
    }
    std::remove(strPath.c_str());

    CDiskFile missing;
    EXPECT_FALSE(missing.Open((strPath + ".missing").c_str(), CDiskFile::modeRead));
    EXPECT_FALSE(missing.IsOpen());
}

} // namespace

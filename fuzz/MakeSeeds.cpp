// Writes the seed corpora: valid records of every reader, so the fuzzers
// start from the formats rather than from noise.
//   fuzz_make_seeds DIR   -> DIR/<target>/<n>.bin
#include "FuzzSupport.h"

#include "Arrays.h"
#include "Maps.h"

#include <cstdio>
#include <functional>
#include <string>
#include <sys/stat.h>

namespace
{
std::string g_strRoot;

void WriteSeed(const std::string& strTarget, int nSeed, BYTE nSelector,
               const std::function<void(CArchive&)>& fn)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        if (nSelector != 0xFF)
            ar << nSelector;
        fn(ar);
        ar.Close();
    }
    std::string strDir = g_strRoot + "/" + strTarget;
    mkdir(strDir.c_str(), 0755);
    std::string strPath = strDir + "/" + std::to_string(nSeed) + ".bin";
    FILE* pFile = std::fopen(strPath.c_str(), "wb");
    if (pFile == nullptr)
        return;
    std::fwrite(file.GetData(), 1, static_cast<size_t>(file.GetLength()), pFile);
    std::fclose(pFile);
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    g_strRoot = argv[1];
    mkdir(g_strRoot.c_str(), 0755);

    const BYTE nNoSelector = 0xFF;
    WriteSeed("object_references", 1, nNoSelector,
              [](CArchive& ar)
              {
                  CFuzzNode a, b;
                  a.m_strName = "root";
                  a.m_pLeft = &b;
                  a.m_pRight = &a;
                  b.m_strName = "leaf";
                  b.m_pLeft = &a;
                  ar.WriteObject(&a);
                  ar.WriteObject(&b);
                  ar.WriteObject(nullptr);
              });

    WriteSeed("platform_records", 1, 0,
              [](CArchive& ar) { ar << CString("abc") << CString(300, 'x') << CString(); });
    WriteSeed("platform_records", 2, 1,
              [](CArchive& ar)
              {
                  ar.WriteCount(3);
                  ar.WriteCount(0xFFFF);
                  ar.WriteCount(0x12345678);
              });
    WriteSeed("platform_records", 3, 2,
              [](CArchive& ar)
              {
                  CMapStringToString map;
                  map["key"] = "value";
                  map["\xE4"] = "";
                  map.Serialize(ar);
              });
    WriteSeed("platform_records", 4, 3,
              [](CArchive& ar)
              {
                  CDWordArray a;
                  for (DWORD n = 1; n <= 4; ++n)
                      a.Add(n);
                  a.Serialize(ar);
              });
    WriteSeed("platform_records", 5, 4,
              [](CArchive& ar)
              {
                  CArray<ULONGLONG, ULONGLONG> a;
                  a.Add(1);
                  a.Add(0xFFFFFFFFFFull);
                  a.Serialize(ar);
              });
    CFuzzNode::DeleteAll();
    return 0;
}

// Writes the seed corpora: valid records of every reader, so the fuzzers
// start from the formats rather than from noise.
//   fuzz_make_seeds DIR   -> DIR/<target>/<n>.bin
#include "FuzzMapClasses.h"
#include "FuzzSupport.h"

#include "Arrays.h"
#include "DWord64Array.h"
#include "DWordArrayEx.h"
#include "Maps.h"
#include "MapStringToObEx.h"
#include "MapStringToPtrEx.h"
#include "MapStringToStringEx.h"
#include "MemIniSection.h"
#include "ObjectMaps.h"
#include "ScalarMaps.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <sys/stat.h>

namespace
{
std::string g_strRoot;
// A target whose input is the record alone.
const BYTE g_nNoSelector = 0xFF;

void WriteSeed(const std::string& strTarget, int nSeed, BYTE nSelector,
               const std::function<void(CArchive&)>& fn)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        if (nSelector != g_nNoSelector)
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

BYTE MapSelector(const char* pszClass)
{
    for (size_t i = 0; i < g_nFuzzMapClasses; ++i)
    {
        if (std::strcmp(g_aFuzzMapClasses[i].m_pszName, pszClass) == 0)
            return static_cast<BYTE>(i);
    }
    std::fprintf(stderr, "no fuzz selector for %s\n", pszClass);
    std::exit(1);
}

CFuzzNode* NewNode(const char* pszName, DWORD nValue)
{
    CFuzzNode* pNode = new CFuzzNode;
    pNode->m_strName = pszName;
    pNode->m_nValue = nValue;
    return pNode;
}

void* Number(UINT_PTR n)
{
    return reinterpret_cast<void*>(n);
}

// One seed per record form of the map family, with and without ownership,
// shared objects and a version-1 header.
void WriteMapFamilySeeds()
{
    WriteSeed("map_family", 1, MapSelector("CMapDWordToDWord"),
              [](CArchive& ar)
              {
                  CMapDWordToDWord map;
                  for (DWORD n = 1; n <= 12; ++n)
                      map.SetAt(n * 0x01010101u, n);
                  map.Serialize(ar);
              });
    WriteSeed("map_family", 2, MapSelector("CMapPtrToRect"),
              [](CArchive& ar) { CMapPtrToRect().Serialize(ar); });
    WriteSeed("map_family", 3, MapSelector("CMapPtr"),
              [](CArchive& ar)
              {
                  // Version 1: no flag fields.
                  ar << static_cast<WORD>(1) << static_cast<DWORD>(0) << static_cast<DWORD>(17) << 2
                     << static_cast<DWORD>(0x1000) << static_cast<DWORD>(1)
                     << static_cast<DWORD>(0x2000) << static_cast<DWORD>(1);
              });
    WriteSeed("map_family", 4, MapSelector("CMapPtrToOb"),
              [](CArchive& ar)
              {
                  CMapPtrToOb map;
                  map.SetOwnership(FALSE, TRUE);
                  CFuzzNode* pShared = NewNode("shared", 1);
                  map.SetAt(Number(1), pShared);
                  map.SetAt(Number(2), pShared);
                  map.SetAt(Number(3), NewNode("own", 2));
                  map.SetAt(Number(4), nullptr);
                  map.Serialize(ar);
              });
    WriteSeed("map_family", 5, MapSelector("CMapDWordToOb"),
              [](CArchive& ar)
              {
                  CMapDWordToOb map;
                  CFuzzNode* pNode = NewNode("loop", 3);
                  pNode->m_pLeft = pNode;
                  map.SetAt(Number(7), pNode);
                  map.Serialize(ar);
              });
    WriteSeed("map_family", 6, MapSelector("CMapObToDWord"),
              [](CArchive& ar)
              {
                  CMapObToDWord map;
                  map.SetOwnership(TRUE, FALSE);
                  map.SetAt(NewNode("a", 1), Number(10));
                  map.SetAt(NewNode("b", 2), Number(20));
                  map.Serialize(ar);
              });
    WriteSeed("map_family", 7, MapSelector("CMapObToOb"),
              [](CArchive& ar)
              {
                  CMapObToOb map;
                  map.SetOwnership(TRUE, TRUE);
                  CFuzzNode* pFirst = NewNode("first", 1);
                  CFuzzNode* pSecond = NewNode("second", 2);
                  map.SetAt(pFirst, pSecond);
                  map.SetAt(pSecond, pFirst);
                  map.SetAt(NewNode("alone", 3), nullptr);
                  map.Serialize(ar);
              });
}

void WriteStringMapSeeds()
{
    WriteSeed("string_maps", 1, 0,
              [](CArchive& ar)
              {
                  CMapStringToPtrEx map;
                  map.SetAt("one", Number(1));
                  map.SetAt("One", Number(0xFFFFFFFF));
                  map.SetAt("\xE4", nullptr);
                  map.Serialize(ar);
              });
    WriteSeed("string_maps", 2, 1,
              [](CArchive& ar)
              {
                  CMapStringToObEx map;
                  map.m_bDeleteValues = TRUE;
                  map.SetAt("node", NewNode("n", 1));
                  map.SetAt("null", nullptr);
                  map.Serialize(ar);
              });
    WriteSeed("string_maps", 3, 1,
              [](CArchive& ar)
              {
                  CMapStringToObEx map;
                  CFuzzNode* pShared = NewNode("shared", 2);
                  map.SetAt("a", pShared);
                  map.SetAt("b", pShared);
                  map.Serialize(ar);
              });
    WriteSeed("string_maps", 4, 2,
              [](CArchive& ar)
              {
                  CMapStringToStringEx map;
                  map["key"] = "value";
                  map[""] = CString('x', 300);
                  map.Serialize(ar);
              });
}

void WriteIniAndArraySeeds()
{
    WriteSeed("ini_section", 1, g_nNoSelector,
              [](CArchive& ar)
              {
                  CMemIniSection section;
                  section.m_intEntries["width"] = Number(640);
                  section.m_intEntries["minus"] = reinterpret_cast<void*>(static_cast<INT_PTR>(-1));
                  section.m_stringEntries["width"] = "wide";
                  section.m_stringEntries["path"] = "C:\\x";
                  section.Serialize(ar);
              });
    WriteSeed("ini_section", 2, g_nNoSelector,
              [](CArchive& ar) { CMemIniSection().Serialize(ar); });

    WriteSeed("integer_arrays", 1, 0,
              [](CArchive& ar)
              {
                  CDWordArrayEx array;
                  for (DWORD n = 1; n <= 3; ++n)
                      array.Add(n);
                  array.Serialize(ar);
              });
    WriteSeed("integer_arrays", 2, 1,
              [](CArchive& ar)
              {
                  CDWord64Array array;
                  array.Add(1);
                  array.Add(0xFFFFFFFFFFull);
                  array.Serialize(ar);
              });
    WriteSeed("integer_arrays", 3, 1,
              [](CArchive& ar)
              {
                  // The count's 32-bit escape, where 16 bits would do.
                  ar << static_cast<WORD>(0xFFFF) << static_cast<DWORD>(1) << ULONGLONG(5);
              });
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

    WriteSeed("object_references", 1, g_nNoSelector,
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
              [](CArchive& ar) { ar << CString("abc") << CString('x', 300) << CString(); });
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
    WriteMapFamilySeeds();
    WriteStringMapSeeds();
    WriteIniAndArraySeeds();
    CFuzzNode::DeleteAll();
    return 0;
}

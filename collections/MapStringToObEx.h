// MapStringToObEx.h - CMapStringToObEx, a platform string-to-object map that
// can own its objects and writes its own record, objects included.
//
// Ownership: with m_bDeleteValues set, SetAt deletes the object it
// replaces, and RemoveAll and the destructor delete every object, each
// through its virtual destructor. Null is never deleted. One object must
// not sit under two keys: RemoveAll deletes once per key. RemoveKey is the
// platform's and deletes nothing.
//
// Record: version word 1 (16 bits), m_bDeleteValues (32), bucket count
// (32), entry count (32; 0 or negative as a signed number: none), then each
// key as an archive string and the object as an archive object reference,
// in iteration order. Loading calls RemoveAll through the virtual slot
// first, then takes the flag from the record. The block size is not
// archived.
//
// An owning record must give each key once (else genericException: the
// replaced object may still be reachable through the archive) and each
// object once. It claims every object in the archive (CArchive's
// ClaimLoadedObject), so an object under a second key, owned by another
// container in the archive, or enclosing this map (the map itself
// included) is badIndex. A reference back to an object that only something
// else in the archive refers to is accepted: objects that refer to each
// other are stored that way. Non-owning records accept all of these, as the
// platform map does.
//
// The entry count and bucket count are bounded as in StringMapRecord.h; on
// any failure the map keeps the entries read before it.
#pragma once

#include "Maps.h"

class CMapStringToObEx : public CMapStringToOb
{
    DECLARE_SERIAL(CMapStringToObEx)
public:
    CMapStringToObEx();
    ~CMapStringToObEx() override;

    void Serialize(CArchive& ar) override;

    // Storing the object a key already holds changes and deletes nothing.
    void SetAt(const CString& key, CObject* newValue);
    // Deletes owned objects, then empties the table and releases its buckets.
    virtual void RemoveAll();

    BOOL m_bDeleteValues;

private:
    void LoadEntry(CArchive& ar, const CString& key);
};

// RegistryPath.h - the uninstaller's only road to the registry.
//
// A key path is opened one component at a time. At each step the component
// ends at the first backslash or, when the rest holds none, at the first
// forward slash; so a forward slash before the last backslash belongs to a
// key name. A path ending in a separator names the key before it. Every key
// opened or created on the way uses KEY_READ | KEY_WRITE, and nothing stays
// open between calls except the key OpenKeyPath returns.
//
// Results are Windows error codes: 0 on success, ERROR_INVALID_HANDLE (6)
// when a key cannot be opened or created or a value cannot be read, or
// what RegDeleteKeyA returned.
#pragma once

#include "Types.h"

// The key the path names, for the caller to close with RegCloseKey; null on
// failure. bCreate creates every missing component (then samDesired plays no
// part).
HKEY OpenKeyPath(HKEY hRoot, LPCSTR pszPath, BOOL bCreate, REGSAM samDesired);

// Reads the value's bytes up to their first NUL, whatever its type. nSize:
// in, the buffer's capacity in characters including the NUL; out, the
// characters copied. A longer text is cut to capacity - 1 characters, which
// is not a failure. On failure the buffer and nSize are left as they were;
// a capacity of 0 is a failure.
LONG ReadRegString(HKEY hRoot, LPCSTR pszPath, LPCSTR pszValueName, LPSTR pszBuffer, DWORD& nSize);

// ReadRegString below a key the caller holds open, by the same rules: a list
// of values read from one key costs two registry calls a value instead of
// the four of opening the path again for each.
LONG ReadKeyString(HKEY hKey, LPCSTR pszValueName, LPSTR pszBuffer, DWORD& nSize);

// Stores pszText as REG_SZ, its NUL included, creating the keys on the path.
// A failure of the store itself below an opened key is not reported.
LONG WriteRegString(HKEY hRoot, LPCSTR pszPath, LPCSTR pszValueName, LPCSTR pszText);

// Deletes the key after the path's last backslash (or, without one, its last
// forward slash); the parent keys are created when missing. Only a key
// without subkeys can go. An empty key name is refused with 6 rather than
// handed to RegDeleteKeyA, which would take it to mean the parent itself.
LONG DeleteKeyPath(HKEY hRoot, LPCSTR pszPath);

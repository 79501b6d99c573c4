// RegistryCallCounter.h - counts this program's calls of the registry
// functions that the uninstaller uses, by redirecting the program's import
// table entries for them. Only calls made through the program's own import
// table count (the statically linked uninstaller code makes all of its
// calls that way).
#pragma once

#include <windows.h>

// Redirects the imports; FALSE when none of them was found.
BOOL InstallRegistryCallCounter();
LONGLONG GetRegistryCallCount();
void ResetRegistryCallCount();

// Types.h - the Windows scalar names the rest of the code is written in.
//
// On Windows they come from <windows.h> itself. Elsewhere (host builds that
// run the unit tests) they are defined here with the widths Windows gives
// them, except that LONG and DWORD are int-sized rather than long: on LP64
// hosts a long is 64 bits. Code that needs a fixed width in a file must use
// these names, never plain long.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
// The min/max macros would break std::min and std::max in every header.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
typedef int BOOL;
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
typedef char CHAR;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef unsigned int UINT;
typedef long long LONGLONG;
typedef unsigned long long ULONGLONG;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef uintptr_t DWORD_PTR;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef void* LPVOID;
typedef const void* LPCVOID;
#endif

// Iteration cursor of the platform containers: opaque, compared only with
// null and BEFORE_START_POSITION.
struct CPositionTag;
typedef CPositionTag* POSITION;
#define BEFORE_START_POSITION (reinterpret_cast<POSITION>(static_cast<INT_PTR>(-1)))

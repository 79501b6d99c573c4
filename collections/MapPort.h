// MapPort.h - the few operating-system services the scalar-keyed maps need.
//
// Thread identities key the per-thread iteration snapshots; yielding is what
// the spin lock does between attempts; a module handle names the loaded
// library (DLL, shared object or program) whose copy of this code created a
// map's state, so another module's copy can find that module's exported
// iteration entry point. Atomics are std::atomic, which both toolchains
// lower to the interlocked instructions directly.
#pragma once

#include "Types.h"

// Like GetCurrentThreadId: unique among live threads; the system may hand
// it to a new thread once the old one has ended.
UINT_PTR MapCurrentThreadId() noexcept;

// Gives up the rest of the time slice (Sleep(0)).
void MapYield() noexcept;

// The module that contains this copy of the collection code.
void* MapThisModule() noexcept;

// The function hModule itself exports under pszName; null when it does not,
// also when another module loaded beside it does.
void* MapFindExport(void* hModule, LPCSTR pszName) noexcept;

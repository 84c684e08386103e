// The module's own state, below every object: its instance handle, the lock
// count that decides unloading, and the module critical section.
#pragma once

#include <windows.h>
#include <ole2.h>

namespace corvane::server {

// The loaded module (for its resources and its file name).
HINSTANCE ModuleHandle();

// Lock count: every object and every externally held class object or
// LockServer lock counts once.
void LockModule();
void UnlockModule();
LONG LockCount();

// Holds the module critical section for a scope (class-object creation and
// type-information loading).
class ModuleLock {
public:
    ModuleLock();
    ~ModuleLock();
    ModuleLock(const ModuleLock&) = delete;
    ModuleLock& operator=(const ModuleLock&) = delete;
};

}  // namespace corvane::server

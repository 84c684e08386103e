// Module-wide state of the server: the lock count that decides unloading, the
// module critical section, and the class table.
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

// Makes an object of a class, aggregated when outer is given, and asks it for
// iid; the object is destroyed again when that fails.
using ObjectMaker = HRESULT (*)(IUnknown* outer, REFIID iid, void** out);

// One row of the class table.
struct ClassEntry {
    const CLSID* clsid;
    ObjectMaker make;
    const wchar_t* friendlyName;
    const wchar_t* progId;
    const wchar_t* versionIndependentProgId;
    IClassFactory* classObject;  // cached; made on first request
};

// The rows in the order Global, Matrix, CMatrix.
ClassEntry* ClassTable();
constexpr int kClassCount = 3;

}  // namespace corvane::server

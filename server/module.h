// The top of the server: the class table that the entry points
// DllGetClassObject and DllCanUnloadNow and the registration serve. Nothing
// below includes it.
#pragma once

#include "server/class_factory.h"
#include "server/module_state.h"

namespace corvane::server {

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

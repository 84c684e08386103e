// The class object of each class: IClassFactory with the lock-count rule of
// its reference count.
#pragma once

#include <windows.h>
#include <ole2.h>

namespace corvane::server {

// Makes an object of a class, aggregated when outer is given, and asks it for
// iid; the object is destroyed again when that fails.
using ObjectMaker = HRESULT (*)(IUnknown* outer, REFIID iid, void** out);

// A new class object holding one reference (the class table's); null when
// memory runs out.
IClassFactory* NewClassFactory(ObjectMaker make);
// Frees a class object regardless of its count (module teardown).
void DestroyClassFactory(IClassFactory* factory);

}  // namespace corvane::server

// The class object of each class: IClassFactory with the lock-count rule of
// its reference count.
#pragma once

#include "server/module.h"

namespace corvane::server {

// A new class object holding one reference (the class table's); null when
// memory runs out.
IClassFactory* NewClassFactory(ObjectMaker make);
// Frees a class object regardless of its count (module teardown).
void DestroyClassFactory(IClassFactory* factory);

}  // namespace corvane::server

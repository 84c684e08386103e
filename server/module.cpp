// Entry points DllCanUnloadNow and DllGetClassObject and the class table.
#include "server/module.h"

#include "CorvaneMatrix30.h"
#include "server/global_object.h"
#include "server/matrix_object.h"

namespace corvane::server {
namespace {

ClassEntry g_classes[kClassCount] = {
    {&CLSID_Global, &MakeObject<GlobalObject>, L"Global Object", L"CorVaneMatrix.Global.1", L"CorVaneMatrix.Global",
     nullptr},
    {&CLSID_Matrix, &MakeObject<MatrixObject>, L"Matrix Object", L"CorvaneMatrix30.Matrix.1", L"CorvaneMatrix30.Matrix",
     nullptr},
    {&CLSID_CMatrix, &MakeObject<CMatrixObject>, L"CMatrix Object", L"CorVaneMatrix30.CMatrix.1",
     L"CorVaneMatrix30.CMatrix", nullptr},
};

// Cached class objects are dropped at process detach.
struct ClassObjectRelease {
    ~ClassObjectRelease() {
        for (ClassEntry& row : g_classes) {
            if (IClassFactory* f = row.classObject) {
                row.classObject = nullptr;
                DestroyClassFactory(f);
            }
        }
    }
} g_release;

}  // namespace

ClassEntry* ClassTable() { return g_classes; }

}  // namespace corvane::server

using namespace corvane::server;

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return LockCount() == 0 ? S_OK : S_FALSE; }

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    for (ClassEntry& row : g_classes) {
        if (!IsEqualCLSID(clsid, *row.clsid)) continue;
        IClassFactory* classObject = nullptr;
        {
            // Read and made under the lock: another thread may be making it.
            ModuleLock lock;
            if (row.classObject == nullptr) row.classObject = NewClassFactory(row.make);
            classObject = row.classObject;
        }
        if (classObject == nullptr) return E_OUTOFMEMORY;
        HRESULT hr = classObject->QueryInterface(iid, out);
        if (*out == nullptr && SUCCEEDED(hr)) hr = CLASS_E_CLASSNOTAVAILABLE;
        return hr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

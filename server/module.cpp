// Entry points DllMain, DllCanUnloadNow and DllGetClassObject, the lock count
// and the class table.
#include "server/module.h"

#include "CorvaneMatrix30.h"
#include "server/class_factory.h"
#include "server/cmatrix_object.h"
#include "server/global_object.h"
#include "server/matrix_object.h"

namespace corvane::server {
namespace {

HINSTANCE g_module = nullptr;
volatile LONG g_lockCount = 0;

// The module critical section, set up before DllMain runs; a failure makes
// the load fail.
struct ModuleState {
    CRITICAL_SECTION lock;
    bool initFailed = false;
    ModuleState() { initFailed = !InitializeCriticalSectionAndSpinCount(&lock, 0); }
    ~ModuleState() {
        // Cached class objects are dropped at process detach.
        for (int i = 0; i < kClassCount; ++i) {
            if (IClassFactory* f = ClassTable()[i].classObject) {
                ClassTable()[i].classObject = nullptr;
                DestroyClassFactory(f);
            }
        }
        if (!initFailed) DeleteCriticalSection(&lock);
    }
};
ModuleState g_state;

ClassEntry g_classes[kClassCount] = {
    {&CLSID_Global, &MakeGlobalObject, L"Global Object", L"CorVaneMatrix.Global.1", L"CorVaneMatrix.Global", nullptr},
    {&CLSID_Matrix, &MakeMatrixObject, L"Matrix Object", L"CorvaneMatrix30.Matrix.1", L"CorvaneMatrix30.Matrix", nullptr},
    {&CLSID_CMatrix, &MakeCMatrixObject, L"CMatrix Object", L"CorVaneMatrix30.CMatrix.1", L"CorVaneMatrix30.CMatrix", nullptr},
};

}  // namespace

HINSTANCE ModuleHandle() { return g_module; }
void LockModule() { InterlockedIncrement(&g_lockCount); }
void UnlockModule() { InterlockedDecrement(&g_lockCount); }
LONG LockCount() { return InterlockedCompareExchange(&g_lockCount, 0, 0); }
ModuleLock::ModuleLock() { EnterCriticalSection(&g_state.lock); }
ModuleLock::~ModuleLock() { LeaveCriticalSection(&g_state.lock); }
ClassEntry* ClassTable() { return g_classes; }

}  // namespace corvane::server

using namespace corvane::server;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        if (g_state.initFailed) return FALSE;
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return LockCount() == 0 ? S_OK : S_FALSE; }

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    for (int i = 0; i < kClassCount; ++i) {
        ClassEntry& row = g_classes[i];
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

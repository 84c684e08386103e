// DllMain, which records the instance handle, and the module state it guards.
#include "server/module_state.h"

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
        if (!initFailed) DeleteCriticalSection(&lock);
    }
};
ModuleState g_state;

}  // namespace

HINSTANCE ModuleHandle() { return g_module; }
void LockModule() { InterlockedIncrement(&g_lockCount); }
void UnlockModule() { InterlockedDecrement(&g_lockCount); }
LONG LockCount() { return InterlockedCompareExchange(&g_lockCount, 0, 0); }
ModuleLock::ModuleLock() { EnterCriticalSection(&g_state.lock); }
ModuleLock::~ModuleLock() { LeaveCriticalSection(&g_state.lock); }

}  // namespace corvane::server

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    using namespace corvane::server;
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        if (g_state.initFailed) return FALSE;
    }
    return TRUE;
}

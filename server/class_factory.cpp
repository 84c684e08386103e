#include "server/class_factory.h"

#include <new>

#include "server/module_state.h"

namespace corvane::server {
namespace {

// The class table's cached reference is the first; a second one means a client
// holds the class object, which then keeps the module locked.
class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(ObjectMaker make) : make_(make) { InitializeCriticalSection(&countLock_); }
    ~ClassFactory() { DeleteCriticalSection(&countLock_); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        EnterCriticalSection(&countLock_);
        const ULONG n = ++refs_;
        if (n == 2) LockModule();
        LeaveCriticalSection(&countLock_);
        return n;
    }
    ULONG STDMETHODCALLTYPE Release() override {
        EnterCriticalSection(&countLock_);
        const ULONG n = --refs_;
        if (n == 1) UnlockModule();
        LeaveCriticalSection(&countLock_);
        if (n == 0) delete this;
        return n;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (outer != nullptr && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
        return make_(outer, iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            LockModule();
        else
            UnlockModule();
        return S_OK;
    }

    void Destroy() {
        if (refs_ > 1) UnlockModule();
        delete this;
    }

private:
    ULONG refs_ = 1;
    CRITICAL_SECTION countLock_;
    ObjectMaker make_;
};

}  // namespace

IClassFactory* NewClassFactory(ObjectMaker make) { return new (std::nothrow) ClassFactory(make); }
void DestroyClassFactory(IClassFactory* factory) { static_cast<ClassFactory*>(factory)->Destroy(); }

}  // namespace corvane::server

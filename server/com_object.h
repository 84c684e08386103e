// What the Matrix, CMatrix and Global objects share: reference counting,
// aggregation, the module lock, and IDispatch, IProvideClassInfo and
// ISupportErrorInfo served from the type library.
#pragma once

#include <new>

#include "server/dispatch.h"
#include "server/module_state.h"

namespace corvane::server {

// The object's own (inner) unknown and its count. Created with count 0; the
// last release of the inner unknown destroys the object. From construction to
// destruction the object keeps the module locked.
class ObjectCore {
public:
    IUnknown* InnerUnknown() { return &inner_; }

protected:
    explicit ObjectCore(IUnknown* outer) : outer_(outer != nullptr ? outer : &inner_), inner_(this) { LockModule(); }
    virtual ~ObjectCore() { UnlockModule(); }
    ObjectCore(const ObjectCore&) = delete;
    ObjectCore& operator=(const ObjectCore&) = delete;

    // The interface pointer for iid other than IUnknown, or null (no AddRef).
    virtual void* Find(REFIID iid) = 0;

    // The controlling unknown: the outer object when aggregated, else our own.
    IUnknown* outer_;

private:
    class Inner final : public IUnknown {
    public:
        explicit Inner(ObjectCore* owner) : owner_(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
            if (out == nullptr) return E_POINTER;
            *out = IsEqualIID(iid, IID_IUnknown) ? static_cast<IUnknown*>(this) : owner_->Find(iid);
            if (*out == nullptr) return E_NOINTERFACE;
            static_cast<IUnknown*>(*out)->AddRef();
            return S_OK;
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return ++owner_->refs_; }
        ULONG STDMETHODCALLTYPE Release() override {
            const ULONG n = --owner_->refs_;
            if (n == 0) delete owner_;
            return n;
        }

    private:
        ObjectCore* owner_;
    };

    Inner inner_;
    ULONG refs_ = 0;  // apartment-threaded: one thread at a time
};

// An object answering Interfaces..., whose IUnknown members go to the
// controlling unknown.
template <class... Interfaces>
class ComObject : public Interfaces..., public ObjectCore {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        return outer_->QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return outer_->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return outer_->Release(); }

protected:
    explicit ComObject(IUnknown* outer) : ObjectCore(outer) {}
};

// An object whose dual interface Interface (kInterfaceId) is its IDispatch,
// with the class information of kClassId.
template <class Interface, const IID& kInterfaceId, const CLSID& kClassId, class... More>
class DispatchObject : public ComObject<Interface, IProvideClassInfo, More...> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return DispatchGetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID lcid, ITypeInfo** out) override {
        return DispatchGetTypeInfo(kInterfaceId, lcid, out);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override {
        return DispatchGetIDsOfNames(kInterfaceId, names, count, lcid, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argError) override {
        return DispatchInvoke(kInterfaceId, static_cast<Interface*>(this), member, flags, params, result, exception,
                              argError, lcid);
    }
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** out) override {
        return GetTypeInfoOf(kClassId, LOCALE_USER_DEFAULT, out);
    }

protected:
    explicit DispatchObject(IUnknown* outer) : ComObject<Interface, IProvideClassInfo, More...>(outer) {}
    void* Find(REFIID iid) override {
        if (IsEqualIID(iid, kInterfaceId) || IsEqualIID(iid, IID_IDispatch)) return static_cast<Interface*>(this);
        if (IsEqualIID(iid, IID_IProvideClassInfo)) return static_cast<IProvideClassInfo*>(this);
        return nullptr;
    }
};

// A DispatchObject whose dual interface publishes error records, as
// ISupportErrorInfo says.
template <class Interface, const IID& kInterfaceId, const CLSID& kClassId>
class ReportingObject : public DispatchObject<Interface, kInterfaceId, kClassId, ISupportErrorInfo> {
    using Base = DispatchObject<Interface, kInterfaceId, kClassId, ISupportErrorInfo>;

public:
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return IsEqualIID(iid, kInterfaceId) ? S_OK : S_FALSE;
    }

protected:
    explicit ReportingObject(IUnknown* outer) : Base(outer) {}
    void* Find(REFIID iid) override {
        if (IsEqualIID(iid, IID_ISupportErrorInfo)) return static_cast<ISupportErrorInfo*>(this);
        return Base::Find(iid);
    }
};

// The object maker of a class: a new object (aggregated when outer is given)
// asked for iid; destroyed again when that fails.
template <class T>
HRESULT MakeObject(IUnknown* outer, REFIID iid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    T* object = new (std::nothrow) T(outer);
    if (object == nullptr) return E_OUTOFMEMORY;
    IUnknown* inner = object->InnerUnknown();
    inner->AddRef();
    const HRESULT hr = inner->QueryInterface(iid, out);
    inner->Release();
    return hr;
}

}  // namespace corvane::server

// Reference counting, aggregation and the module lock shared by the Matrix,
// CMatrix and Global objects.
#pragma once

#include <new>

#include "server/module.h"

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
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override { return outer_->QueryInterface(iid, out); }
    ULONG STDMETHODCALLTYPE AddRef() override { return outer_->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return outer_->Release(); }

protected:
    explicit ComObject(IUnknown* outer) : ObjectCore(outer) {}
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

// Helpers of the server's C++ client tests: the DLL's own entry points, small
// owning wrappers, error records.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CorvaneMatrix30.h"

namespace corvane::server::test {

// The DLL named by CORVANE_SERVER_DLL (a Windows path), loaded once.
struct Entries {
    HMODULE module;
    HRESULT(STDAPICALLTYPE* canUnloadNow)();
    HRESULT(STDAPICALLTYPE* getClassObject)(REFCLSID, REFIID, void**);
};
const Entries& Dll();

// Releases an interface pointer at scope end.
template <class T> class Ptr {
public:
    Ptr() = default;
    explicit Ptr(T* p) : p_(p) {}
    ~Ptr() { reset(); }
    Ptr(Ptr&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    void reset() {
        if (p_ != nullptr) p_->Release();
        p_ = nullptr;
    }
    T** out() { return reset(), &p_; }
    void** outVoid() { return reinterpret_cast<void**>(out()); }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

// A new object of a registered class.
template <class T> Ptr<T> Create(REFCLSID clsid, REFIID iid) {
    Ptr<T> p;
    EXPECT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, p.outVoid()));
    return p;
}
inline Ptr<IMatrix> NewMatrix() { return Create<IMatrix>(CLSID_Matrix, IID_IMatrix); }
inline Ptr<ICMatrix> NewCMatrix() { return Create<ICMatrix>(CLSID_CMatrix, IID_ICMatrix); }
inline Ptr<IGlobal> NewGlobal() { return Create<IGlobal>(CLSID_Global, IID_IGlobal); }
Ptr<IClassFactory> ClassObject(REFCLSID clsid);  // through the DLL's own entry point

// The thread's current error record, taken (none is left).
struct ErrorRecord {
    bool present = false;
    std::wstring description, source, helpFile;
    GUID guid{};
    DWORD helpContext = 0;
};
ErrorRecord TakeErrorRecord();

// Expects 0x80040000 + message and the record class clsid publishes for it.
void ExpectFailure(HRESULT hr, int message, const wchar_t* text, REFCLSID clsid, const wchar_t* progId);

std::wstring Take(BSTR s);  // frees s
inline std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

// Arguments of late-bound calls: a variant holding a pointer (an object, a
// VT_BYREF reference, an array) and a number converted to type.
inline VARIANT Var(VARTYPE type, void* p) {
    VARIANT v;
    V_VT(&v) = type, V_BYREF(&v) = p;
    return v;
}
VARIANT Of(VARTYPE type, double x);
DISPID Id(IDispatch* d, const wchar_t* name);
// A late-bound call with args in parameter order; the last names.size() of them named, in the same order.
HRESULT Call(IDispatch* d, DISPID id, WORD flags, std::vector<VARIANT> args, VARIANT* result = nullptr, std::vector<DISPID> names = {});
inline HRESULT Call(IDispatch* d, const wchar_t* name, std::vector<VARIANT> args, VARIANT* result = nullptr) {
    return Call(d, Id(d, name), DISPATCH_METHOD, std::move(args), result);
}

Ptr<IRecordInfo> ComplexRecord();  // the library's Complex record type

Ptr<ITypeLib> Library();  // the registered type library

}  // namespace corvane::server::test

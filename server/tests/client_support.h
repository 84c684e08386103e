// Helpers of the server's C++ client tests: the DLL's own entry points, small
// owning wrappers, error records.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <string>

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
template <class T>
class Ptr {
public:
    Ptr() = default;
    explicit Ptr(T* p) : p_(p) {}
    ~Ptr() { reset(); }
    Ptr(Ptr&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    void reset() { if (p_ != nullptr) p_->Release(); p_ = nullptr; }
    T** out() { return reset(), &p_; }
    void** outVoid() { return reinterpret_cast<void**>(out()); }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

// A new object of a registered class.
template <class T>
Ptr<T> Create(REFCLSID clsid, REFIID iid) {
    Ptr<T> p;
    EXPECT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, p.outVoid()));
    return p;
}
inline Ptr<IMatrix> NewMatrix() { return Create<IMatrix>(CLSID_Matrix, IID_IMatrix); }
inline Ptr<ICMatrix> NewCMatrix() { return Create<ICMatrix>(CLSID_CMatrix, IID_ICMatrix); }

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

Ptr<IRecordInfo> ComplexRecord();  // the library's Complex record type

Ptr<ITypeLib> Library();  // the registered type library

}  // namespace corvane::server::test

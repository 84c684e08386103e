#include "client_support.h"

#include <cstdlib>

namespace corvane::server::test {

namespace {
// COM for the whole test program, on its one thread.
class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_EQ(S_OK, CoInitialize(nullptr)); }
    void TearDown() override { CoUninitialize(); }
};
const auto* const kCom = ::testing::AddGlobalTestEnvironment(new ComEnvironment);
}  // namespace

const Entries& Dll() {
    static const Entries entries = [] {
        Entries e{};
        const char* path = std::getenv("CORVANE_SERVER_DLL");
        HMODULE module = path != nullptr ? LoadLibraryA(path) : nullptr;
        if (module == nullptr) {
            ADD_FAILURE() << "cannot load CORVANE_SERVER_DLL";
            return e;
        }
        e.canUnloadNow = reinterpret_cast<decltype(e.canUnloadNow)>(GetProcAddress(module, "DllCanUnloadNow"));
        e.getClassObject = reinterpret_cast<decltype(e.getClassObject)>(GetProcAddress(module, "DllGetClassObject"));
        e.registerServer = reinterpret_cast<decltype(e.registerServer)>(GetProcAddress(module, "DllRegisterServer"));
        e.unregisterServer = reinterpret_cast<decltype(e.unregisterServer)>(GetProcAddress(module, "DllUnregisterServer"));
        return e;
    }();
    return entries;
}

std::wstring Take(BSTR s) {
    std::wstring out = s != nullptr ? std::wstring(s, SysStringLen(s)) : std::wstring();
    SysFreeString(s);
    return out;
}

ErrorRecord TakeErrorRecord() {
    ErrorRecord r;
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) != S_OK || info == nullptr) return r;
    r.present = true;
    BSTR s = nullptr;
    if (SUCCEEDED(info->GetDescription(&s))) r.description = Take(s);
    s = nullptr;
    if (SUCCEEDED(info->GetSource(&s))) r.source = Take(s);
    s = nullptr;
    if (SUCCEEDED(info->GetHelpFile(&s))) r.helpFile = Take(s);
    info->GetGUID(&r.guid);
    info->GetHelpContext(&r.helpContext);
    info->Release();
    return r;
}

void ExpectFailure(HRESULT hr, int message, const wchar_t* text, REFCLSID clsid, const wchar_t* progId) {
    EXPECT_EQ(static_cast<HRESULT>(0x80040000u + static_cast<unsigned>(message)), hr);
    const ErrorRecord r = TakeErrorRecord();
    ASSERT_TRUE(r.present);
    EXPECT_EQ(std::wstring(text), r.description);
    EXPECT_EQ(std::wstring(progId), r.source);
    EXPECT_EQ(std::wstring(L"CorvaneMatrix.chm"), r.helpFile);
    EXPECT_EQ(static_cast<DWORD>(message), r.helpContext);
    EXPECT_TRUE(IsEqualGUID(clsid, r.guid));
}

}  // namespace corvane::server::test

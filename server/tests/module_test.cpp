// The module and its objects: class objects, the lock count, aggregation
// refusal, the interfaces each object answers, dispatch failures, messages.
#include "client_support.h"

namespace corvane::server::test {
namespace {

struct Class {
    const CLSID* clsid;
    const IID* iid;
    bool errorInfo;  // offers ISupportErrorInfo
} const kClasses[] = {{&CLSID_Global, &IID_IGlobal, false}, {&CLSID_Matrix, &IID_IMatrix, true}, {&CLSID_CMatrix, &IID_ICMatrix, true}};

TEST(Module, ClassObjectsAndTheLockCount) {
    ASSERT_EQ(S_OK, Dll().canUnloadNow());
    void* out = &out;
    for (const Class& c : kClasses) {
        Ptr<IClassFactory> f = ClassObject(*c.clsid);
        EXPECT_EQ(f.get(), ClassObject(*c.clsid).get());  // cached
        EXPECT_EQ(S_FALSE, Dll().canUnloadNow()) << "class object held";
        Ptr<IUnknown> object, outer = Create<IUnknown>(CLSID_Matrix, IID_IUnknown);
        EXPECT_EQ(CLASS_E_NOAGGREGATION, f->CreateInstance(outer.get(), *c.iid, &out));
        EXPECT_EQ(E_POINTER, f->CreateInstance(nullptr, *c.iid, nullptr));
        ASSERT_EQ(S_OK, f->CreateInstance(nullptr, *c.iid, object.outVoid()));
        f.reset(), outer.reset();
        EXPECT_EQ(S_FALSE, Dll().canUnloadNow()) << "object held";
        object.reset();
        EXPECT_EQ(S_OK, Dll().canUnloadNow());
        EXPECT_EQ(S_OK, ClassObject(*c.clsid)->LockServer(TRUE));
        EXPECT_EQ(S_FALSE, Dll().canUnloadNow()) << "locked";
        EXPECT_EQ(S_OK, ClassObject(*c.clsid)->LockServer(FALSE));
        EXPECT_EQ(S_OK, Dll().canUnloadNow());
        EXPECT_EQ(E_NOINTERFACE, Dll().getClassObject(*c.clsid, IID_IMatrix, &out));
    }
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, Dll().getClassObject(IID_IMatrix, IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(E_POINTER, Dll().getClassObject(CLSID_Matrix, IID_IClassFactory, nullptr));
}

// regsvr32 /n /i:user is the only command line DllInstall takes (the run
// script registers with it).
TEST(Module, DllInstallRefusesOtherCommandLines) {
    const auto install = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(BOOL, PCWSTR)>(GetProcAddress(Dll().module, "DllInstall"));
    ASSERT_NE(nullptr, install);
    for (const wchar_t* line : {static_cast<const wchar_t*>(nullptr), L"", L"machine", L"users"})
        for (BOOL on : {TRUE, FALSE}) EXPECT_EQ(E_INVALIDARG, install(on, line));
}

TEST(Objects, InterfacesTypeInformationAndErrorSupport) {
    const IID* const asked[] = {&IID_IUnknown, &IID_IDispatch, &IID_IProvideClassInfo, &IID_ISupportErrorInfo, &IID_IMatrix,
                                &IID_ICMatrix, &IID_IGlobal};
    for (const Class& c : kClasses) {
        Ptr<IDispatch> object = Create<IDispatch>(*c.clsid, IID_IDispatch);
        Ptr<IUnknown> p;
        for (size_t k = 0; k < std::size(asked); ++k) {
            const bool offered = asked[k] == c.iid || k < 3 || (asked[k] == &IID_ISupportErrorInfo && c.errorInfo);
            EXPECT_EQ(offered ? S_OK : E_NOINTERFACE, object->QueryInterface(*asked[k], p.outVoid())) << k;
        }
        ASSERT_EQ(S_OK, object->QueryInterface(*c.iid, p.outVoid()));
        EXPECT_EQ(static_cast<IUnknown*>(object.get()), p.get());  // IDispatch is the dual interface
        Ptr<ISupportErrorInfo> support;
        if (SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo, support.outVoid())))
            for (const IID* iid : asked) EXPECT_EQ(iid == c.iid ? S_OK : S_FALSE, support->InterfaceSupportsErrorInfo(*iid));
        UINT count = 0;
        EXPECT_EQ(S_OK, object->GetTypeInfoCount(&count));
        EXPECT_EQ(1u, count);
        Ptr<ITypeInfo> info[2];
        Ptr<IProvideClassInfo> provider;
        ASSERT_EQ(S_OK, object->GetTypeInfo(7, 1033, info[0].out()));  // any index
        ASSERT_EQ(S_OK, object->QueryInterface(IID_IProvideClassInfo, provider.outVoid()));
        ASSERT_EQ(S_OK, provider->GetClassInfo(info[1].out()));
        EXPECT_EQ(E_POINTER, provider->GetClassInfo(nullptr));
        EXPECT_EQ(E_POINTER, object->GetTypeInfo(0, 1033, nullptr));
        for (int k = 0; k < 2; ++k) {
            TYPEATTR* attr = nullptr;
            ASSERT_EQ(S_OK, info[k]->GetTypeAttr(&attr));
            EXPECT_TRUE(IsEqualGUID(k == 0 ? *c.iid : *c.clsid, attr->guid));
            info[k]->ReleaseTypeAttr(attr);
        }
    }
}

// Failures of the invocation service before a member is reached, and of the
// object and record arguments the server converts itself.
TEST(Objects, DispatchFailures) {
    Ptr<IDispatch> m = Create<IDispatch>(CLSID_Matrix, IID_IDispatch), c = Create<IDispatch>(CLSID_CMatrix, IID_IDispatch),
                   g = Create<IDispatch>(CLSID_Global, IID_IDispatch);
    VARIANT text = Var(VT_BSTR, SysAllocString(L"two")), number = Of(VT_I4, 2), object = Var(VT_DISPATCH, c.get()), result{};
    // clang-format off
    const struct { IDispatch* object; DISPID id; std::vector<VARIANT> args; HRESULT hr; } kCases[] = {
        {m.get(), 999, {}, DISP_E_MEMBERNOTFOUND}, {m.get(), 3, {number}, DISP_E_BADPARAMCOUNT},
        {m.get(), 3, {text, number}, DISP_E_TYPEMISMATCH}, {m.get(), 20, {number}, DISP_E_TYPEMISMATCH},
        {m.get(), 23, {object}, DISP_E_TYPEMISMATCH}, {c.get(), 37, {number}, DISP_E_TYPEMISMATCH}, {g.get(), 5, {}, DISP_E_BADPARAMCOUNT}};
    // clang-format on
    for (const auto& k : kCases) EXPECT_EQ(k.hr, Call(k.object, k.id, DISPATCH_METHOD, k.args, &result)) << k.id;
    LPOLESTR name = const_cast<LPOLESTR>(L"NoSuchMember");
    DISPID id = 0;
    EXPECT_EQ(DISP_E_UNKNOWNNAME, m->GetIDsOfNames(IID_NULL, &name, 1, 1033, &id));
    VariantClear(&text);
}

TEST(Resources, MessageTexts) {
    char text[1024];
#define CORVANE_MESSAGE(number, expected)                                         \
    EXPECT_LT(0, LoadStringA(Dll().module, number, text, sizeof text)) << number; \
    EXPECT_STREQ(expected, text);
#include "core/messages.def"
#undef CORVANE_MESSAGE
    EXPECT_EQ(0, LoadStringA(Dll().module, 1322, text, sizeof text));
}

}  // namespace
}  // namespace corvane::server::test

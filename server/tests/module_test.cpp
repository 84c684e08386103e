// The module and its objects: class objects, the lock count, aggregation, the
// interfaces each object answers, and the resources (messages, version).
#include <string>

#include "client_support.h"

namespace corvane::server::test {
namespace {

struct Class {
    const CLSID* clsid;
    const IID* iid;
    bool errorInfo;  // offers ISupportErrorInfo
};
const Class kClasses[] = {{&CLSID_Global, &IID_IGlobal, false}, {&CLSID_Matrix, &IID_IMatrix, true}, {&CLSID_CMatrix, &IID_ICMatrix, true}};

Ptr<IClassFactory> ClassObject(REFCLSID clsid) {
    Ptr<IClassFactory> f;
    EXPECT_EQ(S_OK, Dll().getClassObject(clsid, IID_IClassFactory, f.outVoid()));
    return f;
}

TEST(Module, ClassObjects) {
    for (const Class& c : kClasses) {
        Ptr<IClassFactory> first = ClassObject(*c.clsid), second = ClassObject(*c.clsid);
        EXPECT_EQ(first.get(), second.get());  // cached
        Ptr<IUnknown> object;
        EXPECT_EQ(S_OK, first->CreateInstance(nullptr, *c.iid, object.outVoid()));
        EXPECT_EQ(E_POINTER, first->CreateInstance(nullptr, *c.iid, nullptr));
        void* out = &out;
        EXPECT_EQ(E_NOINTERFACE, Dll().getClassObject(*c.clsid, IID_IMatrix, &out));
        EXPECT_EQ(nullptr, out);
    }
    void* out = &out;
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, Dll().getClassObject(IID_IMatrix, IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(E_POINTER, Dll().getClassObject(CLSID_Matrix, IID_IClassFactory, nullptr));
}

TEST(Module, CanUnloadOnlyWhenNothingIsHeld) {
    ASSERT_EQ(S_OK, Dll().canUnloadNow());
    for (const Class& c : kClasses) {
        Ptr<IClassFactory> f = ClassObject(*c.clsid);
        EXPECT_EQ(S_FALSE, Dll().canUnloadNow()) << "class object held";
        Ptr<IUnknown> object;
        ASSERT_EQ(S_OK, f->CreateInstance(nullptr, IID_IUnknown, object.outVoid()));
        f.reset();
        EXPECT_EQ(S_FALSE, Dll().canUnloadNow()) << "object held";
        object.reset();
        EXPECT_EQ(S_OK, Dll().canUnloadNow());
        EXPECT_EQ(S_OK, ClassObject(*c.clsid)->LockServer(TRUE));
        EXPECT_EQ(S_FALSE, Dll().canUnloadNow()) << "locked";
        EXPECT_EQ(S_OK, ClassObject(*c.clsid)->LockServer(FALSE));
        EXPECT_EQ(S_OK, Dll().canUnloadNow());
    }
}

// An outer object: its own unknown, all else from the inner object; counts
// the references the inner object's interfaces delegate to it.
struct Outer final : IUnknown {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!IsEqualIID(iid, IID_IUnknown)) return inner->QueryInterface(iid, out);
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    ULONG refs = 1;
    IUnknown* inner = nullptr;
};

TEST(Module, AggregationOnlyThroughIUnknown) {
    for (const Class& c : kClasses) {
        Ptr<IClassFactory> f = ClassObject(*c.clsid);
        Outer outer;
        void* out = &out;
        EXPECT_EQ(CLASS_E_NOAGGREGATION, f->CreateInstance(&outer, *c.iid, &out));
        EXPECT_EQ(nullptr, out);
        ASSERT_EQ(S_OK, f->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner)));
        IUnknown* own = nullptr;
        ASSERT_EQ(S_OK, outer.inner->QueryInterface(*c.iid, reinterpret_cast<void**>(&own)));
        EXPECT_EQ(2u, outer.refs);  // counted on the outer object
        IUnknown* controlling = nullptr;
        ASSERT_EQ(S_OK, own->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&controlling)));
        EXPECT_EQ(static_cast<IUnknown*>(&outer), controlling);
        controlling->Release();
        own->Release();
        EXPECT_EQ(1u, outer.refs);
        EXPECT_EQ(0u, outer.inner->Release());
    }
    EXPECT_EQ(S_OK, Dll().canUnloadNow());
}

TEST(Objects, InterfacesTypeInformationAndErrorSupport) {
    const IID* const asked[] = {&IID_IUnknown, &IID_IDispatch, &IID_IProvideClassInfo, &IID_ISupportErrorInfo,
                                &IID_IMatrix,  &IID_ICMatrix,  &IID_IGlobal};
    for (const Class& c : kClasses) {
        Ptr<IDispatch> object = Create<IDispatch>(*c.clsid, IID_IDispatch);
        for (const IID* iid : asked) {
            Ptr<IUnknown> p;
            const bool offered = iid == &IID_IUnknown || iid == &IID_IDispatch || iid == &IID_IProvideClassInfo ||
                                 iid == c.iid || (iid == &IID_ISupportErrorInfo && c.errorInfo);
            EXPECT_EQ(offered ? S_OK : E_NOINTERFACE, object->QueryInterface(*iid, p.outVoid()));
        }
        Ptr<IUnknown> dual;
        ASSERT_EQ(S_OK, object->QueryInterface(*c.iid, dual.outVoid()));
        EXPECT_EQ(static_cast<IUnknown*>(object.get()), dual.get());  // IDispatch is the dual interface
        Ptr<ISupportErrorInfo> support;
        if (SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo, support.outVoid())))
            for (const IID* iid : asked) EXPECT_EQ(iid == c.iid ? S_OK : S_FALSE, support->InterfaceSupportsErrorInfo(*iid));

        UINT count = 0;
        EXPECT_EQ(S_OK, object->GetTypeInfoCount(&count));
        EXPECT_EQ(1u, count);
        Ptr<ITypeInfo> info, classInfo;
        ASSERT_EQ(S_OK, object->GetTypeInfo(7, 1033, info.out()));  // any index
        EXPECT_EQ(E_POINTER, object->GetTypeInfo(0, 1033, nullptr));
        Ptr<IProvideClassInfo> provider;
        ASSERT_EQ(S_OK, object->QueryInterface(IID_IProvideClassInfo, provider.outVoid()));
        ASSERT_EQ(S_OK, provider->GetClassInfo(classInfo.out()));
        EXPECT_EQ(E_POINTER, provider->GetClassInfo(nullptr));
        TYPEATTR* attr = nullptr;
        ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
        EXPECT_TRUE(IsEqualGUID(*c.iid, attr->guid));
        info->ReleaseTypeAttr(attr);
        ASSERT_EQ(S_OK, classInfo->GetTypeAttr(&attr));
        EXPECT_TRUE(IsEqualGUID(*c.clsid, attr->guid));
        classInfo->ReleaseTypeAttr(attr);
        LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"NoSuchMember")};
        DISPID id = 0;
        EXPECT_EQ(DISP_E_UNKNOWNNAME, object->GetIDsOfNames(IID_NULL, unknown, 1, 1033, &id));
    }
}

TEST(Resources, MessagesAndVersion) {
    char text[1024];
#define CORVANE_MESSAGE(number, expected)                                     \
    EXPECT_LT(0, LoadStringA(Dll().module, number, text, sizeof text)) << number; \
    EXPECT_STREQ(expected, text);
#include "core/messages.def"
#undef CORVANE_MESSAGE
    EXPECT_EQ(0, LoadStringA(Dll().module, 1322, text, sizeof text));

    GetModuleFileNameA(Dll().module, text, sizeof text);
    DWORD handle = 0;
    std::string block(GetFileVersionInfoSizeA(text, &handle), '\0');
    ASSERT_TRUE(GetFileVersionInfoA(text, 0, static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ((std::vector<DWORD>{0x10000, 1, 0x10000, 1, VFT_DLL, VOS__WINDOWS32}),
              (std::vector<DWORD>{fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS,
                                  fixed->dwProductVersionLS, fixed->dwFileType, fixed->dwFileOS}));
    for (const char* name : {"InternalName", "OriginalFilename"}) {
        char* value = nullptr;
        const std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
        ASSERT_TRUE(VerQueryValueA(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &length)) << name;
        EXPECT_STREQ("CorvaneMatrix30.dll", value);
    }
}

}  // namespace
}  // namespace corvane::server::test

// Failures once per kind: a catalogue failure publishes its class's record
// (through the slot) or fills EXCEPINFO (late-bound); platform failures come
// back as their own codes, dispatch failures from the invocation service.
#include "client_support.h"

namespace corvane::server::test {
namespace {

TEST(Errors, CatalogueFailurePublishesTheRecordOfItsClass) {
    Ptr<IMatrix> m = NewMatrix();
    double v = 42;
    ExpectFailure(m->get_Item(0, 0, &v), 1321, L"Matrix not yet sized.", CLSID_Matrix, L"CorvaneMatrix30.Matrix.1");
    EXPECT_EQ(42, v);  // the output is left alone
    ExpectFailure(NewCMatrix()->put_Rows(0), 1301, L"Invalid number of rows", CLSID_CMatrix, L"CorVaneMatrix30.CMatrix.1");
}

VARIANT Long(LONG n) {
    VARIANT v;
    V_VT(&v) = VT_I4;
    V_I4(&v) = n;
    return v;
}
VARIANT Object(IUnknown* p) {
    VARIANT v;
    V_VT(&v) = VT_UNKNOWN;
    V_UNKNOWN(&v) = p;
    return v;
}

// Invokes member by name with positional args (given first to last).
HRESULT Invoke(IDispatch* object, const wchar_t* member, std::vector<VARIANT> args, EXCEPINFO* error = nullptr,
               DISPID id = DISPID_UNKNOWN) {
    LPOLESTR name = const_cast<LPOLESTR>(member);
    if (member != nullptr) EXPECT_EQ(S_OK, object->GetIDsOfNames(IID_NULL, &name, 1, 1033, &id));
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(args.size()), 0};
    VARIANT result;
    VariantInit(&result);
    const HRESULT hr = object->Invoke(id, IID_NULL, 1033, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params, &result, error, nullptr);
    VariantClear(&result);
    return hr;
}

TEST(Errors, LateBoundFailuresFillExcepInfo) {
    const struct {
        const CLSID* clsid;
        const wchar_t* source;
    } kCases[] = {{&CLSID_Matrix, L"CorvaneMatrix30.Matrix.1"}, {&CLSID_CMatrix, L"CorVaneMatrix30.CMatrix.1"}};
    for (const auto& c : kCases) {
        Ptr<IDispatch> object = Create<IDispatch>(*c.clsid, IID_IDispatch);
        EXPECT_EQ(S_OK, Invoke(object.get(), L"Size", {Long(2), Long(2)}));
        EXCEPINFO error{};
        ASSERT_EQ(DISP_E_EXCEPTION, Invoke(object.get(), L"Item", {Long(2), Long(0)}, &error));
        EXPECT_EQ(static_cast<SCODE>(0x80040527), error.scode);
        EXPECT_EQ(L"Row index exceeds matrix size.", Take(error.bstrDescription));
        EXPECT_EQ(c.source, Take(error.bstrSource));
        EXPECT_EQ(L"CorvaneMatrix.chm", Take(error.bstrHelpFile));
        EXPECT_EQ(1319u, error.dwHelpContext);
    }
}

TEST(Errors, PlatformAndDispatchFailures) {
    Ptr<IMatrix> m = NewMatrix();
    Ptr<ICMatrix> c = NewCMatrix();
    Ptr<IGlobal> g = Create<IGlobal>(CLSID_Global, IID_IGlobal);
    ::Complex z{};
    EXPECT_EQ(E_POINTER, m->get_Rows(nullptr));
    EXPECT_EQ(E_POINTER, m->Clone(nullptr));
    EXPECT_EQ(E_POINTER, c->get_Version(nullptr));
    EXPECT_EQ(E_POINTER, c->put_Item(0, 0, nullptr));
    EXPECT_EQ(E_POINTER, g->CAdd(&z, nullptr, &z));
    VARIANT text;
    V_VT(&text) = VT_BSTR;
    V_BSTR(&text) = SysAllocString(L"two");
    VARIANT number = Long(5);
    const struct {
        IDispatch* object;
        const wchar_t* member;
        std::vector<VARIANT> args;
        HRESULT hr;
    } kCases[] = {
        {m.get(), nullptr, {}, DISP_E_MEMBERNOTFOUND},
        {m.get(), L"Size", {Long(2)}, DISP_E_BADPARAMCOUNT},
        {m.get(), L"Size", {text, Long(2)}, DISP_E_TYPEMISMATCH},
        {m.get(), L"Times", {number}, DISP_E_TYPEMISMATCH},
        {m.get(), L"Plus", {Object(c.get())}, DISP_E_TYPEMISMATCH},
        {c.get(), L"TimesScalar", {number}, DISP_E_TYPEMISMATCH},
        {g.get(), L"CAbs", {}, DISP_E_BADPARAMCOUNT},
    };
    for (const auto& k : kCases) EXPECT_EQ(k.hr, Invoke(k.object, k.member, k.args, nullptr, 999)) << k.member;
    VariantClear(&text);
}

}  // namespace
}  // namespace corvane::server::test

// The server seen by a C++ client: entry points, class objects, lock count,
// aggregation, interfaces, members early- and late-bound, error records.
#include <cmath>
#include <cstdint>

#include "client_support.h"

namespace corvane::server::test {
namespace {

constexpr wchar_t kMatrixProgId[] = L"CorvaneMatrix30.Matrix.1";
constexpr wchar_t kCMatrixProgId[] = L"CorVaneMatrix30.CMatrix.1";

void ExpectMatrixFailure(HRESULT hr, int message, const wchar_t* text) {
    ExpectFailure(hr, message, text, CLSID_Matrix, kMatrixProgId);
}

LONG RowsOf(IMatrix* m) {
    LONG n = -1;
    EXPECT_EQ(S_OK, m->get_Rows(&n));
    return n;
}
LONG ColsOf(IMatrix* m) {
    LONG n = -1;
    EXPECT_EQ(S_OK, m->get_Cols(&n));
    return n;
}
double At(IMatrix* m, LONG i, LONG j) {
    double v = -99;
    EXPECT_EQ(S_OK, m->get_Item(i, j, &v));
    return v;
}

// ---- Module: class objects and the lock count ----

TEST(Module, ClassObjectIsCachedAndUnknownClassesAreRefused) {
    IClassFactory* first = nullptr;
    IClassFactory* second = nullptr;
    ASSERT_EQ(S_OK, Dll().getClassObject(CLSID_Matrix, IID_IClassFactory, reinterpret_cast<void**>(&first)));
    ASSERT_EQ(S_OK, Dll().getClassObject(CLSID_Matrix, IID_IClassFactory, reinterpret_cast<void**>(&second)));
    EXPECT_EQ(first, second);
    first->Release();
    second->Release();

    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, Dll().getClassObject(IID_IMatrix, IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(E_POINTER, Dll().getClassObject(CLSID_Matrix, IID_IClassFactory, nullptr));
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, Dll().getClassObject(CLSID_Global, IID_IMatrix, &out));
    EXPECT_EQ(nullptr, out);
}

TEST(Module, CanUnloadOnlyWhenNothingIsHeld) {
    ASSERT_EQ(S_OK, Dll().canUnloadNow());
    {
        Ptr<IMatrix> m = NewMatrix();
        EXPECT_EQ(S_FALSE, Dll().canUnloadNow());
    }
    EXPECT_EQ(S_OK, Dll().canUnloadNow());

    Ptr<IClassFactory> factory;
    ASSERT_EQ(S_OK, Dll().getClassObject(CLSID_CMatrix, IID_IClassFactory, reinterpret_cast<void**>(factory.out())));
    EXPECT_EQ(S_FALSE, Dll().canUnloadNow());
    Ptr<ICMatrix> c;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_ICMatrix, reinterpret_cast<void**>(c.out())));
    factory.reset();
    EXPECT_EQ(S_FALSE, Dll().canUnloadNow());  // the object
    c.reset();
    EXPECT_EQ(S_OK, Dll().canUnloadNow());

    ASSERT_EQ(S_OK, Dll().getClassObject(CLSID_Global, IID_IClassFactory, reinterpret_cast<void**>(factory.out())));
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    factory.reset();
    EXPECT_EQ(S_FALSE, Dll().canUnloadNow());
    ASSERT_EQ(S_OK, Dll().getClassObject(CLSID_Global, IID_IClassFactory, reinterpret_cast<void**>(factory.out())));
    EXPECT_EQ(S_OK, factory->LockServer(FALSE));
    factory.reset();
    EXPECT_EQ(S_OK, Dll().canUnloadNow());
}

// An outer object that counts the references its inner object delegates.
class Outer final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        return inner->QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    ULONG refs = 1;
    IUnknown* inner = nullptr;
};

TEST(Module, AggregationDelegatesToTheOuterObject) {
    Ptr<IClassFactory> factory;
    ASSERT_EQ(S_OK, Dll().getClassObject(CLSID_Matrix, IID_IClassFactory, reinterpret_cast<void**>(factory.out())));
    Outer outer;
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, IID_IMatrix, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(E_POINTER, factory->CreateInstance(nullptr, IID_IMatrix, nullptr));

    ASSERT_EQ(S_OK, factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner)));
    ASSERT_NE(nullptr, outer.inner);
    EXPECT_NE(static_cast<IUnknown*>(&outer), outer.inner);
    IMatrix* m = nullptr;
    ASSERT_EQ(S_OK, outer.inner->QueryInterface(IID_IMatrix, reinterpret_cast<void**>(&m)));
    EXPECT_EQ(2u, outer.refs);  // the inner object's interface counts on the outer object
    IUnknown* viaInterface = nullptr;
    ASSERT_EQ(S_OK, m->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&viaInterface)));
    EXPECT_EQ(static_cast<IUnknown*>(&outer), viaInterface);  // the controlling unknown
    viaInterface->Release();
    EXPECT_EQ(S_OK, m->Size(2, 2));
    m->Release();
    EXPECT_EQ(1u, outer.refs);
    EXPECT_EQ(S_FALSE, Dll().canUnloadNow());
    EXPECT_EQ(0u, outer.inner->Release());
    factory.reset();
    EXPECT_EQ(S_OK, Dll().canUnloadNow());
}

// ---- Objects: interfaces answered ----

bool Answers(IUnknown* object, REFIID iid) {
    IUnknown* p = nullptr;
    const HRESULT hr = object->QueryInterface(iid, reinterpret_cast<void**>(&p));
    if (p != nullptr) p->Release();
    EXPECT_TRUE(hr == S_OK || hr == E_NOINTERFACE);
    return hr == S_OK;
}

TEST(Objects, EachClassAnswersItsInterfaces) {
    Ptr<IMatrix> m = NewMatrix();
    Ptr<ICMatrix> c = NewCMatrix();
    Ptr<IGlobal> g = Create<IGlobal>(CLSID_Global, IID_IGlobal);
    for (const IID* iid : {&IID_IUnknown, &IID_IMatrix, &IID_IDispatch, &IID_IProvideClassInfo, &IID_ISupportErrorInfo})
        EXPECT_TRUE(Answers(m.get(), *iid));
    EXPECT_FALSE(Answers(m.get(), IID_ICMatrix));
    EXPECT_FALSE(Answers(m.get(), IID_IGlobal));
    for (const IID* iid : {&IID_IUnknown, &IID_ICMatrix, &IID_IDispatch, &IID_IProvideClassInfo, &IID_ISupportErrorInfo})
        EXPECT_TRUE(Answers(c.get(), *iid));
    EXPECT_FALSE(Answers(c.get(), IID_IMatrix));
    for (const IID* iid : {&IID_IUnknown, &IID_IGlobal, &IID_IDispatch, &IID_IProvideClassInfo})
        EXPECT_TRUE(Answers(g.get(), *iid));
    EXPECT_FALSE(Answers(g.get(), IID_ISupportErrorInfo));

    // IDispatch is the dual interface itself.
    IDispatch* d = nullptr;
    ASSERT_EQ(S_OK, m->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d)));
    EXPECT_EQ(static_cast<IDispatch*>(m.get()), d);
    d->Release();
}

TEST(Objects, ErrorInfoSupportIsForTheOwnInterfaceOnly) {
    Ptr<IMatrix> m = NewMatrix();
    Ptr<ICMatrix> c = NewCMatrix();
    Ptr<ISupportErrorInfo> sm, sc;
    ASSERT_EQ(S_OK, m->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(sm.out())));
    ASSERT_EQ(S_OK, c->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(sc.out())));
    EXPECT_EQ(S_OK, sm->InterfaceSupportsErrorInfo(IID_IMatrix));
    EXPECT_EQ(S_FALSE, sm->InterfaceSupportsErrorInfo(IID_ICMatrix));
    EXPECT_EQ(S_FALSE, sm->InterfaceSupportsErrorInfo(IID_IDispatch));
    EXPECT_EQ(S_OK, sc->InterfaceSupportsErrorInfo(IID_ICMatrix));
    EXPECT_EQ(S_FALSE, sc->InterfaceSupportsErrorInfo(IID_IMatrix));
}

TEST(Objects, ClassInfoAndVersion) {
    Ptr<IMatrix> m = NewMatrix();
    Ptr<ICMatrix> c = NewCMatrix();
    Ptr<IProvideClassInfo> info;
    ASSERT_EQ(S_OK, c->QueryInterface(IID_IProvideClassInfo, reinterpret_cast<void**>(info.out())));
    EXPECT_EQ(E_POINTER, info->GetClassInfo(nullptr));
    Ptr<ITypeInfo> type;
    ASSERT_EQ(S_OK, info->GetClassInfo(type.out()));
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(S_OK, type->GetTypeAttr(&attr));
    EXPECT_TRUE(IsEqualGUID(CLSID_CMatrix, attr->guid));
    EXPECT_EQ(TKIND_COCLASS, attr->typekind);
    type->ReleaseTypeAttr(attr);

    BSTR v = nullptr;
    ASSERT_EQ(S_OK, m->get_Version(&v));
    EXPECT_EQ(L"3.0.000", Take(v));
    ASSERT_EQ(S_OK, c->get_Version(&v));
    EXPECT_EQ(L"3.0.000", Take(v));
}

// ---- The real matrix, early-bound ----

TEST(MatrixObject, NewObjectIsUnsized) {
    Ptr<IMatrix> m = NewMatrix();
    EXPECT_EQ(0, RowsOf(m.get()));
    EXPECT_EQ(0, ColsOf(m.get()));
    LONG max = 0;
    EXPECT_EQ(S_OK, m->get_MaxSize(&max));
    EXPECT_EQ(2147483647, max);
    double v = 42;
    ExpectMatrixFailure(m->get_Item(0, 0, &v), 1321, L"Matrix not yet sized.");
    EXPECT_EQ(42, v);  // out-parameter untouched on failure
    VARIANT_BOOL square = 7;
    ExpectMatrixFailure(m->get_IsSquare(&square), 1321, L"Matrix not yet sized.");
    EXPECT_EQ(7, square);
    ExpectMatrixFailure(m->Clear(), 1321, L"Matrix not yet sized.");
}

TEST(MatrixObject, CountsGivenSeparately) {
    Ptr<IMatrix> m = NewMatrix();
    ExpectMatrixFailure(m->put_Rows(0), 1301, L"Invalid number of rows");
    EXPECT_EQ(S_OK, m->put_Rows(3));
    EXPECT_EQ(3, RowsOf(m.get()));
    EXPECT_EQ(0, ColsOf(m.get()));
    double v;
    ExpectMatrixFailure(m->get_Item(0, 0, &v), 1321, L"Matrix not yet sized.");
    Ptr<IMatrix> column;
    ExpectMatrixFailure(m->ColVector(0, column.out()), 1320, L"Column index exceeds matrix size.");
    ExpectMatrixFailure(m->put_Cols(-1), 1302, L"Invalid number of columns.");
    EXPECT_EQ(S_OK, m->put_Cols(2));
    EXPECT_EQ(2, ColsOf(m.get()));
    for (LONG i = 0; i < 3; ++i)
        for (LONG j = 0; j < 2; ++j) EXPECT_EQ(0.0, At(m.get(), i, j));
}

TEST(MatrixObject, SizeAndResize) {
    Ptr<IMatrix> m = NewMatrix();
    ExpectMatrixFailure(m->Size(0, 5), 1301, L"Invalid number of rows");
    ExpectMatrixFailure(m->Size(5, 0), 1302, L"Invalid number of columns.");
    ExpectMatrixFailure(m->Size(0, 0), 1301, L"Invalid number of rows");
    ASSERT_EQ(S_OK, m->Size(2, 2));
    EXPECT_EQ(S_OK, m->put_Item(0, 0, 1));
    EXPECT_EQ(S_OK, m->put_Item(0, 1, 2));
    EXPECT_EQ(S_OK, m->put_Item(1, 0, 3));
    EXPECT_EQ(S_OK, m->put_Item(1, 1, 4));
    ASSERT_EQ(S_OK, m->Size(3, 1));
    EXPECT_EQ(1.0, At(m.get(), 0, 0));
    EXPECT_EQ(3.0, At(m.get(), 1, 0));
    EXPECT_EQ(0.0, At(m.get(), 2, 0));
}

TEST(MatrixObject, IndexFailuresInOrder) {
    Ptr<IMatrix> m = NewMatrix();
    ASSERT_EQ(S_OK, m->Size(3, 4));
    double v;
    ExpectMatrixFailure(m->get_Item(3, 0, &v), 1319, L"Row index exceeds matrix size.");
    ExpectMatrixFailure(m->get_Item(0, 4, &v), 1320, L"Column index exceeds matrix size.");
    ExpectMatrixFailure(m->put_Item(3, 4, 1.0), 1319, L"Row index exceeds matrix size.");
    ExpectMatrixFailure(m->get_Item(-1, 0, &v), 1319, L"Row index exceeds matrix size.");
    EXPECT_EQ(S_OK, m->SwapRows(1, 1));
    ExpectMatrixFailure(m->SwapRows(0, 3), 1319, L"Row index exceeds matrix size.");
    ExpectMatrixFailure(m->SwapCols(4, 0), 1320, L"Column index exceeds matrix size.");
    Ptr<IMatrix> row;
    ExpectMatrixFailure(m->RowVector(3, row.out()), 1319, L"Row index exceeds matrix size.");
    EXPECT_FALSE(row);
}

TEST(MatrixObject, WholeMatrixOperations) {
    Ptr<IMatrix> m = NewMatrix();
    ASSERT_EQ(S_OK, m->Size(2, 3));
    for (LONG i = 0; i < 2; ++i)
        for (LONG j = 0; j < 3; ++j) ASSERT_EQ(S_OK, m->put_Item(i, j, 10.0 * i + j));
    VARIANT_BOOL square = 1;
    EXPECT_EQ(S_OK, m->get_IsSquare(&square));
    EXPECT_EQ(VARIANT_FALSE, square);

    Ptr<IMatrix> copy;
    ASSERT_EQ(S_OK, m->Clone(copy.out()));
    EXPECT_EQ(S_OK, m->put_Item(1, 2, -5));
    EXPECT_EQ(12.0, At(copy.get(), 1, 2));  // independent

    Ptr<IMatrix> column, row;
    ASSERT_EQ(S_OK, m->ColVector(1, column.out()));
    EXPECT_EQ(2, RowsOf(column.get()));
    EXPECT_EQ(1, ColsOf(column.get()));
    EXPECT_EQ(11.0, At(column.get(), 1, 0));
    ASSERT_EQ(S_OK, m->RowVector(1, row.out()));
    EXPECT_EQ(3, ColsOf(row.get()));
    EXPECT_EQ(-5.0, At(row.get(), 0, 2));

    EXPECT_EQ(S_OK, m->SwapCols(0, 2));
    EXPECT_EQ(2.0, At(m.get(), 0, 0));
    EXPECT_EQ(S_OK, m->SwapRows(0, 1));
    EXPECT_EQ(-5.0, At(m.get(), 0, 0));
    EXPECT_EQ(S_OK, m->Clear());
    EXPECT_EQ(0.0, At(m.get(), 1, 1));

    Ptr<IMatrix> unsized = NewMatrix(), clone;
    ASSERT_EQ(S_OK, unsized->put_Rows(4));
    ASSERT_EQ(S_OK, unsized->Clone(clone.out()));
    EXPECT_EQ(0, RowsOf(clone.get()));  // a count given alone is not carried over
    EXPECT_EQ(E_POINTER, unsized->Clone(nullptr));
}

TEST(MatrixObject, ASquareMatrixIsSquare) {
    Ptr<IMatrix> m = NewMatrix();
    ASSERT_EQ(S_OK, m->Size(2, 2));
    VARIANT_BOOL square = 0;
    EXPECT_EQ(S_OK, m->get_IsSquare(&square));
    EXPECT_EQ(VARIANT_TRUE, square);
}

// ---- The complex matrix ----

TEST(CMatrixObject, ElementsAndRecordsOfItsOwnClass) {
    Ptr<ICMatrix> c = NewCMatrix();
    ::Complex v{9, 9};
    ExpectFailure(c->get_Item(0, 0, &v), 1321, L"Matrix not yet sized.", CLSID_CMatrix, kCMatrixProgId);
    EXPECT_EQ(9.0, v.Real);
    ASSERT_EQ(S_OK, c->Size(2, 1));
    ::Complex w{1.5, -2.5};
    EXPECT_EQ(S_OK, c->put_Item(1, 0, &w));
    EXPECT_EQ(E_POINTER, c->put_Item(1, 0, nullptr));
    ASSERT_EQ(S_OK, c->get_Item(1, 0, &v));
    EXPECT_EQ(1.5, v.Real);
    EXPECT_EQ(-2.5, v.Imag);
    ExpectFailure(c->put_Item(0, 1, &w), 1320, L"Column index exceeds matrix size.", CLSID_CMatrix, kCMatrixProgId);
    Ptr<ICMatrix> row;
    ASSERT_EQ(S_OK, c->RowVector(1, row.out()));
    ASSERT_EQ(S_OK, row->get_Item(0, 0, &v));
    EXPECT_EQ(-2.5, v.Imag);
    ExpectFailure(c->put_Rows(0), 1301, L"Invalid number of rows", CLSID_CMatrix, kCMatrixProgId);
}

// ---- The Global object ----

TEST(GlobalObject, ComplexFunctions) {
    Ptr<IGlobal> g = Create<IGlobal>(CLSID_Global, IID_IGlobal);
    ::Complex a{3, 4}, b{1, -2}, r{};
    ASSERT_EQ(S_OK, g->CAdd(&a, &b, &r));
    EXPECT_EQ(4.0, r.Real);
    EXPECT_EQ(2.0, r.Imag);
    ASSERT_EQ(S_OK, g->CSub(&a, &b, &r));
    EXPECT_EQ(2.0, r.Real);
    EXPECT_EQ(6.0, r.Imag);
    ASSERT_EQ(S_OK, g->CMul(&a, &b, &r));  // (3+4i)(1-2i) = 11 - 2i
    EXPECT_EQ(11.0, r.Real);
    EXPECT_EQ(-2.0, r.Imag);
    ASSERT_EQ(S_OK, g->CDiv(&a, &b, &r));  // (3+4i)/(1-2i) = -1 + 2i
    EXPECT_NEAR(-1.0, r.Real, 1e-15);
    EXPECT_NEAR(2.0, r.Imag, 1e-15);
    double abs = 0;
    ASSERT_EQ(S_OK, g->CAbs(&a, &abs));
    EXPECT_EQ(5.0, abs);
    ::Complex minus4{-4, 0};
    ASSERT_EQ(S_OK, g->CSqr(&minus4, &r));
    EXPECT_EQ(0.0, r.Real);
    EXPECT_EQ(2.0, r.Imag);
    EXPECT_EQ(E_POINTER, g->CAdd(nullptr, &b, &r));
}

TEST(GlobalObject, FactoriesAlwaysSucceed) {
    Ptr<IGlobal> g = Create<IGlobal>(CLSID_Global, IID_IGlobal);
    Ptr<IMatrix> m, n, bad;
    ASSERT_EQ(S_OK, g->CreateMatrix(3, 2, m.out()));
    EXPECT_EQ(3, RowsOf(m.get()));
    EXPECT_EQ(2, ColsOf(m.get()));
    EXPECT_EQ(0.0, At(m.get(), 2, 1));
    ASSERT_EQ(S_OK, g->CreateMatrix(3, 2, n.out()));
    EXPECT_NE(m.get(), n.get());
    EXPECT_EQ(S_OK, m->put_Item(0, 0, 5));
    EXPECT_EQ(0.0, At(n.get(), 0, 0));

    ASSERT_EQ(S_OK, g->CreateMatrix(0, 5, bad.out()));
    EXPECT_EQ(0, RowsOf(bad.get()));
    EXPECT_EQ(0, ColsOf(bad.get()));
    EXPECT_EQ(L"Invalid number of rows", TakeErrorRecord().description);  // Size's record stays
    ASSERT_EQ(S_OK, g->CreateMatrix(5, -1, bad.out()));
    EXPECT_EQ(0, ColsOf(bad.get()));
    double v;
    EXPECT_EQ(static_cast<HRESULT>(0x80040529), bad->get_Item(0, 0, &v));

    Ptr<ICMatrix> c;
    ASSERT_EQ(S_OK, g->CreateCMatrix(1, 1, c.out()));
    ::Complex z{7, 7};
    ASSERT_EQ(S_OK, c->get_Item(0, 0, &z));
    EXPECT_EQ(0.0, z.Real);
    EXPECT_EQ(0.0, z.Imag);
    g.reset();
    EXPECT_EQ(S_OK, c->put_Item(0, 0, &z));  // independent of the Global object
}

// ---- Late binding through IDispatch ----

DISPID IdOf(IDispatch* d, const wchar_t* name) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = -99;
    EXPECT_EQ(S_OK, d->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
    return id;
}

TEST(LateBound, NamesResolveAsTheTypeLibrarySays) {
    Ptr<IMatrix> m = NewMatrix();
    Ptr<ICMatrix> c = NewCMatrix();
    EXPECT_EQ(15, IdOf(m.get(), L"getstring"));
    EXPECT_EQ(16, IdOf(c.get(), L"getstring"));
    EXPECT_EQ(32, IdOf(m.get(), L"SortRows"));
    EXPECT_EQ(35, IdOf(c.get(), L"SortRows"));
    EXPECT_EQ(0, IdOf(m.get(), L"item"));
    EXPECT_EQ(41, IdOf(c.get(), L"Version"));
    UINT count = 0;
    EXPECT_EQ(S_OK, m->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);
    Ptr<ITypeInfo> info;
    ASSERT_EQ(S_OK, m->GetTypeInfo(5, LOCALE_USER_DEFAULT, info.out()));  // any index
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
    EXPECT_TRUE(IsEqualGUID(IID_IMatrix, attr->guid));
    info->ReleaseTypeAttr(attr);
    EXPECT_EQ(E_POINTER, m->GetTypeInfo(0, LOCALE_USER_DEFAULT, nullptr));
}

// Arguments as VBA passes variables: typed references.
TEST(LateBound, TypedReferencesAsVbaPassesThem) {
    Ptr<IMatrix> m = NewMatrix();
    LONG rows = 2, cols = 3;
    VARIANT args[3];
    V_VT(&args[1]) = VT_BYREF | VT_I4;
    V_I4REF(&args[1]) = &rows;
    V_VT(&args[0]) = VT_BYREF | VT_I4;
    V_I4REF(&args[0]) = &cols;
    DISPPARAMS params{args, nullptr, 2, 0};
    ASSERT_EQ(S_OK, m->Invoke(3, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr));
    EXPECT_EQ(2, RowsOf(m.get()));

    // m(1, 2) = 6.5 with every argument by reference.
    LONG row = 1, col = 2;
    double value = 6.5;
    DISPID put = DISPID_PROPERTYPUT;
    V_VT(&args[2]) = VT_BYREF | VT_I4;
    V_I4REF(&args[2]) = &row;
    V_VT(&args[1]) = VT_BYREF | VT_I4;
    V_I4REF(&args[1]) = &col;
    V_VT(&args[0]) = VT_BYREF | VT_R8;
    V_R8REF(&args[0]) = &value;
    DISPPARAMS putParams{args, &put, 3, 1};
    ASSERT_EQ(S_OK, m->Invoke(0, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &putParams, nullptr, nullptr,
                              nullptr));
    EXPECT_EQ(6.5, At(m.get(), 1, 2));

    // Variables held in variants (script hosts) also work.
    VARIANT inner[2];
    V_VT(&inner[0]) = VT_I2;
    V_I2(&inner[0]) = 2;
    V_VT(&inner[1]) = VT_I4;
    V_I4(&inner[1]) = 1;
    V_VT(&args[1]) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&args[1]) = &inner[1];
    V_VT(&args[0]) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&args[0]) = &inner[0];
    DISPPARAMS getParams{args, nullptr, 2, 0};
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(S_OK, m->Invoke(0, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &getParams,
                              &result, nullptr, nullptr));
    EXPECT_EQ(VT_R8, V_VT(&result));
    EXPECT_EQ(6.5, V_R8(&result));
}

TEST(LateBound, FailuresComeBackInExcepInfo) {
    Ptr<IMatrix> m = NewMatrix();
    ASSERT_EQ(S_OK, m->Size(3, 4));
    LONG row = 3, col = 0;
    VARIANT args[2];
    V_VT(&args[1]) = VT_BYREF | VT_I4;
    V_I4REF(&args[1]) = &row;
    V_VT(&args[0]) = VT_BYREF | VT_I4;
    V_I4REF(&args[0]) = &col;
    DISPPARAMS params{args, nullptr, 2, 0};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO error{};
    ASSERT_EQ(DISP_E_EXCEPTION, m->Invoke(0, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &params, &result,
                                          &error, nullptr));
    EXPECT_EQ(static_cast<SCODE>(0x80040527), error.scode);
    EXPECT_EQ(L"Row index exceeds matrix size.", Take(error.bstrDescription));
    EXPECT_EQ(kMatrixProgId, Take(error.bstrSource));
    EXPECT_EQ(L"CorvaneMatrix.chm", Take(error.bstrHelpFile));
    EXPECT_EQ(1319u, error.dwHelpContext);

    // Rows = 0 late-bound.
    LONG zero = 0;
    DISPID put = DISPID_PROPERTYPUT;
    V_VT(&args[0]) = VT_BYREF | VT_I4;
    V_I4REF(&args[0]) = &zero;
    DISPPARAMS putParams{args, &put, 1, 1};
    error = EXCEPINFO{};
    ASSERT_EQ(DISP_E_EXCEPTION, m->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &putParams, nullptr,
                                          &error, nullptr));
    EXPECT_EQ(static_cast<SCODE>(0x80040515), error.scode);
    EXPECT_EQ(L"Invalid number of rows", Take(error.bstrDescription));
    EXPECT_EQ(1301u, error.dwHelpContext);
    SysFreeString(error.bstrSource);
    SysFreeString(error.bstrHelpFile);
}

TEST(LateBound, ObjectResultsAndTheGlobalFactories) {
    Ptr<IGlobal> g = Create<IGlobal>(CLSID_Global, IID_IGlobal);
    VARIANT args[2];
    V_VT(&args[1]) = VT_I4;
    V_I4(&args[1]) = 2;
    V_VT(&args[0]) = VT_I4;
    V_I4(&args[0]) = 2;
    DISPPARAMS params{args, nullptr, 2, 0};
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(S_OK, g->Invoke(7, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr, nullptr));
    ASSERT_EQ(VT_DISPATCH, V_VT(&result));
    Ptr<IMatrix> m;
    ASSERT_EQ(S_OK, V_DISPATCH(&result)->QueryInterface(IID_IMatrix, reinterpret_cast<void**>(m.out())));
    VariantClear(&result);
    EXPECT_EQ(2, RowsOf(m.get()));

    DISPPARAMS none{nullptr, nullptr, 0, 0};
    ASSERT_EQ(S_OK, m->Invoke(5, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, &result, nullptr, nullptr));
    ASSERT_EQ(VT_DISPATCH, V_VT(&result));
    VariantClear(&result);
    ASSERT_EQ(S_OK, m->Invoke(41, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr));
    ASSERT_EQ(VT_BSTR, V_VT(&result));
    EXPECT_EQ(std::wstring(L"3.0.000"), V_BSTR(&result));
    VariantClear(&result);
}

// Counts the task-memory blocks made and not yet freed while it is registered
// (safe arrays live in task memory). Static: the runtime may keep it until the
// last block it saw is freed.
class BlockCounter final : public IMallocSpy {
public:
    LONG live = 0;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMallocSpy)) {
            *out = static_cast<IMallocSpy*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T cb) override { return cb; }
    void* STDMETHODCALLTYPE PostAlloc(void* p) override {
        if (p != nullptr) ++live;
        return p;
    }
    void* STDMETHODCALLTYPE PreFree(void* p, BOOL spyed) override {
        if (p != nullptr && spyed) --live;
        return p;
    }
    void STDMETHODCALLTYPE PostFree(BOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* p, SIZE_T cb, void** out, BOOL) override {
        *out = p;
        return cb;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* p, BOOL) override { return p; }
    void* STDMETHODCALLTYPE PreGetSize(void* p, BOOL) override { return p; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T cb, BOOL) override { return cb; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* p, BOOL) override { return p; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}
};
BlockCounter g_blocks;

// A permutation index the caller omits, or gives by value, is made for the call
// and freed after it; the caller's own value is left alone.
TEST(LateBound, PermutationIndexOutputsKeepNoMemoryAndLeaveTheCallersValue) {
    Ptr<IMatrix> m = NewMatrix();
    ASSERT_EQ(S_OK, m->Size(3, 1));
    ASSERT_EQ(S_OK, m->put_Item(0, 0, 3.0));
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    // The type information is loaded (and kept) before counting.
    ASSERT_EQ(S_OK, m->Invoke(32, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));

    ASSERT_EQ(S_OK, CoRegisterMallocSpy(&g_blocks));
    SAFEARRAYBOUND bound{3, 0};
    SAFEARRAY* mine = SafeArrayCreate(VT_I4, 1, &bound);
    ASSERT_NE(nullptr, mine);
    ASSERT_EQ(S_OK, SafeArrayLock(mine));  // kept safe from a wrongful free
    const LONG before = g_blocks.live;

    for (int i = 0; i < 3; ++i)  // SortRows with every argument omitted
        ASSERT_EQ(S_OK, m->Invoke(32, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
    VARIANT args[3];
    V_VT(&args[2]) = VT_I4;
    V_I4(&args[2]) = 0;
    V_VT(&args[1]) = VT_I4;
    V_I4(&args[1]) = 1;
    V_VT(&args[0]) = VT_ARRAY | VT_I4;  // by value: not the caller's to lose
    V_ARRAY(&args[0]) = mine;
    DISPPARAMS given{args, nullptr, 3, 0};
    ASSERT_EQ(S_OK, m->Invoke(32, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &given, nullptr, nullptr, nullptr));
    EXPECT_EQ(VT_ARRAY | VT_I4, V_VT(&args[0]));
    EXPECT_EQ(mine, V_ARRAY(&args[0]));
    EXPECT_EQ(1u, mine->cLocks);

    const LONG after = g_blocks.live;
    EXPECT_EQ(S_OK, SafeArrayUnlock(mine));
    EXPECT_EQ(S_OK, SafeArrayDestroy(mine));
    CoRevokeMallocSpy();
    EXPECT_EQ(before, after);
}

}  // namespace
}  // namespace corvane::server::test

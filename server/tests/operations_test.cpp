// Members over the core's operations, early- and late-bound: arithmetic,
// comparisons, normalisation, conversion, sorting with permutation indexes,
// text and random fill.
#include <cmath>
#include <cstring>
#include <vector>

#include "client_support.h"

namespace corvane::server::test {
namespace {

constexpr wchar_t kMatrixProgId[] = L"CorvaneMatrix30.Matrix.1";

Ptr<IMatrix> Column(std::vector<double> values) {
    Ptr<IMatrix> m = NewMatrix();
    EXPECT_EQ(S_OK, m->Size(static_cast<LONG>(values.size()), 1));
    for (size_t i = 0; i < values.size(); ++i) EXPECT_EQ(S_OK, m->put_Item(static_cast<LONG>(i), 0, values[i]));
    return m;
}

double At(IMatrix* m, LONG i, LONG j) {
    double v = -99;
    EXPECT_EQ(S_OK, m->get_Item(i, j, &v));
    return v;
}

std::vector<LONG> Entries(const VARIANT& v) {
    std::vector<LONG> out;
    EXPECT_EQ(VT_ARRAY | VT_I4, V_VT(&v));
    if (V_VT(&v) != (VT_ARRAY | VT_I4)) return out;
    LONG lower = -1, upper = -1;
    SafeArrayGetLBound(V_ARRAY(&v), 1, &lower);
    SafeArrayGetUBound(V_ARRAY(&v), 1, &upper);
    EXPECT_EQ(0, lower);
    for (LONG i = lower; i <= upper; ++i) {
        LONG e = 0;
        SafeArrayGetElement(V_ARRAY(&v), &i, &e);
        out.push_back(e);
    }
    return out;
}

VARIANT IndexOf(std::vector<LONG> entries, LONG lower = 0) {
    SAFEARRAYBOUND bound{static_cast<ULONG>(entries.size()), lower};
    VARIANT v;
    V_VT(&v) = VT_ARRAY | VT_I4;
    V_ARRAY(&v) = SafeArrayCreate(VT_I4, 1, &bound);
    for (LONG i = 0; i < static_cast<LONG>(entries.size()); ++i) {
        LONG at = lower + i;
        SafeArrayPutElement(V_ARRAY(&v), &at, &entries[static_cast<size_t>(i)]);
    }
    return v;
}

TEST(Operations, ArithmeticReadsOtherObjectsThroughTheirInterface) {
    Ptr<IMatrix> a = Column({1, 2, 3});
    IMatrix* self = a.get();
    Ptr<IMatrix> sum;
    ASSERT_EQ(S_OK, a->Plus(&self, sum.out()));  // the object itself as argument
    EXPECT_EQ(6.0, At(sum.get(), 2, 0));
    Ptr<IMatrix> b = Column({1, 1});
    IMatrix* other = b.get();
    ExpectFailure(a->Minus(&other, sum.out()), 1312, L"Matrices do not have the same size.", CLSID_Matrix,
                  kMatrixProgId);
    ExpectFailure(a->Times(&other, sum.out()), 1307, L"Matrix multiplication is not possible.", CLSID_Matrix,
                  kMatrixProgId);
    IMatrix* none = nullptr;
    EXPECT_EQ(E_POINTER, a->PlusEquals(&none));
    EXPECT_EQ(E_POINTER, a->PlusEquals(nullptr));
    ASSERT_EQ(S_OK, a->MinusEquals(&self));
    EXPECT_EQ(0.0, At(a.get(), 1, 0));

    Ptr<IMatrix> t, product;
    Ptr<IMatrix> c = Column({1, 2});
    ASSERT_EQ(S_OK, c->Transpose(t.out()));
    IMatrix* column = c.get();
    ASSERT_EQ(S_OK, t->Times(&column, product.out()));
    EXPECT_EQ(5.0, At(product.get(), 0, 0));
    Ptr<IMatrix> scaled;
    ASSERT_EQ(S_OK, c->TimesScalar(-2, scaled.out()));
    EXPECT_EQ(-4.0, At(scaled.get(), 1, 0));
    EXPECT_EQ(0u, scaled.get()->AddRef() - 2);  // handed out with exactly one reference
    scaled->Release();
}

TEST(Operations, ComparisonsNormalisationAndConversion) {
    Ptr<IMatrix> a = Column({2, -4});
    Ptr<IMatrix> b = Column({2, -4 + 1e-10});
    IMatrix* other = b.get();
    VARIANT_BOOL equal = 0;
    ASSERT_EQ(S_OK, a->IsEqualTo(&other, 1e-9, &equal));
    EXPECT_EQ(VARIANT_TRUE, equal);
    ASSERT_EQ(S_OK, a->IsEqualTo(&other, 0, &equal));
    EXPECT_EQ(VARIANT_FALSE, equal);
    ExpectFailure(NewMatrix()->IsSymmetric(1e-9, &equal), 1321, L"Matrix not yet sized.", CLSID_Matrix, kMatrixProgId);

    double norm = 0;
    Ptr<IMatrix> n;
    ASSERT_EQ(S_OK, a->Normalize(&norm, n.out()));
    EXPECT_EQ(-4.0, norm);
    EXPECT_EQ(-0.5, At(n.get(), 0, 0));
    ASSERT_EQ(S_OK, a->NormalizeMe(nullptr));  // the scale need not be wanted
    EXPECT_EQ(1.0, At(a.get(), 1, 0));

    Ptr<ICMatrix> c;
    ASSERT_EQ(S_OK, b->ToCMatrix(c.out()));
    ::Complex z{9, 9};
    ASSERT_EQ(S_OK, c->get_Item(0, 0, &z));
    EXPECT_EQ(2.0, z.Real);
    EXPECT_EQ(0.0, z.Imag);
    ::Complex i{0, 1};
    Ptr<ICMatrix> turned;
    ASSERT_EQ(S_OK, c->TimesScalar(&i, turned.out()));
    ASSERT_EQ(S_OK, turned->get_Item(0, 0, &z));
    EXPECT_EQ(2.0, z.Imag);
}

TEST(Operations, SortingGivesAnIndexThatReordersOthers) {
    for (::SortOrderEnum order : {msoAscending, msoDescending}) {
        Ptr<IMatrix> m = Column({3, 1, 2});
        VARIANT index;
        VariantInit(&index);
        ASSERT_EQ(S_OK, m->SortRows(0, order, &index));
        EXPECT_EQ((std::vector<LONG>{2, 0, 1}), Entries(index));
        EXPECT_EQ(order == msoAscending ? 1.0 : 3.0, At(m.get(), 0, 0));
        // The index held by reference works like the direct form.
        Ptr<IMatrix> copy = Column({3, 1, 2});
        VARIANT byRef;
        V_VT(&byRef) = VT_BYREF | VT_ARRAY | VT_I4;
        V_ARRAYREF(&byRef) = &V_ARRAY(&index);
        ASSERT_EQ(S_OK, copy->ReorderRows(&byRef));
        EXPECT_EQ(1.0, At(copy.get(), 0, 0));
        EXPECT_EQ(3.0, At(copy.get(), 2, 0));
        EXPECT_EQ((std::vector<LONG>{2, 0, 1}), Entries(index));  // unchanged
        VariantClear(&index);
    }
    Ptr<IMatrix> m = Column({3, 1, 2});
    VARIANT shortIndex = IndexOf({0, 1});
    ExpectFailure(m->ReorderRows(&shortIndex), 1304, L"Array is not of the expected size or it is not zero-based.",
                  CLSID_Matrix, kMatrixProgId);
    VariantClear(&shortIndex);
    VARIANT oneBased = IndexOf({0, 1, 2}, 1);
    EXPECT_EQ(static_cast<HRESULT>(0x80040518), m->ReorderRows(&oneBased));
    VariantClear(&oneBased);
    VARIANT number;
    V_VT(&number) = VT_R8;
    V_R8(&number) = 1;
    EXPECT_EQ(static_cast<HRESULT>(0x80040517), m->ReorderRows(&number));
    EXPECT_EQ(static_cast<HRESULT>(0x80040518), m->ReorderRows(nullptr));
    VARIANT swap = IndexOf({1, 0, 2});
    ASSERT_EQ(S_OK, m->ReorderRows(&swap));
    EXPECT_EQ(1.0, At(m.get(), 0, 0));
    VariantClear(&swap);
    VARIANT unused;
    VariantInit(&unused);
    ExpectFailure(m->SortCols(3, msoAscending, &unused), 1319, L"Row index exceeds matrix size.", CLSID_Matrix,
                  kMatrixProgId);
    EXPECT_EQ(VT_EMPTY, V_VT(&unused));
}

// Late-bound calls that omit optional arguments or pass script variables.
TEST(Operations, LateBoundDefaultsAndVariables) {
    Ptr<IMatrix> m = Column({3, 1});
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(S_OK, m->Invoke(15, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, &result, nullptr, nullptr));
    ASSERT_EQ(VT_BSTR, V_VT(&result));
    EXPECT_EQ(std::wstring(L"| 3.000 |\r\n| 1.000 |\r\n"), V_BSTR(&result));
    VariantClear(&result);

    BSTR empty = nullptr;
    ASSERT_EQ(S_OK, NewMatrix()->GetString(2, nullptr, &empty));
    EXPECT_EQ(L"| Empty |", Take(empty));

    ASSERT_EQ(S_OK, m->Invoke(14, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
    for (LONG i = 0; i < 2; ++i) {
        const double v = At(m.get(), i, 0);
        EXPECT_TRUE(v >= 0 && v < 10 && v == std::floor(v)) << v;
    }

    // NormalizeMe n, SortRows , , p: variables held in variants are filled.
    VARIANT variable;
    VariantInit(&variable);
    VARIANT arg;
    V_VT(&arg) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&arg) = &variable;
    DISPPARAMS one{&arg, nullptr, 1, 0};
    ASSERT_EQ(S_OK, m->Invoke(26, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &one, nullptr, nullptr, nullptr));
    ASSERT_EQ(VT_R8, V_VT(&variable));
    EXPECT_NE(0.0, V_R8(&variable));

    VARIANT args[3];
    V_VT(&args[2]) = VT_ERROR;
    V_ERROR(&args[2]) = DISP_E_PARAMNOTFOUND;
    V_VT(&args[1]) = VT_ERROR;
    V_ERROR(&args[1]) = DISP_E_PARAMNOTFOUND;
    args[0] = arg;
    DISPPARAMS three{args, nullptr, 3, 0};
    ASSERT_EQ(S_OK, m->Invoke(32, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &three, nullptr, nullptr, nullptr));
    EXPECT_EQ(2u, Entries(variable).size());
    VariantClear(&variable);

    // Every argument omitted, the index included.
    V_VT(&args[0]) = VT_ERROR;
    V_ERROR(&args[0]) = DISP_E_PARAMNOTFOUND;
    ASSERT_EQ(S_OK, m->Invoke(32, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &three, nullptr, nullptr, nullptr));
    ASSERT_EQ(S_OK, m->Invoke(32, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
}

TEST(Operations, GlobalComplexFunctionsRefuseNullPointers) {
    Ptr<IGlobal> g = Create<IGlobal>(CLSID_Global, IID_IGlobal);
    ::Complex a{1, 1}, r{};
    EXPECT_EQ(E_POINTER, g->CMul(&a, nullptr, &r));
    EXPECT_EQ(E_POINTER, g->CSqr(&a, nullptr));
    ASSERT_EQ(S_OK, g->CMul(&a, &a, &r));  // (1+i)² = 2i
    EXPECT_EQ(0.0, r.Real);
    EXPECT_EQ(2.0, r.Imag);
}

}  // namespace
}  // namespace corvane::server::test

namespace corvane::server::test {
namespace {

// EigenC of a CMatrix: caller-supplied outputs are filled, omitted ones
// skipped, early- and late-bound.
TEST(Decompositions, EigenCFillsTheCallersObjects) {
    Ptr<IMatrix> real = NewMatrix();
    ASSERT_EQ(S_OK, real->Size(2, 2));
    for (LONG i = 0; i < 2; ++i)
        for (LONG j = 0; j < 2; ++j) ASSERT_EQ(S_OK, real->put_Item(i, j, i == j ? 2.0 : 1.0));
    Ptr<ICMatrix> c;
    ASSERT_EQ(S_OK, real->ToCMatrix(c.out()));
    Ptr<ICMatrix> values = NewCMatrix(), vectors = NewCMatrix();
    ICMatrix* v = values.get();
    ICMatrix* w = vectors.get();
    ASSERT_EQ(S_OK, c->EigenC(&v, &w));
    ::Complex z{};
    ASSERT_EQ(S_OK, values->get_Item(0, 0, &z));
    EXPECT_NEAR(3.0, z.Real, 1e-12);
    ASSERT_EQ(S_OK, values->get_Item(1, 0, &z));
    EXPECT_NEAR(1.0, z.Real, 1e-12);
    LONG rows = 0;
    vectors->get_Rows(&rows);
    EXPECT_EQ(2, rows);
    EXPECT_EQ(S_OK, c->EigenC(nullptr, nullptr));

    // Late-bound as VBA passes object variables, then with nothing at all.
    Ptr<ICMatrix> fresh = NewCMatrix();
    ICMatrix* target = fresh.get();
    VARIANT args[2];
    args[1] = ObjectRef(&target);
    V_VT(&args[0]) = VT_ERROR;
    V_ERROR(&args[0]) = DISP_E_PARAMNOTFOUND;
    DISPPARAMS params{args, nullptr, 2, 0};
    ASSERT_EQ(S_OK, c->Invoke(39, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr));
    EXPECT_EQ(fresh.get(), target);  // the caller's reference is not replaced
    fresh->get_Rows(&rows);
    EXPECT_EQ(2, rows);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(S_OK, c->Invoke(39, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));

    Ptr<ICMatrix> unsized = NewCMatrix();
    ExpectFailure(unsized->EigenC(&v, &w), 1321, L"Matrix not yet sized.", CLSID_CMatrix, L"CorVaneMatrix30.CMatrix.1");
}

}  // namespace
}  // namespace corvane::server::test

namespace corvane::server::test {
namespace {

// The Complex record's description, for VT_RECORD arguments.
Ptr<IRecordInfo> ComplexRecordInfo() {
    Ptr<ITypeLib> lib;
    Ptr<ITypeInfo> info;
    Ptr<IRecordInfo> record;
    EXPECT_EQ(S_OK, LoadRegTypeLib(LIBID_CorvaneMatrix30, 1, 0, 1033, lib.out()));
    EXPECT_EQ(S_OK, lib->GetTypeInfo(2, info.out()));
    EXPECT_EQ(S_OK, GetRecordInfoFromTypeInfo(info.get(), record.out()));
    return record;
}

VARIANT RecordArg(IRecordInfo* info, ::Complex* value) {
    VARIANT v;
    V_VT(&v) = VT_RECORD;
    V_RECORDINFO(&v) = info;
    V_RECORD(&v) = value;
    return v;
}

::Complex RecordValue(const VARIANT& v) {
    ::Complex c{-99, -99};
    EXPECT_EQ(VT_RECORD, V_VT(&v));
    if (V_VT(&v) == VT_RECORD) std::memcpy(&c, V_RECORD(&v), sizeof c);
    return c;
}

TEST(LateBoundRecords, ComplexArgumentsAndResults) {
    Ptr<IRecordInfo> info = ComplexRecordInfo();
    ASSERT_TRUE(info);
    Ptr<IGlobal> g = Create<IGlobal>(CLSID_Global, IID_IGlobal);
    ::Complex a{3, 4}, b{1, -2};
    VARIANT args[2] = {RecordArg(info.get(), &b), RecordArg(info.get(), &a)};
    DISPPARAMS two{args, nullptr, 2, 0};
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(S_OK, g->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &two, &result, nullptr, nullptr));
    const ::Complex sum = RecordValue(result);
    EXPECT_EQ(4.0, sum.Real);
    EXPECT_EQ(2.0, sum.Imag);
    VariantClear(&result);
    DISPPARAMS one{&args[1], nullptr, 1, 0};
    ASSERT_EQ(S_OK, g->Invoke(5, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &one, &result, nullptr, nullptr));
    ASSERT_EQ(VT_R8, V_VT(&result));
    EXPECT_EQ(5.0, V_R8(&result));

    // CMatrix elements late-bound: put with a record, get one back; a record
    // held by reference in a variant also works.
    Ptr<ICMatrix> c = NewCMatrix();
    ASSERT_EQ(S_OK, c->Size(2, 2));
    LONG row = 1, col = 0;
    VARIANT held = RecordArg(info.get(), &a);
    VARIANT put[3];
    V_VT(&put[2]) = VT_BYREF | VT_I4;
    V_I4REF(&put[2]) = &row;
    V_VT(&put[1]) = VT_I4;
    V_I4(&put[1]) = col;
    V_VT(&put[0]) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&put[0]) = &held;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS putParams{put, &named, 3, 1};
    ASSERT_EQ(S_OK, c->Invoke(0, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &putParams, nullptr, nullptr,
                              nullptr));
    DISPPARAMS getParams{&put[1], nullptr, 2, 0};
    ASSERT_EQ(S_OK, c->Invoke(0, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &getParams,
                              &result, nullptr, nullptr));
    const ::Complex got = RecordValue(result);
    EXPECT_EQ(3.0, got.Real);
    EXPECT_EQ(4.0, got.Imag);
    VariantClear(&result);

    // A scalar record in, an object out.
    DISPPARAMS scalar{&args[1], nullptr, 1, 0};
    ASSERT_EQ(S_OK, c->Invoke(37, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &scalar, &result, nullptr, nullptr));
    ASSERT_EQ(VT_DISPATCH, V_VT(&result));
    VariantClear(&result);

    // Failures come back in EXCEPINFO.
    row = 2;
    EXCEPINFO error{};
    ASSERT_EQ(DISP_E_EXCEPTION, c->Invoke(0, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &getParams, &result,
                                          &error, nullptr));
    EXPECT_EQ(static_cast<SCODE>(0x80040527), error.scode);
    EXPECT_EQ(L"Row index exceeds matrix size.", Take(error.bstrDescription));
    EXPECT_EQ(L"CorVaneMatrix30.CMatrix.1", Take(error.bstrSource));
    EXPECT_EQ(L"CorvaneMatrix.chm", Take(error.bstrHelpFile));
    EXPECT_EQ(1319u, error.dwHelpContext);

    // Not a record: a type mismatch, not a crash.
    VARIANT number;
    V_VT(&number) = VT_R8;
    V_R8(&number) = 1;
    DISPPARAMS wrong{&number, nullptr, 1, 0};
    EXPECT_EQ(DISP_E_TYPEMISMATCH,
              g->Invoke(6, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &wrong, &result, nullptr, nullptr));
    EXPECT_EQ(DISP_E_BADPARAMCOUNT,
              g->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &wrong, &result, nullptr, nullptr));
}

}  // namespace
}  // namespace corvane::server::test

namespace corvane::server::test {
namespace {

Ptr<IMatrix> Square3() {
    const double v[3][3] = {{4, 1, 0}, {1, 3, 1}, {0, 1, 2}};
    Ptr<IMatrix> m = NewMatrix();
    EXPECT_EQ(S_OK, m->Size(3, 3));
    for (LONG i = 0; i < 3; ++i)
        for (LONG j = 0; j < 3; ++j) EXPECT_EQ(S_OK, m->put_Item(i, j, v[i][j]));
    return m;
}

// LU as VBA calls it late-bound (typed references), and with every argument
// omitted: the omitted out-arguments must not be written through defaults.
TEST(Decompositions, LuLateBound) {
    Ptr<IMatrix> m = Square3();
    Ptr<IMatrix> l = NewMatrix(), u = NewMatrix();
    IMatrix* lp = l.get();
    IMatrix* up = u.get();
    VARIANT index;
    VariantInit(&index);
    LONG sign = 0;
    VARIANT args[4];
    args[3] = ObjectRef(&lp);
    args[2] = ObjectRef(&up);
    V_VT(&args[1]) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&args[1]) = &index;
    V_VT(&args[0]) = VT_BYREF | VT_I4;
    V_I4REF(&args[0]) = &sign;
    DISPPARAMS params{args, nullptr, 4, 0};
    ASSERT_EQ(S_OK, m->Invoke(19, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr));
    EXPECT_EQ(1, sign);
    EXPECT_EQ(VT_ARRAY | VT_I4, V_VT(&index));
    double v = 0;
    ASSERT_EQ(S_OK, l->get_Item(1, 0, &v));
    EXPECT_EQ(0.25, v);
    ASSERT_EQ(S_OK, u->get_Item(0, 0, &v));
    EXPECT_EQ(4.0, v);
    VariantClear(&index);

    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(S_OK, m->Invoke(19, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
    DISPPARAMS first{&args[3], nullptr, 1, 0};
    EXPECT_EQ(S_OK, m->Invoke(19, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &first, nullptr, nullptr, nullptr));

    // A singular matrix: 1313, and no output touched.
    Ptr<IMatrix> singular = NewMatrix();
    ASSERT_EQ(S_OK, singular->Size(2, 2));
    sign = 7;
    VariantInit(&index);
    ExpectFailure(singular->LU(&lp, &up, &index, &sign), 1313, L"Decomposition is not possible for a singular matrix.",
                  CLSID_Matrix, L"CorvaneMatrix30.Matrix.1");
    EXPECT_EQ(7, sign);
    EXPECT_EQ(VT_EMPTY, V_VT(&index));
    ASSERT_EQ(S_OK, l->get_Item(1, 0, &v));
    EXPECT_EQ(0.25, v);
}

TEST(Decompositions, SolversAndFactorisations) {
    Ptr<IMatrix> m = Square3();
    double det = 0;
    ASSERT_EQ(S_OK, m->Determinant(&det));
    EXPECT_NEAR(18.0, det, 1e-12);
    Ptr<IMatrix> inverse, product;
    ASSERT_EQ(S_OK, m->Inverse(inverse.out()));
    IMatrix* inv = inverse.get();
    ASSERT_EQ(S_OK, m->Times(&inv, product.out()));
    for (LONG i = 0; i < 3; ++i)
        for (LONG j = 0; j < 3; ++j) {
            double v = 0;
            ASSERT_EQ(S_OK, product->get_Item(i, j, &v));
            EXPECT_NEAR(i == j ? 1.0 : 0.0, v, 1e-12);
        }
    Ptr<IMatrix> rhs = NewMatrix(), x;
    ASSERT_EQ(S_OK, rhs->Size(3, 1));
    ASSERT_EQ(S_OK, rhs->put_Item(0, 0, 1));
    IMatrix* b = rhs.get();
    ASSERT_EQ(S_OK, m->SolveGauss(&b, x.out()));
    double x0 = 0;
    ASSERT_EQ(S_OK, x->get_Item(0, 0, &x0));
    EXPECT_NEAR(5.0 / 18.0, x0, 1e-12);
    Ptr<IMatrix> wide = NewMatrix();
    ASSERT_EQ(S_OK, wide->Size(2, 3));
    ExpectFailure(wide->Inverse(x.out()), 1305, L"This operation is possible only for a square Matrix.", CLSID_Matrix,
                  L"CorvaneMatrix30.Matrix.1");
    Ptr<IMatrix> q = NewMatrix(), r = NewMatrix(), l = NewMatrix(), s = NewMatrix();
    IMatrix* qp = q.get();
    IMatrix* rp = r.get();
    IMatrix* lp = l.get();
    IMatrix* sp = s.get();
    ASSERT_EQ(S_OK, m->QR(&qp, &rp));
    ASSERT_EQ(S_OK, m->Cholesky(&lp));
    ASSERT_EQ(S_OK, m->SVD(nullptr, &sp, nullptr));
    double v = 0;
    ASSERT_EQ(S_OK, l->get_Item(0, 0, &v));
    EXPECT_EQ(2.0, v);
    ASSERT_EQ(S_OK, s->get_Item(1, 1, &v));
    EXPECT_NEAR(3.0, v, 1e-12);
    ExpectFailure(wide->QR(&qp, &rp), 1318,
                  L"Number of rows must be greater than or equal to the number of columns.", CLSID_Matrix,
                  L"CorvaneMatrix30.Matrix.1");
}

}  // namespace
}  // namespace corvane::server::test

namespace corvane::server::test {
namespace {

TEST(Decompositions, EigenAndSolveEarlyBound) {
    Ptr<IMatrix> m = Square3();
    Ptr<IMatrix> values = NewMatrix(), imag = NewMatrix();
    IMatrix* vp = values.get();
    IMatrix* ip = imag.get();
    ASSERT_EQ(S_OK, m->Eigen(&vp, &ip, nullptr, nullptr));
    LONG rows = 0;
    values->get_Rows(&rows);
    EXPECT_EQ(3, rows);
    double sum = 0, v = 0;
    for (LONG i = 0; i < 3; ++i) {
        ASSERT_EQ(S_OK, values->get_Item(i, 0, &v));
        sum += v;
        ASSERT_EQ(S_OK, imag->get_Item(i, 0, &v));
        EXPECT_EQ(0.0, v);
    }
    EXPECT_NEAR(9.0, sum, 1e-12);  // the trace
    Ptr<ICMatrix> complexValues = NewCMatrix();
    ICMatrix* cp = complexValues.get();
    ASSERT_EQ(S_OK, m->EigenC(&cp, nullptr));
    complexValues->get_Rows(&rows);
    EXPECT_EQ(3, rows);

    Ptr<IMatrix> rhs = NewMatrix(), x;
    ASSERT_EQ(S_OK, rhs->Size(3, 1));
    ASSERT_EQ(S_OK, rhs->put_Item(2, 0, 18));
    IMatrix* b = rhs.get();
    ASSERT_EQ(S_OK, m->Solve(&b, x.out()));
    ASSERT_EQ(S_OK, x->get_Item(2, 0, &v));
    EXPECT_NEAR(11.0, v, 1e-12);
    IMatrix* none = nullptr;
    EXPECT_EQ(E_POINTER, m->Solve(&none, x.out()));
}

}  // namespace
}  // namespace corvane::server::test

namespace corvane::server::test {
namespace {

// A wrong argument among object arguments: refused before the call, with
// the references taken so far given back.
TEST(Decompositions, WrongObjectArgumentIsATypeMismatch) {
    Ptr<IMatrix> m = Square3();
    Ptr<IMatrix> v = NewMatrix();
    VARIANT args[3];
    V_VT(&args[0]) = VT_DISPATCH;
    V_DISPATCH(&args[0]) = v.get();
    V_VT(&args[1]) = VT_R8;
    V_R8(&args[1]) = 1;
    V_VT(&args[2]) = VT_DISPATCH;
    V_DISPATCH(&args[2]) = v.get();
    DISPPARAMS params{args, nullptr, 3, 0};
    UINT bad = 99;
    EXPECT_EQ(DISP_E_TYPEMISMATCH,
              m->Invoke(36, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, &bad));
    EXPECT_EQ(1u, bad);
    EXPECT_EQ(2u, v.get()->AddRef());  // no reference left behind
    v->Release();
    LONG rows = 5;
    v->get_Rows(&rows);
    EXPECT_EQ(0, rows);  // nothing written
}

}  // namespace
}  // namespace corvane::server::test

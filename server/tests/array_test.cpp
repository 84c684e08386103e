// AsArray, AsArrayR and AsArrayI: arrays out of and into the matrix objects.
#include <vector>

#include "client_support.h"

namespace corvane::server::test {
namespace {

constexpr wchar_t kMatrixProgId[] = L"CorvaneMatrix30.Matrix.1";

// A VT_R8 array of the given bounds ({count, lower} per dimension, leftmost
// first) whose elements are 1, 2, 3, ... in storage order.
SAFEARRAY* Doubles(std::vector<SAFEARRAYBOUND> bounds) {
    SAFEARRAY* a = SafeArrayCreate(VT_R8, static_cast<UINT>(bounds.size()), bounds.data());
    EXPECT_NE(nullptr, a);
    double* data = nullptr;
    EXPECT_EQ(S_OK, SafeArrayAccessData(a, reinterpret_cast<void**>(&data)));
    ULONG n = 1;
    for (const auto& b : bounds) n *= b.cElements;
    for (ULONG k = 0; k < n; ++k) data[k] = k + 1.0;
    SafeArrayUnaccessData(a);
    return a;
}

double Element(SAFEARRAY* a, LONG i, LONG j) {
    LONG index[2] = {i, j};
    double v = -1;
    EXPECT_EQ(S_OK, SafeArrayGetElement(a, index, &v));
    return v;
}

double At(IMatrix* m, LONG i, LONG j) {
    double v = -99;
    EXPECT_EQ(S_OK, m->get_Item(i, j, &v));
    return v;
}

::Complex AtC(ICMatrix* m, LONG i, LONG j) {
    ::Complex v{-99, -99};
    EXPECT_EQ(S_OK, m->get_Item(i, j, &v));
    return v;
}

TEST(Arrays, GetGivesRowsByColumnsFromZero) {
    Ptr<IMatrix> m = NewMatrix();
    SAFEARRAY* a = nullptr;
    ExpectFailure(m->get_AsArray(&a), 1321, L"Matrix not yet sized.", CLSID_Matrix, kMatrixProgId);
    EXPECT_EQ(nullptr, a);
    ASSERT_EQ(S_OK, m->Size(2, 3));
    for (LONG i = 0; i < 2; ++i)
        for (LONG j = 0; j < 3; ++j) ASSERT_EQ(S_OK, m->put_Item(i, j, 10.0 * i + j));
    ASSERT_EQ(S_OK, m->get_AsArray(&a));
    ASSERT_EQ(2u, SafeArrayGetDim(a));
    LONG lower = -1, upper = -1;
    SafeArrayGetLBound(a, 1, &lower);
    SafeArrayGetUBound(a, 1, &upper);
    EXPECT_EQ(0, lower);
    EXPECT_EQ(1, upper);
    SafeArrayGetLBound(a, 2, &lower);
    SafeArrayGetUBound(a, 2, &upper);
    EXPECT_EQ(0, lower);
    EXPECT_EQ(2, upper);
    EXPECT_EQ(At(m.get(), 1, 2), Element(a, 1, 2));
    EXPECT_EQ(At(m.get(), 0, 1), Element(a, 0, 1));

    // Put back into a differently shaped matrix restores it exactly; the
    // caller's array stays its own, unlocked.
    Ptr<IMatrix> other = NewMatrix();
    ASSERT_EQ(S_OK, other->Size(5, 5));
    SAFEARRAY* given = a;
    ASSERT_EQ(S_OK, other->put_AsArray(&a));
    EXPECT_EQ(given, a);
    LONG rows = 0, cols = 0;
    other->get_Rows(&rows);
    other->get_Cols(&cols);
    EXPECT_EQ(2, rows);
    EXPECT_EQ(3, cols);
    for (LONG i = 0; i < 2; ++i)
        for (LONG j = 0; j < 3; ++j) EXPECT_EQ(At(m.get(), i, j), At(other.get(), i, j));
    EXPECT_EQ(S_OK, SafeArrayDestroy(a));  // fails if the server left it locked
}

TEST(Arrays, PutAcceptsAnyLowerBoundsAndOneDimension) {
    Ptr<IMatrix> m = NewMatrix();
    SAFEARRAY* column = Doubles({{4, 1}});
    ASSERT_EQ(S_OK, m->put_AsArray(&column));
    LONG rows = 0, cols = 0;
    m->get_Rows(&rows);
    m->get_Cols(&cols);
    EXPECT_EQ(4, rows);
    EXPECT_EQ(1, cols);
    EXPECT_EQ(1.0, At(m.get(), 0, 0));
    EXPECT_EQ(4.0, At(m.get(), 3, 0));
    SafeArrayDestroy(column);

    SAFEARRAY* shifted = Doubles({{3, -1}, {2, 5}});  // rows -1..1, columns 5..6
    ASSERT_EQ(S_OK, m->put_AsArray(&shifted));
    for (LONG i = 0; i < 3; ++i)
        for (LONG j = 0; j < 2; ++j) EXPECT_EQ(Element(shifted, i - 1, j + 5), At(m.get(), i, j));
    SafeArrayDestroy(shifted);
}

TEST(Arrays, PutFailuresLeaveTheMatrixAlone) {
    Ptr<IMatrix> m = NewMatrix();
    ASSERT_EQ(S_OK, m->Size(2, 2));
    ASSERT_EQ(S_OK, m->put_Item(1, 1, 9));
    SAFEARRAY* cube = Doubles({{2, 0}, {2, 0}, {2, 0}});
    ExpectFailure(m->put_AsArray(&cube), 1303, L"Parameter is not an array, or it is not an array of the expected type.",
                  CLSID_Matrix, kMatrixProgId);
    EXPECT_EQ(S_OK, SafeArrayDestroy(cube));
    SAFEARRAYBOUND none{0, 0};
    SAFEARRAY* empty = SafeArrayCreate(VT_R8, 1, &none);
    ExpectFailure(m->put_AsArray(&empty), 1301, L"Invalid number of rows", CLSID_Matrix, kMatrixProgId);
    EXPECT_EQ(S_OK, SafeArrayDestroy(empty));
    SAFEARRAYBOUND four{4, 0};
    SAFEARRAY* ints = SafeArrayCreate(VT_I4, 1, &four);
    ExpectFailure(m->put_AsArray(&ints), 1303, L"Parameter is not an array, or it is not an array of the expected type.",
                  CLSID_Matrix, kMatrixProgId);
    SafeArrayDestroy(ints);
    SAFEARRAY* missing = nullptr;
    EXPECT_EQ(static_cast<HRESULT>(0x80040517), m->put_AsArray(&missing));
    EXPECT_EQ(static_cast<HRESULT>(0x80040517), m->put_AsArray(nullptr));
    EXPECT_EQ(9.0, At(m.get(), 1, 1));
    LONG rows = 0;
    m->get_Rows(&rows);
    EXPECT_EQ(2, rows);
}

TEST(Arrays, ComplexPartsBuildAMatrix) {
    Ptr<ICMatrix> c = NewCMatrix();
    SAFEARRAY* real = Doubles({{2, 0}, {2, 0}});
    ASSERT_EQ(S_OK, c->put_AsArrayR(&real));
    EXPECT_EQ(0.0, AtC(c.get(), 1, 1).Imag);
    SAFEARRAY* imag = Doubles({{2, 0}, {2, 0}});
    ASSERT_EQ(S_OK, c->put_AsArrayI(&imag));
    for (LONG i = 0; i < 2; ++i)
        for (LONG j = 0; j < 2; ++j) {
            EXPECT_EQ(Element(real, i, j), AtC(c.get(), i, j).Real);
            EXPECT_EQ(Element(imag, i, j), AtC(c.get(), i, j).Imag);
        }
    SAFEARRAY* back = nullptr;
    ASSERT_EQ(S_OK, c->get_AsArrayI(&back));
    EXPECT_EQ(Element(imag, 1, 0), Element(back, 1, 0));
    SafeArrayDestroy(back);
    ASSERT_EQ(S_OK, c->get_AsArrayR(&back));
    EXPECT_EQ(Element(real, 0, 1), Element(back, 0, 1));
    SafeArrayDestroy(back);
    SafeArrayDestroy(real);
    SafeArrayDestroy(imag);

    // A larger imaginary part: real parts kept in the common block, 0 outside.
    Ptr<ICMatrix> d = NewCMatrix();
    ASSERT_EQ(S_OK, d->Size(2, 2));
    ::Complex one{1, 0};
    for (LONG i = 0; i < 2; ++i)
        for (LONG j = 0; j < 2; ++j) ASSERT_EQ(S_OK, d->put_Item(i, j, &one));
    SAFEARRAY* big = Doubles({{3, 0}, {3, 0}});
    ASSERT_EQ(S_OK, d->put_AsArrayI(&big));
    EXPECT_EQ(1.0, AtC(d.get(), 1, 1).Real);
    EXPECT_EQ(0.0, AtC(d.get(), 2, 1).Real);
    EXPECT_EQ(0.0, AtC(d.get(), 1, 2).Real);
    EXPECT_EQ(Element(big, 2, 2), AtC(d.get(), 2, 2).Imag);
    SafeArrayDestroy(big);
}

// Late-bound, as VBA passes an array variable: a reference to the array.
TEST(Arrays, LateBoundGetAndPut) {
    Ptr<IMatrix> m = NewMatrix();
    SAFEARRAY* a = Doubles({{2, 0}, {3, 0}});
    VARIANT arg;
    V_VT(&arg) = VT_BYREF | VT_ARRAY | VT_R8;
    V_ARRAYREF(&arg) = &a;
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{&arg, &put, 1, 1};
    ASSERT_EQ(S_OK, m->Invoke(10, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                              nullptr));
    EXPECT_EQ(Element(a, 1, 2), At(m.get(), 1, 2));
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(S_OK, m->Invoke(10, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                              nullptr));
    ASSERT_EQ(VT_ARRAY | VT_R8, V_VT(&result));
    EXPECT_EQ(Element(a, 0, 2), Element(V_ARRAY(&result), 0, 2));
    VariantClear(&result);
    SafeArrayDestroy(a);
}

// A variant that says VT_I4 over an array of elements of another size is no
// permutation index: refused without reading the array, direct or by reference.
TEST(Arrays, IndexVariantOverAnArrayOfOtherElementsIsRefused) {
    Ptr<IMatrix> m = NewMatrix();
    ASSERT_EQ(S_OK, m->Size(3, 1));
    for (LONG i = 0; i < 3; ++i) ASSERT_EQ(S_OK, m->put_Item(i, 0, i + 1.0));
    SAFEARRAYBOUND bound{3, 0};
    SAFEARRAY* shorts = SafeArrayCreate(VT_I2, 1, &bound);
    ASSERT_NE(nullptr, shorts);
    short* data = nullptr;
    ASSERT_EQ(S_OK, SafeArrayAccessData(shorts, reinterpret_cast<void**>(&data)));
    data[0] = 2;
    data[1] = 1;
    data[2] = 0;
    SafeArrayUnaccessData(shorts);
    VARIANT index;
    V_VT(&index) = VT_ARRAY | VT_I4;
    V_ARRAY(&index) = shorts;
    ExpectFailure(m->ReorderRows(&index), 1303,
                  L"Parameter is not an array, or it is not an array of the expected type.", CLSID_Matrix,
                  kMatrixProgId);
    V_VT(&index) = VT_BYREF | VT_ARRAY | VT_I4;
    V_ARRAYREF(&index) = &shorts;
    ExpectFailure(m->ReorderRows(&index), 1303,
                  L"Parameter is not an array, or it is not an array of the expected type.", CLSID_Matrix,
                  kMatrixProgId);
    for (LONG i = 0; i < 3; ++i) EXPECT_EQ(i + 1.0, At(m.get(), i, 0));
    EXPECT_EQ(S_OK, SafeArrayDestroy(shorts));
}

}  // namespace
}  // namespace corvane::server::test

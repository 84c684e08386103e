// The complex matrix's decompositions and solvers through their interface
// slots: results, caller-supplied outputs, permutation index and error records.
#include <cmath>
#include <cstring>

#include "client_support.h"

namespace corvane::server::test {
namespace {

constexpr wchar_t kCMatrixProgId[] = L"CorVaneMatrix30.CMatrix.1";

// ((3, 3) (10, 0); (5, 0) (10, 0)): the determinant's one-norm pivot keeps
// row 0, LU's modulus weighing takes row 1.
Ptr<ICMatrix> Pivoting() {
    Ptr<ICMatrix> c = NewCMatrix();
    EXPECT_EQ(S_OK, c->Size(2, 2));
    ::Complex e[2][2] = {{{3, 3}, {10, 0}}, {{5, 0}, {10, 0}}};
    for (LONG i = 0; i < 2; ++i)
        for (LONG j = 0; j < 2; ++j) EXPECT_EQ(S_OK, c->put_Item(i, j, &e[i][j]));
    return c;
}

::Complex At(ICMatrix* m, LONG i, LONG j) {
    ::Complex z{-99, -99};
    EXPECT_EQ(S_OK, m->get_Item(i, j, &z));
    return z;
}

TEST(ComplexDecompositions, DeterminantLuAndTheirPivots) {
    Ptr<ICMatrix> c = Pivoting();
    ::Complex det{};
    ASSERT_EQ(S_OK, c->Determinant(&det));
    EXPECT_NEAR(-20.0, det.Real, 1e-12);  // (3+3i)·10 − 10·5
    EXPECT_NEAR(30.0, det.Imag, 1e-12);

    Ptr<ICMatrix> l = NewCMatrix(), u = NewCMatrix();
    ICMatrix* lp = l.get();
    ICMatrix* up = u.get();
    VARIANT index;
    VariantInit(&index);
    LONG sign = 0;
    ASSERT_EQ(S_OK, c->LU(&lp, &up, &index, &sign));
    EXPECT_EQ(-1, sign);  // rows exchanged
    ASSERT_EQ(VT_ARRAY | VT_I4, V_VT(&index));
    LONG first = 0, position = -1;
    ASSERT_EQ(S_OK, SafeArrayGetElement(V_ARRAY(&index), &first, &position));
    EXPECT_EQ(1, position);  // row 0 of A is row 1 of P·A
    VariantClear(&index);
    EXPECT_EQ(5.0, At(u.get(), 0, 0).Real);
    EXPECT_EQ(1.0, At(l.get(), 1, 1).Real);
}

TEST(ComplexDecompositions, InverseAndSolves) {
    Ptr<ICMatrix> c = Pivoting();
    Ptr<ICMatrix> inverse, product;
    ASSERT_EQ(S_OK, c->Inverse(inverse.out()));
    ICMatrix* inv = inverse.get();
    ASSERT_EQ(S_OK, c->Times(&inv, product.out()));
    for (LONG i = 0; i < 2; ++i)
        for (LONG j = 0; j < 2; ++j) {
            const ::Complex z = At(product.get(), i, j);
            EXPECT_NEAR(i == j ? 1.0 : 0.0, z.Real, 1e-12);
            EXPECT_NEAR(0.0, z.Imag, 1e-12);
        }
    Ptr<ICMatrix> rhs = NewCMatrix(), x, y;
    ASSERT_EQ(S_OK, rhs->Size(2, 1));
    ::Complex one{1, 0};
    ASSERT_EQ(S_OK, rhs->put_Item(0, 0, &one));
    ICMatrix* b = rhs.get();
    ASSERT_EQ(S_OK, c->Solve(&b, x.out()));
    ASSERT_EQ(S_OK, c->SolveGauss(&b, y.out()));
    for (LONG i = 0; i < 2; ++i) {
        EXPECT_NEAR(At(x.get(), i, 0).Real, At(y.get(), i, 0).Real, 1e-12);
        EXPECT_NEAR(At(x.get(), i, 0).Imag, At(y.get(), i, 0).Imag, 1e-12);
    }
    ICMatrix* none = nullptr;
    EXPECT_EQ(E_POINTER, c->Solve(&none, x.out()));
    Ptr<ICMatrix> wide = NewCMatrix();
    ASSERT_EQ(S_OK, wide->Size(2, 3));
    ExpectFailure(wide->Inverse(x.out()), 1305, L"This operation is possible only for a square Matrix.", CLSID_CMatrix,
                  kCMatrixProgId);
    ExpectFailure(wide->SolveGauss(&b, x.out()), 1305, L"This operation is possible only for a square Matrix.",
                  CLSID_CMatrix, kCMatrixProgId);
}

TEST(ComplexDecompositions, CholeskyAndQrFillTheCallersObjects) {
    Ptr<ICMatrix> c = NewCMatrix();
    ASSERT_EQ(S_OK, c->Size(2, 2));
    ::Complex one{1, 0}, two{2, 0};
    ASSERT_EQ(S_OK, c->put_Item(0, 0, &one));
    ASSERT_EQ(S_OK, c->put_Item(0, 1, &two));
    ASSERT_EQ(S_OK, c->put_Item(1, 0, &two));
    ASSERT_EQ(S_OK, c->put_Item(1, 1, &one));
    Ptr<ICMatrix> l = NewCMatrix();
    ICMatrix* lp = l.get();
    ASSERT_EQ(S_OK, c->Cholesky(&lp));
    const ::Complex l11 = At(l.get(), 1, 1);
    EXPECT_EQ(0.0, l11.Real);
    EXPECT_EQ(1.7320508075688772, l11.Imag);

    Ptr<ICMatrix> q = NewCMatrix(), r = NewCMatrix();
    ICMatrix* qp = q.get();
    ICMatrix* rp = r.get();
    ASSERT_EQ(S_OK, c->QR(&qp, &rp));
    LONG rows = 0;
    ASSERT_EQ(S_OK, r->get_Rows(&rows));
    EXPECT_EQ(2, rows);
    ASSERT_EQ(S_OK, q->get_Rows(&rows));
    EXPECT_EQ(2, rows);

    Ptr<ICMatrix> wide = NewCMatrix();
    ASSERT_EQ(S_OK, wide->Size(2, 3));
    ExpectFailure(wide->QR(&qp, &rp), 1318, L"Number of rows must be greater than or equal to the number of columns.",
                  CLSID_CMatrix, kCMatrixProgId);
    Ptr<ICMatrix> unsized = NewCMatrix();
    ExpectFailure(unsized->Cholesky(&lp), 1321, L"Matrix not yet sized.", CLSID_CMatrix, kCMatrixProgId);
}

// Late-bound as VBA passes its variables: LU with typed references, the
// determinant's record result, the inverse and a solve returning objects,
// Cholesky and QR filling the caller's objects, and LU with nothing at all.
TEST(ComplexDecompositions, LateBound) {
    Ptr<ICMatrix> c = Pivoting();
    Ptr<ICMatrix> l = NewCMatrix(), u = NewCMatrix();
    ICMatrix* lp = l.get();
    ICMatrix* up = u.get();
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
    ASSERT_EQ(S_OK, c->Invoke(20, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr));
    EXPECT_EQ(-1, sign);
    EXPECT_EQ(VT_ARRAY | VT_I4, V_VT(&index));
    EXPECT_EQ(5.0, At(u.get(), 0, 0).Real);
    VariantClear(&index);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(S_OK, c->Invoke(20, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));

    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(S_OK, c->Invoke(7, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &none, &result,
                              nullptr, nullptr));
    ASSERT_EQ(VT_RECORD, V_VT(&result));
    ::Complex det{};
    std::memcpy(&det, V_RECORD(&result), sizeof det);
    EXPECT_NEAR(-20.0, det.Real, 1e-12);
    EXPECT_NEAR(30.0, det.Imag, 1e-12);
    VariantClear(&result);

    ASSERT_EQ(S_OK, c->Invoke(17, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, &result, nullptr, nullptr));
    ASSERT_EQ(VT_DISPATCH, V_VT(&result));
    VariantClear(&result);

    Ptr<ICMatrix> rhs = NewCMatrix();
    ASSERT_EQ(S_OK, rhs->Size(2, 1));
    ICMatrix* b = rhs.get();
    VARIANT rhsArg = ObjectRef(&b);
    DISPPARAMS one{&rhsArg, nullptr, 1, 0};
    ASSERT_EQ(S_OK, c->Invoke(30, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &one, &result, nullptr, nullptr));
    ASSERT_EQ(VT_DISPATCH, V_VT(&result));
    VariantClear(&result);

    Ptr<ICMatrix> q = NewCMatrix(), r = NewCMatrix();
    ICMatrix* qp = q.get();
    ICMatrix* rp = r.get();
    VARIANT qr[2];
    qr[1] = ObjectRef(&qp);
    qr[0] = ObjectRef(&rp);
    DISPPARAMS qrParams{qr, nullptr, 2, 0};
    ASSERT_EQ(S_OK, c->Invoke(31, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &qrParams, nullptr, nullptr, nullptr));
    LONG rows = 0;
    ASSERT_EQ(S_OK, r->get_Rows(&rows));
    EXPECT_EQ(2, rows);

    // Cholesky of a non-symmetric matrix: 1314 in EXCEPINFO, L untouched.
    Ptr<ICMatrix> lower = NewCMatrix();
    ICMatrix* lowerp = lower.get();
    VARIANT chol = ObjectRef(&lowerp);
    DISPPARAMS cholParams{&chol, nullptr, 1, 0};
    EXCEPINFO error{};
    ASSERT_EQ(DISP_E_EXCEPTION,
              c->Invoke(32, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &cholParams, nullptr, &error, nullptr));
    EXPECT_EQ(static_cast<SCODE>(0x80040522), error.scode);
    EXPECT_EQ(L"Not a symmetric positive definite matrix.", Take(error.bstrDescription));
    EXPECT_EQ(1314u, error.dwHelpContext);
    Take(error.bstrSource);
    Take(error.bstrHelpFile);
    ASSERT_EQ(S_OK, lower->get_Rows(&rows));
    EXPECT_EQ(0, rows);
}

}  // namespace
}  // namespace corvane::server::test

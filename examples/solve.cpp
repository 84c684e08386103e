// Solving a linear system from C++ through the early-bound IMatrix interface:
// a Matrix object is created, filled element by element, solved with
// SolveGauss and inverted; a call that fails shows its error record (the
// description and help context the server sets for IErrorInfo).
//
// Needs the registered CorvaneMatrix30.dll of the program's bitness and the
// declarations generated from the type library (CorvaneMatrix30.h and
// CorvaneMatrix30_i.c, in include/ of the release). With mingw-w64:
//   g++ -static -Iinclude solve.cpp include/CorvaneMatrix30_i.c -lole32 -loleaut32 -luuid
#include <windows.h>
#include <ole2.h>

#include <cstdio>

#include "CorvaneMatrix30.h"

namespace {

// Releases an interface pointer at scope end.
template <class T>
struct Ref {
    T* p = nullptr;
    Ref() = default;
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    ~Ref() {
        if (p != nullptr) p->Release();
    }
    T* operator->() const { return p; }
};

// A matrix as text, six decimals, one row a line.
void Show(const char* title, IMatrix* m) {
    long rows = 0, cols = 0;
    m->get_Rows(&rows);
    m->get_Cols(&cols);
    std::printf("%s (%ld x %ld):\n", title, rows, cols);
    for (long i = 0; i < rows; ++i) {
        std::printf(" ");
        for (long j = 0; j < cols; ++j) {
            double v = 0;
            m->get_Item(i, j, &v);
            std::printf(" %10.6f", v);
        }
        std::printf("\n");
    }
}

// A failed call's result code and, when the object set one, its error record.
void ReportFailure(const char* call, HRESULT hr) {
    std::printf("%s failed with 0x%08lX", call, static_cast<unsigned long>(hr));
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) == S_OK && info != nullptr) {
        BSTR description = nullptr;
        DWORD context = 0;
        info->GetDescription(&description);
        info->GetHelpContext(&context);
        std::printf(": \"%ls\" (help context %lu)", description != nullptr ? description : L"",
                    static_cast<unsigned long>(context));
        SysFreeString(description);
        info->Release();
    }
    std::printf("\n");
}

HRESULT NewMatrix(long rows, long cols, const double* values, Ref<IMatrix>& out) {
    HRESULT hr =
        CoCreateInstance(CLSID_Matrix, nullptr, CLSCTX_INPROC_SERVER, IID_IMatrix, reinterpret_cast<void**>(&out.p));
    if (SUCCEEDED(hr)) hr = out->Size(rows, cols);
    for (long i = 0; i < rows && SUCCEEDED(hr); ++i)
        for (long j = 0; j < cols && SUCCEEDED(hr); ++j) hr = out->put_Item(i, j, values[i * cols + j]);
    return hr;
}

int Run() {
    const double a[] = {4, 1, 2, 1, 5, 1, 2, 1, 6};
    const double b[] = {12, 14, 22};
    const double c[] = {1, 2, 2, 4};
    Ref<IMatrix> matrix, rhs, singular;
    HRESULT hr = NewMatrix(3, 3, a, matrix);
    if (SUCCEEDED(hr)) hr = NewMatrix(3, 1, b, rhs);
    if (SUCCEEDED(hr)) hr = NewMatrix(2, 2, c, singular);
    if (FAILED(hr)) {
        ReportFailure("Creating the matrices", hr);
        return 1;
    }
    Show("A", matrix.p);
    Show("b", rhs.p);

    Ref<IMatrix> x, inverse, product;
    if (FAILED(hr = matrix->SolveGauss(&rhs.p, &x.p))) {
        ReportFailure("SolveGauss", hr);
        return 1;
    }
    Show("x = SolveGauss(A, b)", x.p);
    if (FAILED(hr = matrix->Inverse(&inverse.p))) {
        ReportFailure("Inverse", hr);
        return 1;
    }
    Show("Inverse of A", inverse.p);
    if (FAILED(hr = inverse->Times(&rhs.p, &product.p))) {
        ReportFailure("Times", hr);
        return 1;
    }
    Show("Inverse of A times b", product.p);

    // A singular matrix has no inverse: the call fails and says why.
    Ref<IMatrix> none;
    hr = singular->Inverse(&none.p);
    if (SUCCEEDED(hr)) {
        std::printf("the singular matrix was inverted\n");
        return 1;
    }
    ReportFailure("Inverse of [[1, 2], [2, 4]]", hr);
    return 0;
}

}  // namespace

int main() {
    if (FAILED(CoInitialize(nullptr))) return 1;
    const int status = Run();
    CoUninitialize();
    std::printf("solve.cpp: %s\n", status == 0 ? "finished" : "stopped");
    return status;
}

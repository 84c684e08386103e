// Late-bound calls as a script host makes them (IDispatch::Invoke with the
// dispatch id already known), timed under Wine or Windows against the
// platform's own Scripting.Dictionary in the same process, then the numeric
// operations through the same path at the sizes given (default 500).
// Needs the server registered: scripts/bench_dll.sh does it.
#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double Seconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

IDispatch* Create(const wchar_t* progId) {
    CLSID clsid;
    IDispatch* d = nullptr;
    if (FAILED(CLSIDFromProgID(progId, &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&d)))) {
        std::fprintf(stderr, "cannot create %ls\n", progId);
        std::exit(1);
    }
    return d;
}

DISPID Id(IDispatch* d, const wchar_t* name) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    d->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return id;
}

VARIANT Long(LONG v) {
    VARIANT a;
    VariantInit(&a);
    V_VT(&a) = VT_I4;
    V_I4(&a) = v;
    return a;
}
VARIANT Object(IDispatch* d) {
    VARIANT a;
    VariantInit(&a);
    V_VT(&a) = VT_DISPATCH;
    V_DISPATCH(&a) = d;
    return a;
}

// args in parameter order; a put names its value.
HRESULT Call(IDispatch* d, DISPID id, WORD flags, std::vector<VARIANT> args, VARIANT* result) {
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), flags == DISPATCH_PROPERTYPUT ? &put : nullptr, static_cast<UINT>(args.size()),
                      flags == DISPATCH_PROPERTYPUT ? 1u : 0u};
    VariantClear(result);
    return d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, nullptr);
}

// Microseconds per call of `call`, the best of five runs of `count` calls.
template <class F>
double Time(int count, F call) {
    double best = 1e300;
    for (int run = 0; run < 5; ++run) {
        const double start = Seconds();
        for (int k = 0; k < count; ++k) call();
        best = std::min(best, (Seconds() - start) / count * 1e6);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    VARIANT result;
    VariantInit(&result);
    IDispatch* dictionary = Create(L"Scripting.Dictionary");
    IDispatch* matrix = Create(L"CorvaneMatrix30.Matrix");
    const DISPID add = Id(dictionary, L"Add"), item = Id(dictionary, L"Item");
    Call(dictionary, add, DISPATCH_METHOD, {Long(1), Long(42)}, &result);
    Call(matrix, Id(matrix, L"Size"), DISPATCH_METHOD, {Long(10), Long(10)}, &result);
    const double reference = Time(200000, [&] { Call(dictionary, item, DISPATCH_PROPERTYGET, {Long(1)}, &result); });
    const double ours = Time(200000, [&] {
        Call(matrix, DISPID_VALUE, DISPATCH_PROPERTYGET, {Long(3), Long(4)}, &result);
    });
    std::printf("%-28s %12.3f us %12.3f us %8.2f\n", "Item get (Dictionary.Item)", ours, reference, ours / reference);

    IDispatch* global = Create(L"CorVaneMatrix.Global");
    for (int a = 1; a < argc || a == 1; ++a) {
        const LONG n = a < argc ? std::atoi(argv[a]) : 500;
        auto filled = [&](bool spd) {  // a random n × n matrix; positive definite when asked
            VARIANT m;
            VariantInit(&m);
            Call(global, Id(global, L"CreateMatrix"), DISPATCH_METHOD, {Long(n), Long(n)}, &m);
            IDispatch* d = V_DISPATCH(&m);
            Call(d, Id(d, L"FillRandom"), DISPATCH_METHOD, {}, &result);
            if (!spd) return d;
            VARIANT t, p;
            VariantInit(&t), VariantInit(&p);
            Call(d, Id(d, L"Transpose"), DISPATCH_METHOD, {}, &t);
            Call(d, Id(d, L"Times"), DISPATCH_METHOD, {t}, &p);
            VariantClear(&t), d->Release();
            return V_DISPATCH(&p);
        };
        IDispatch *a0 = filled(false), *spd = filled(true), *b = nullptr;
        {
            VARIANT column;
            VariantInit(&column);
            Call(a0, Id(a0, L"ColVector"), DISPATCH_METHOD, {Long(0)}, &column);
            b = V_DISPATCH(&column);
        }
        IDispatch* out[4];  // every output of a decomposition is asked for
        for (IDispatch*& o : out) o = Create(L"CorvaneMatrix30.Matrix");
        const VARIANT o0 = Object(out[0]), o1 = Object(out[1]), o2 = Object(out[2]), o3 = Object(out[3]);
        // clang-format off
        const struct { const char* name; IDispatch* self; const wchar_t* member; std::vector<VARIANT> args; } ops[] = {
            {"Times", a0, L"Times", {Object(a0)}}, {"LU", a0, L"LU", {o0, o1}}, {"Inverse", a0, L"Inverse", {}},
            {"SolveGauss", a0, L"SolveGauss", {Object(b)}}, {"Cholesky", spd, L"Cholesky", {o0}}, {"QR", a0, L"QR", {o0, o1}},
            {"SVD", a0, L"SVD", {o0, o1, o2}}, {"Eigen (symmetric)", spd, L"Eigen", {o0, o1, o2, o3}},
            {"Eigen (general)", a0, L"Eigen", {o0, o1, o2, o3}}, {"Eigen (symmetric, N)", spd, L"Eigen", {o0, o1}},
            {"Eigen (general, N)", a0, L"Eigen", {o0, o1}},
        };
        // clang-format on
        for (const auto& op : ops) {
            const DISPID id = Id(op.self, op.member);
            const double us = Time(1, [&] { Call(op.self, id, DISPATCH_METHOD, op.args, &result); });
            std::printf("%-22s n=%-5ld %12.2f ms\n", op.name, static_cast<long>(n), us / 1e3);
        }
        for (IDispatch* o : out) o->Release();
        a0->Release(), spd->Release(), b->Release();
    }
    VariantClear(&result);
    global->Release(), matrix->Release(), dictionary->Release();
    CoUninitialize();
    return 0;
}

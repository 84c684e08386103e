// Every member of the three interfaces called late-bound with hostile arguments in every position, from
// fixed seeds: no crash or hang; a failure leaves every matrix as it was and carries its own record.
#include <bit>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

#include "client_support.h"

namespace corvane::server::test {
namespace {

// Shape and element bits of every matrix among objects.
std::vector<std::uint64_t> Snapshot(const std::vector<IDispatch*>& objects) {
    std::vector<std::uint64_t> s;
    for (IDispatch* o : objects) {
        Ptr<IMatrix> m;
        Ptr<ICMatrix> c;
        o->QueryInterface(IID_IMatrix, reinterpret_cast<void**>(m.out()));
        o->QueryInterface(IID_ICMatrix, reinterpret_cast<void**>(c.out()));
        LONG rows = 0, cols = 0;
        if (m) m->get_Rows(&rows), m->get_Cols(&cols);
        if (c) c->get_Rows(&rows), c->get_Cols(&cols);
        s.insert(s.end(), {std::uint64_t(rows), std::uint64_t(cols)});
        for (LONG i = 0; i < rows * cols; ++i) {
            ::Complex z{};
            if (m) m->get_Item(i / cols, i % cols, &z.Real);
            if (c) c->get_Item(i / cols, i % cols, &z);
            s.insert(s.end(), {std::bit_cast<std::uint64_t>(z.Real), std::bit_cast<std::uint64_t>(z.Imag)});
        }
    }
    return s;
}

// The objects, record type and arrays that hostile arguments are made of.
struct Pool {
    Ptr<IMatrix> m = NewMatrix(), m2 = NewMatrix();
    Ptr<ICMatrix> c = NewCMatrix(), c2 = NewCMatrix();
    Ptr<IGlobal> g = NewGlobal();
    std::vector<IDispatch*> objects{m.get(), m2.get(), c.get(), c2.get(), g.get()};
    Ptr<IRecordInfo> complex = ComplexRecord();
    Ptr<IErrorInfo> stale;                           // a record no failure may leave or report as its own
    SAFEARRAY *doubles = nullptr, *index = nullptr;  // 3 × 3 doubles; a valid permutation of three rows

    Pool() {
        m->Size(3, 3), c->Size(3, 3), m2->Size(3, 1);
        SAFEARRAYBOUND square[2] = {{3, 0}, {3, 0}}, line{3, 0};
        doubles = SafeArrayCreate(VT_R8, 2, square), index = SafeArrayCreate(VT_I4, 1, &line);
        for (LONG i = 0; i < 3; ++i) SafeArrayPutElement(index, &i, &i);
        Ptr<ICreateErrorInfo> builder;
        EXPECT_EQ(S_OK, CreateErrorInfo(builder.out()));
        builder->SetDescription(const_cast<LPOLESTR>(L"stale"));
        builder->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(stale.out()));
    }
    ~Pool() { SafeArrayDestroy(doubles), SafeArrayDestroy(index); }
};

struct Arguments {
    Pool& pool;
    std::mt19937& rng;
    VARIANT inner[8]{};  // the variables references point at, owned by the call
    ::Complex record[8]{};

    ~Arguments() {
        for (VARIANT& v : inner) VariantClear(&v);
    }
    int Pick(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }
    // One of the pool's objects (with a reference of its own); a value a script variable could hold.
    IDispatch* AnyObject() {
        IDispatch* o = pool.objects[static_cast<std::size_t>(Pick(5))];
        o->AddRef();
        return o;
    }
    void Scalar(VARIANT* v) {
        switch (Pick(6)) {
            case 0: V_VT(v) = VT_I4, V_I4(v) = Pick(6) - 2; break;
            case 1: V_VT(v) = VT_R8, V_R8(v) = Pick(2) ? (Pick(2) ? NAN : -INFINITY) : Pick(5) * 1e150 - 0.5; break;
            case 2: V_VT(v) = VT_BSTR, V_BSTR(v) = SysAllocString(Pick(2) ? L"2" : L"x"); break;
            case 3: V_VT(v) = VT_DISPATCH, V_DISPATCH(v) = AnyObject(); break;
            case 4: V_VT(v) = VT_ARRAY | VT_R8, SafeArrayCopy(pool.doubles, &V_ARRAY(v)); break;
            default: V_VT(v) = VT_NULL; break;
        }
    }
    VARIANT Make(int k) {
        VARIANT a{};
        switch (Pick(10)) {
            case 0: V_VT(&a) = VT_ERROR, V_ERROR(&a) = DISP_E_PARAMNOTFOUND; break;
            case 1: Scalar(&inner[k]), a = inner[k]; break;  // by value: borrowed
            case 2: Scalar(&inner[k]); [[fallthrough]];
            case 3: V_VT(&a) = VT_BYREF | VT_VARIANT, V_VARIANTREF(&a) = Pick(8) ? &inner[k] : nullptr; break;
            case 4:  // an object variable, perhaps Nothing
                V_VT(&inner[k]) = VT_DISPATCH, V_DISPATCH(&inner[k]) = Pick(4) ? AnyObject() : nullptr;
                V_VT(&a) = VT_BYREF | VT_DISPATCH, V_DISPATCHREF(&a) = Pick(8) ? &V_DISPATCH(&inner[k]) : nullptr;
                break;
            case 5:
                record[k] = ::Complex{Pick(4) - 1.0, 0.5}, V_VT(&a) = VT_RECORD, V_RECORD(&a) = &record[k];
                V_RECORDINFO(&a) = Pick(6) ? pool.complex.get() : nullptr;  // a record, perhaps without its type
                break;
            case 6: V_VT(&a) = VT_BYREF | VT_ARRAY | VT_R8, V_ARRAYREF(&a) = &pool.doubles; break;
            case 7: V_VT(&a) = VT_ARRAY | VT_I4, V_ARRAY(&a) = pool.index; break;
            case 8: V_VT(&inner[k]) = VT_I4, V_VT(&a) = VT_BYREF | VT_I4, V_I4REF(&a) = &V_I4(&inner[k]); break;
            default: break;  // VT_EMPTY
        }
        return a;
    }
};

// One call with one argument short, exact or one surplus, some named; checks what a failure left.
void HostileCall(IDispatch* target, DISPID member, bool put, int params, Pool& pool, std::mt19937& rng) {
    Arguments args{pool, rng};
    const int n = std::abs(params - 1 + args.Pick(3));
    std::vector<VARIANT> given(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) given[static_cast<std::size_t>(k)] = args.Make(k);
    DISPID named[2] = {put ? DISPID_PROPERTYPUT : args.Pick(5) - 1, args.Pick(4) - 1};
    const UINT namedCount = n > 0 && (put || args.Pick(8) == 0) ? (n > 1 && args.Pick(3) == 0 ? 2u : 1u) : 0u;
    DISPPARAMS dp{given.data(), named, static_cast<UINT>(n), namedCount};
    const WORD flags = !put ? DISPATCH_METHOD | DISPATCH_PROPERTYGET : (args.Pick(6) ? DISPATCH_PROPERTYPUT : DISPATCH_PROPERTYPUTREF);
    const std::vector<std::uint64_t> before = Snapshot(pool.objects);
    SetErrorInfo(0, pool.stale.get());
    VARIANT result{};
    EXCEPINFO error{};
    const HRESULT hr = target->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, flags, &dp, &result, &error, nullptr);
    VariantClear(&result);
    if (SUCCEEDED(hr)) return;
    SCOPED_TRACE(::testing::Message() << "member " << member << ", code " << std::hex << hr);
    EXPECT_NE(L"stale", TakeErrorRecord().description);
    const std::wstring description = Take(error.bstrDescription);
    Take(error.bstrSource), Take(error.bstrHelpFile);
    EXPECT_NE(L"stale", description);
    if (hr == DISP_E_EXCEPTION && HRESULT_FACILITY(error.scode) == FACILITY_ITF)  // a catalogue message
        EXPECT_TRUE(!description.empty() && error.dwHelpContext == (static_cast<DWORD>(error.scode) & 0xFFFF));
    EXPECT_EQ(before, Snapshot(pool.objects));
}

// Each member of target's interface, 1500 times (about 10 s in all) from a fixed seed of its own.
void FuzzMembers(IDispatch* target, Pool& pool) {
    Ptr<ITypeInfo> info;
    ASSERT_EQ(S_OK, target->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.out()));
    FUNCDESC* desc = nullptr;
    for (UINT f = 0; SUCCEEDED(info->GetFuncDesc(f, &desc)); ++f) {
        const FUNCDESC d = *desc;
        info->ReleaseFuncDesc(desc);
        if (d.wFuncFlags & FUNCFLAG_FRESTRICTED) continue;  // IUnknown and IDispatch
        std::mt19937 rng(static_cast<unsigned>(d.memid) * 8 + d.invkind);
        for (int call = 0; call < 1500; ++call) HostileCall(target, d.memid, d.invkind == INVOKE_PROPERTYPUT, d.cParams, pool, rng);
    }
}

// On a thread of its own: its own apartment and random-fill state; the other tests' stay as they were.
TEST(FuzzCalls, HostileArgumentsToEveryMember) {
    std::thread([] {
        ASSERT_EQ(S_OK, CoInitialize(nullptr));
        {
            Pool pool;
            for (std::size_t target : {0, 2, 4}) FuzzMembers(pool.objects[target], pool);
        }
        CoUninitialize();
    }).join();
    EXPECT_EQ(S_OK, Dll().canUnloadNow());  // nothing left locked
}

}  // namespace
}  // namespace corvane::server::test

// Hostile late-bound and early-bound callers: each row is one way a caller
// once got past the dispatcher or a member, and what it must get instead.
#include "client_support.h"

namespace corvane::server::test {
namespace {

VARIANT Ref(VARTYPE type, void* p) { return Var(VT_BYREF | type, p); }
VARIANT Record(IRecordInfo* info, void* data) {
    VARIANT v = Var(VT_RECORD, data);
    V_RECORDINFO(&v) = info;
    return v;
}

LONG RowsOf(IMatrix* m) {
    LONG n = -1;
    EXPECT_EQ(S_OK, m->get_Rows(&n));
    return n;
}

// A record of another type, 8 bytes: one double.
Ptr<IRecordInfo> ForeignRecord() {
    const GUID guid = {0x3c1f0a4e, 0x7d2b, 0x4e8a, {0x9b, 0x51, 0x0c, 0x6e, 0x2d, 0x44, 0x81, 0x17}};
    VARDESC field{};
    field.elemdescVar.tdesc.vt = VT_R8;
    field.varkind = VAR_PERINSTANCE;
    Ptr<ICreateTypeLib2> lib;
    Ptr<ICreateTypeInfo> type;
    Ptr<ITypeInfo> info;
    Ptr<IRecordInfo> record;
    EXPECT_TRUE(SUCCEEDED(CreateTypeLib2(sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32, L"foreign.tlb", lib.out())) &&
                SUCCEEDED(lib->CreateTypeInfo(const_cast<LPOLESTR>(L"Single"), TKIND_RECORD, type.out())) && SUCCEEDED(type->SetGuid(guid)) &&
                SUCCEEDED(type->AddVarDesc(0, &field)) && SUCCEEDED(type->SetVarName(0, const_cast<LPOLESTR>(L"Value"))) &&
                SUCCEEDED(type->LayOut()) && SUCCEEDED(type->QueryInterface(IID_ITypeInfo, reinterpret_cast<void**>(info.out()))) &&
                SUCCEEDED(GetRecordInfoFromTypeInfo(info.get(), record.out())));
    return record;
}

struct Row {
    const char* fault;
    void (*check)();
};

// clang-format off
const Row kRows[] = {
    {"objects by reference are asked for the parameter's interface", [] {
         Ptr<IMatrix> m = NewMatrix(), q = NewMatrix();
         Ptr<ICMatrix> c = NewCMatrix();
         Ptr<IGlobal> g = NewGlobal();
         ICMatrix* cp = c.get();
         IGlobal* gp = g.get();
         IMatrix* qp = q.get();
         EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(m.get(), L"Times", {Ref(VT_DISPATCH, &cp)}));
         EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(m.get(), L"LU", {Ref(VT_DISPATCH, &gp)}));
         ASSERT_EQ(S_OK, c->Size(2, 2));
         EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(c.get(), L"QR", {Ref(VT_DISPATCH, &qp), Ref(VT_DISPATCH, &qp)}));
         EXPECT_EQ(0, RowsOf(q.get()));  // not written as a CMatrix
         ICMatrix* none = nullptr;       // a missing output stays allowed
         EXPECT_EQ(S_OK, Call(c.get(), L"QR", {Ref(VT_DISPATCH, &none)}));
     }},
    {"records of another type are refused", [] {
         Ptr<IGlobal> g = NewGlobal();
         Ptr<IRecordInfo> foreign = ForeignRecord();  // the library's own record passes: a row of members.txt
         ASSERT_TRUE(foreign);
         double single = 3;
         VARIANT result{};
         EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(g.get(), L"CAbs", {Record(foreign.get(), &single)}, &result));
     }},
    {"a failure without a record of its own leaves no earlier record", [] {
         Ptr<IMatrix> m = NewMatrix();
         double v;  // late-bound failures: the fuzz test leaves a stale record before each call
         EXPECT_EQ(HRESULT(0x80040529), m->get_Item(0, 0, &v));  // a failure that publishes its record
         EXPECT_EQ(E_POINTER, m->Clone(nullptr));
         EXPECT_FALSE(TakeErrorRecord().present);
         ASSERT_EQ(S_OK, m->Size(1, 1));
         EXPECT_FALSE(TakeErrorRecord().present);  // success leaves none
     }},
    {"named arguments are mapped by name", [] {
         Ptr<IGlobal> g = NewGlobal();
         Ptr<IRecordInfo> complex = ComplexRecord();
         ASSERT_TRUE(complex);
         ::Complex one{1, 0}, five{5, 0};
         VARIANT result{};
         const DISPID sub = Id(g.get(), L"CSub"), a = 0, b = 1;
         ASSERT_EQ(S_OK, Call(g.get(), sub, DISPATCH_METHOD, {Record(complex.get(), &one), Record(complex.get(), &five)},
                              &result, {b, a}));
         ASSERT_EQ(VT_RECORD, V_VT(&result));
         EXPECT_EQ(4.0, static_cast<::Complex*>(V_RECORD(&result))->Real);
         VariantClear(&result);
         EXPECT_EQ(DISP_E_PARAMNOTFOUND, Call(g.get(), sub, DISPATCH_METHOD,
                                              {Record(complex.get(), &one), Record(complex.get(), &five)}, &result, {a, 7}));
     }},
    {"a put by reference is no get", [] {
         Ptr<ICMatrix> c = NewCMatrix();
         Ptr<IMatrix> m = NewMatrix();
         for (IDispatch* object : {static_cast<IDispatch*>(c.get()), static_cast<IDispatch*>(m.get())})
             EXPECT_EQ(DISP_E_MEMBERNOTFOUND,
                       Call(object, 0, DISPATCH_PROPERTYPUTREF, {Of(VT_R8, 0), Of(VT_R8, 0), Var(VT_UNKNOWN, m.get())}, nullptr,
                            {DISPID_PROPERTYPUT}));
     }},
    {"null references are refused, not followed", [] {
         Ptr<IMatrix> m = NewMatrix();
         ASSERT_EQ(S_OK, m->Size(2, 1));
         IMatrix* none = nullptr;
         VARIANT nullRef = Ref(VT_DISPATCH, nullptr), toNull = Ref(VT_DISPATCH, &none);
         EXPECT_EQ(E_POINTER, Call(m.get(), L"Size", {Ref(VT_VARIANT, nullptr), Of(VT_R8, 1)}));
         EXPECT_EQ(E_POINTER, Call(m.get(), L"Times", {Ref(VT_VARIANT, &nullRef)}));
         EXPECT_EQ(E_POINTER, Call(m.get(), L"Times", {Ref(VT_VARIANT, &toNull)}));  // the member refuses it
         SAFEARRAY* index = nullptr;  // two elements, no data block
         ASSERT_EQ(S_OK, SafeArrayAllocDescriptorEx(VT_I4, 1, &index));
         index->rgsabound[0] = {2, 0};
         VARIANT perm = Var(VT_ARRAY | VT_I4, index);
         EXPECT_EQ(E_POINTER, Call(m.get(), L"ReorderRows", {Ref(VT_VARIANT, &perm)}));
         EXPECT_EQ(E_POINTER, m->ReorderRows(&perm));
         SafeArrayDestroyDescriptor(index);
         EXPECT_EQ(2, RowsOf(m.get()));
     }},
    {"a failed call leaves null results, not the caller's garbage", [] {
         Ptr<IMatrix> m = NewMatrix(), other = NewMatrix();
         IMatrix* otherp = other.get();
         IMatrix* product = reinterpret_cast<IMatrix*>(0x1234);
         SAFEARRAY* array = reinterpret_cast<SAFEARRAY*>(0x1234);
         ICMatrix* complex = reinterpret_cast<ICMatrix*>(0x1234);
         EXPECT_EQ(HRESULT(0x80040529), m->Times(&otherp, &product));  // not yet sized
         EXPECT_EQ(HRESULT(0x80040529), m->get_AsArray(&array));
         EXPECT_EQ(HRESULT(0x80040529), m->ToCMatrix(&complex));
         EXPECT_TRUE(product == nullptr && array == nullptr && complex == nullptr);
         VARIANT result;
         V_VT(&result) = VT_I4;
         EXPECT_NE(S_OK, Call(m.get(), L"Inverse", {}, &result));
         EXPECT_EQ(VT_EMPTY, V_VT(&result));
     }},
    {"surplus arguments fail before anything changes", [] {
         Ptr<IMatrix> m = NewMatrix();
         EXPECT_EQ(DISP_E_BADPARAMCOUNT, Call(m.get(), L"Size", {Of(VT_R8, 3), Of(VT_R8, 3), Of(VT_R8, 99)}));
         EXPECT_EQ(0, RowsOf(m.get()));
         ASSERT_EQ(S_OK, m->Size(1, 1));
         EXPECT_EQ(DISP_E_BADPARAMCOUNT, Call(m.get(), L"Clear", {Of(VT_R8, 5)}));
         SAFEARRAYBOUND bounds[2] = {{3, 0}, {2, 0}};
         SAFEARRAY* a = SafeArrayCreate(VT_R8, 2, bounds);
         ASSERT_NE(nullptr, a);
         EXPECT_EQ(DISP_E_BADPARAMCOUNT, Call(m.get(), Id(m.get(), L"AsArray"), DISPATCH_PROPERTYPUT,
                                              {Var(VT_UNKNOWN, m.get()), Ref(VT_ARRAY | VT_R8, &a)}, nullptr, {DISPID_PROPERTYPUT}));
         EXPECT_EQ(1, RowsOf(m.get()));
         SafeArrayDestroy(a);
     }},
};
// clang-format on

TEST(HostileCalls, EachFaultStaysMended) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.fault);
        row.check();
        TakeErrorRecord();
    }
}

}  // namespace
}  // namespace corvane::server::test

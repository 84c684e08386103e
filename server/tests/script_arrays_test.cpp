// Late-bound puts and reorders given script arrays of variants (by value or by reference) or JScript-like arrays.
#include "client_support.h"

namespace corvane::server::test {
namespace {

// A JScript-like array of at most ten items: "length" and elements "0", "1", ….
struct FakeArray final : IDispatch {
    std::vector<VARIANT> items;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override { return *out = this, S_OK; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // the fakes live on the stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* id) override {
        return *id = names[0][0] == L'l' ? 99 : names[0][0] - L'0', S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* r, EXCEPINFO*, UINT*) override {
        if (id == 99) return V_VT(r) = VT_I4, V_I4(r) = static_cast<LONG>(items.size()), S_OK;
        return id < static_cast<DISPID>(items.size()) ? VariantCopy(r, &items[id]) : DISP_E_MEMBERNOTFOUND;
    }
};

constexpr DISPID kAsArray = 10, kReorderRows = 33;
constexpr wchar_t kNotAnArray[] = L"Parameter is not an array, or it is not an array of the expected type.";

TEST(ScriptArrays, LateBoundPutsAndReordersTakeScriptArrays) {
    double zero = 0, v = 0;
    FakeArray pair, index, grid, ragged;
    pair.items = {Of(VT_I2, 1), Of(VT_R4, 2.5)}, index.items = {Of(VT_I4, 2), Of(VT_R8, 0), Of(VT_I4, 1)};
    grid.items = {Var(VT_DISPATCH, &index), Var(VT_DISPATCH, &index)}, ragged.items = {grid.items[0], Var(VT_DISPATCH, &pair)};
    SAFEARRAY* held[9];  // arrays of variants taking the items, the leftmost subscript fastest
    auto arr = [&held, n = 0](bool byRef, std::vector<VARIANT> items, std::vector<SAFEARRAYBOUND> b) mutable {
        SAFEARRAY*& a = held[n++] = SafeArrayCreate(VT_VARIANT, static_cast<UINT>(b.size()), b.data());
        for (size_t k = 0; k < items.size(); ++k) static_cast<VARIANT*>(a->pvData)[k] = items[k];
        return byRef ? Var(VT_BYREF | VT_ARRAY | VT_VARIANT, &a) : Var(VT_ARRAY | VT_VARIANT, a);
    };
    auto one = [&arr](VARIANT item) { return arr(false, {item}, {{1, 0}}); };
    // clang-format off
    struct Row { const wchar_t* what; DISPID member; VARIANT arg; std::vector<double> after = {}; LONG cols = 1; };
    Row rows[] = {
        {L"1-based 2-D", kAsArray, arr(true, {Of(VT_R8, 1), Of(VT_I4, 2), Of(VT_R8, 3), Of(VT_I4, 4)}, {{2, 1}, {2, 1}}),
         {1, 3, 2, 4}, 2},
        {L"numeric kinds, from 5", kAsArray, arr(false, {Of(VT_I2, 1), Of(VT_UI1, 2), Of(VT_R4, 2.5), Of(VT_CY, 3.25),
         Of(VT_DECIMAL, 4), Of(VT_I8, 5), Var(VT_BYREF | VT_R8, &zero), Var(VT_BYREF | VT_VARIANT, &index.items[0])},
         {{8, 5}}), {1, 2, 2.5, 3.25, 4, 5, 0, 2}},
        {L"text", kAsArray, one(Of(VT_BSTR, 1))}, {L"Null", kAsArray, one(Var(VT_NULL, nullptr))},
        {L"Empty", kAsArray, one(Var(VT_EMPTY, nullptr))}, {L"error", kAsArray, one(Var(VT_ERROR, nullptr))},
        {L"object", kAsArray, one(Var(VT_DISPATCH, &pair))}, {L"ragged", kAsArray, Var(VT_DISPATCH, &ragged)},
        {L"JScript 2-D", kAsArray, Var(VT_DISPATCH, &grid), {2, 0, 1, 2, 0, 1}, 3},
        {L"index", kReorderRows, arr(true, {Var(VT_BYREF | VT_R8, &zero), Of(VT_I4, 2), Of(VT_I2, 1)}, {{3, 0}}), {10, 30, 20}},
        {L"non-whole index", kReorderRows, arr(true, {Of(VT_R8, 1.5), Of(VT_I4, 0), Of(VT_I4, 2)}, {{3, 0}})}};
    // clang-format on
    for (Row& row : rows) {
        SCOPED_TRACE(row.what);
        Ptr<IMatrix> m = NewMatrix();
        for (LONG i = 0; i < 3; ++i) ASSERT_TRUE((i || m->Size(3, 1) == S_OK) && m->put_Item(i, 0, 10.0 * (i + 1)) == S_OK);
        const bool put = row.member == kAsArray;
        const HRESULT hr = Call(m.get(), row.member, put ? DISPATCH_PROPERTYPUT : DISPATCH_METHOD, {row.arg}, nullptr,
                                put ? std::vector<DISPID>{DISPID_PROPERTYPUT} : std::vector<DISPID>{});
        if (row.after.empty()) ExpectFailure(hr, 1303, kNotAnArray, CLSID_Matrix, L"CorvaneMatrix30.Matrix.1");
        else EXPECT_EQ(S_OK, hr);
        const std::vector<double> after = row.after.empty() ? std::vector<double>{10, 20, 30} : row.after;
        LONG r = 0, c = 0;
        EXPECT_TRUE(m->get_Rows(&r) == S_OK && m->get_Cols(&c) == S_OK && r * c == LONG(after.size()) && c == row.cols);
        for (LONG k = 0; k < r * c; ++k) EXPECT_TRUE(m->get_Item(k / c, k % c, &v) == S_OK && v == after[k]) << k;
    }
    // The early-bound put keeps taking arrays of doubles only.
    ExpectFailure(NewMatrix()->put_AsArray(&held[0]), 1303, kNotAnArray, CLSID_Matrix, L"CorvaneMatrix30.Matrix.1");
    for (SAFEARRAY* each : held) SafeArrayDestroy(each);
}

}  // namespace
}  // namespace corvane::server::test

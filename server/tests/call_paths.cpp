#include "call_paths.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <sstream>

namespace corvane::server::test {
namespace {

bool IsComplex(char c) { return std::strchr("CDEVQ", c) != nullptr; }

// Fixtures by letter: A = [4 1;2 3], S = [4 2;2 3], B = [1;2], Z = [1 2;0 0], C = [2 1i;-1i 2], D = [1;1i],
// E = [4 2i;2i 3], G the Global object; V and Q unsized complex, any other letter unsized real.
IDispatch* Fixture(char c) {
    // clang-format off
    const struct { char name; LONG rows, cols; double re[4], im[4]; } kData[] = {
        {'A', 2, 2, {4, 1, 2, 3}}, {'S', 2, 2, {4, 2, 2, 3}}, {'B', 2, 1, {1, 2}}, {'Z', 2, 2, {1, 2, 0, 0}},
        {'C', 2, 2, {2, 0, 0, 2}, {0, 1, -1, 0}}, {'D', 2, 1, {1, 0}, {0, 1}}, {'E', 2, 2, {4, 0, 0, 3}, {0, 2, 2, 0}}};
    // clang-format on
    IDispatch* object = nullptr;
    CoCreateInstance(c == 'G'       ? CLSID_Global
                     : IsComplex(c) ? CLSID_CMatrix
                                    : CLSID_Matrix,
                     nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&object));
    auto* m = static_cast<IMatrix*>(object);
    auto* z = static_cast<ICMatrix*>(object);
    for (const auto& d : kData) {
        if (d.name != c) continue;
        IsComplex(c) ? z->Size(d.rows, d.cols) : m->Size(d.rows, d.cols);
        for (LONG k = 0; k < d.rows * d.cols; ++k) {
            ::Complex v{d.re[k], d.im[k]};
            IsComplex(c) ? z->put_Item(k / d.cols, k % d.cols, &v) : m->put_Item(k / d.cols, k % d.cols, v.Real);
        }
    }
    return object;
}

std::string Num(double x) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", std::fabs(x) < 1e-12 ? 0.0 : x);
    return text;
}
std::string Cx(double re, double im) {
    if (std::fabs(im) < 1e-12) return Num(re);
    return (std::fabs(re) < 1e-12 ? "" : Num(re) + (im > 0 ? "+" : "")) + Num(im) + "i";
}

// Rows of elements: [4 1;2 3], or [rows x cols] when either count is 0.
std::string Grid(LONG rows, LONG cols, const std::function<std::string(LONG, LONG)>& at) {
    if (rows == 0 || cols == 0) return rows + cols == 0 ? "[]" : "[" + std::to_string(rows) + "x" + std::to_string(cols) + "]";
    std::string s = "[";
    for (LONG i = 0; i < rows; ++i)
        for (LONG j = 0; j < cols; ++j) s += at(i, j) + (j + 1 < cols ? " " : i + 1 < rows ? ";" : "]");
    return s;
}

// A matrix object: [4 1;2 3], c[2 1i;-1i 2], [] when unsized.
std::string Render(IUnknown* object) {
    Ptr<IMatrix> m;
    Ptr<ICMatrix> c;
    LONG rows = 0, cols = 0;
    if (SUCCEEDED(object->QueryInterface(IID_IMatrix, m.outVoid()))) {
        m->get_Rows(&rows), m->get_Cols(&cols);
        return Grid(rows, cols, [&](LONG i, LONG j) {
            double v = 0;
            return m->get_Item(i, j, &v) == S_OK ? Num(v) : "?";
        });
    }
    if (FAILED(object->QueryInterface(IID_ICMatrix, c.outVoid()))) return "";
    c->get_Rows(&rows), c->get_Cols(&cols);
    return "c" + Grid(rows, cols, [&](LONG i, LONG j) {
               ::Complex z{};
               return c->get_Item(i, j, &z) == S_OK ? Cx(z.Real, z.Imag) : "?";
           });
}

// A safe array of doubles or longs from index 0: {1 2}, {4 1;2 3}.
std::string RenderArray(SAFEARRAY* a, bool doubles) {
    const UINT dims = a != nullptr ? SafeArrayGetDim(a) : 0;
    LONG lower[2] = {}, upper[2] = {};
    for (UINT d = 0; d < dims && d < 2; ++d) SafeArrayGetLBound(a, d + 1, &lower[d]), SafeArrayGetUBound(a, d + 1, &upper[d]);
    if (dims < 1 || dims > 2 || lower[0] != 0 || lower[1] != 0) return "{not from 0 in 1 or 2 dimensions}";
    const std::string grid = Grid(dims == 2 ? upper[0] + 1 : 1, upper[dims - 1] + 1, [&](LONG i, LONG j) {
        LONG at[2] = {dims == 2 ? i : j, j}, l = 0;
        double d = 0;
        return doubles ? (SafeArrayGetElement(a, at, &d), Num(d)) : (SafeArrayGetElement(a, at, &l), std::to_string(l));
    });
    return "{" + grid.substr(1, grid.size() - 2) + "}";
}

// A result or output; an object also shows a reference count other than one.
std::string RenderVariant(const VARIANT& v) {
    ::Complex z;
    std::string s;
    switch (V_VT(&v)) {
        case VT_EMPTY: return "-";
        case VT_R8: return Num(V_R8(&v));
        case VT_I4: return std::to_string(V_I4(&v));
        case VT_BOOL: return V_BOOL(&v) == VARIANT_TRUE ? "T" : V_BOOL(&v) == VARIANT_FALSE ? "F" : "bool?";
        case VT_RECORD: return std::memcpy(&z, V_RECORD(&v), sizeof z), "(" + Cx(z.Real, z.Imag) + ")";
        case VT_ARRAY | VT_R8: return RenderArray(V_ARRAY(&v), true);
        case VT_ARRAY | VT_I4: return "p" + RenderArray(V_ARRAY(&v), false);
        case VT_BSTR:
            for (UINT k = 0; k < SysStringLen(V_BSTR(&v)); ++k)
                s += V_BSTR(&v)[k] == L'\r' ? "\\r" : V_BSTR(&v)[k] == L'\n' ? "\\n" : std::string(1, static_cast<char>(V_BSTR(&v)[k]));
            return "\"" + s + "\"";
        case VT_DISPATCH: {
            if (V_DISPATCH(&v) == nullptr) return "null";
            const ULONG refs = V_DISPATCH(&v)->AddRef() - 1;
            V_DISPATCH(&v)->Release();
            return Render(V_DISPATCH(&v)) + (refs == 1 ? "" : "(refs " + std::to_string(refs) + ")");
        }
        default: return "vt" + std::to_string(V_VT(&v));
    }
}

// A failure code and, for a catalogue failure, anything of its record that
// differs from what the reporting class publishes.
std::string Failure(HRESULT hr, char target, const ErrorRecord& r) {
    char code[16];
    std::snprintf(code, sizeof code, "!%08lX", static_cast<unsigned long>(hr));
    wchar_t text[256] = L"";
    LoadStringW(Dll().module, hr & 0xFFFF, text, 256);
    const bool complex = IsComplex(target);
    if ((hr & 0xFFFF0000) != 0x80040000 || (r.description == text && r.helpFile == L"CorvaneMatrix.chm" && r.helpContext == (hr & 0xFFFFu) &&
                                            r.source == (complex ? L"CorVaneMatrix30.CMatrix.1" : L"CorvaneMatrix30.Matrix.1") &&
                                            (IsEqualGUID(r.guid, GUID_NULL) || IsEqualGUID(r.guid, complex ? CLSID_CMatrix : CLSID_Matrix))))
        return code;
    return code +
           ("(record " + Narrow(r.description) + "|" + Narrow(r.source) + "|" + Narrow(r.helpFile) + "|" + std::to_string(r.helpContext) + ")");
}

// A parameter as the interface view of the type library declares it.
struct Param {
    enum Kind { kScalar, kRecord, kObject, kVariant, kOutScalar, kArray } kind;
    VARTYPE vt;  // of a scalar, or of the pointed-to scalar
    USHORT flags;
    const VARIANT* byDefault;
    std::string name;
};

Param Describe(const ELEMDESC& e, BSTR name) {
    Param p{Param::kScalar, e.tdesc.vt == VT_USERDEFINED ? VARTYPE{VT_I4} : e.tdesc.vt, e.paramdesc.wParamFlags, nullptr,
            name != nullptr ? Narrow(name) : "value"};
    if (p.flags & PARAMFLAG_FHASDEFAULT) p.byDefault = &e.paramdesc.pparamdescex->varDefaultValue;
    if (e.tdesc.vt != VT_PTR) return p;
    p.vt = e.tdesc.lptdesc->vt;
    p.kind = p.vt == VT_USERDEFINED ? Param::kRecord
             : p.vt == VT_PTR       ? Param::kObject
             : p.vt == VT_VARIANT   ? Param::kVariant
             : p.vt == VT_SAFEARRAY ? Param::kArray
                                    : Param::kOutScalar;
    return p;
}

IRecordInfo* ComplexInfo() {
    static Ptr<IRecordInfo>* const info = new Ptr<IRecordInfo>(ComplexRecord());  // once, kept to the end
    return info->get();
}

// Live blocks of task memory (safe arrays, strings); registered once, never revoked.
struct BlockCounter final : IMallocSpy {
    LONG live = 0;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override { return *out = this, S_OK; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T cb) override { return cb; }
    void* STDMETHODCALLTYPE PostAlloc(void* p) override { return live += p != nullptr, p; }
    void* STDMETHODCALLTYPE PreFree(void* p, BOOL spied) override { return live -= p != nullptr && spied, p; }
    void STDMETHODCALLTYPE PostFree(BOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* p, SIZE_T cb, void** out, BOOL) override { return *out = p, cb; }
    void* STDMETHODCALLTYPE PostRealloc(void* p, BOOL) override { return p; }
    void* STDMETHODCALLTYPE PreGetSize(void* p, BOOL) override { return p; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T cb, BOOL) override { return cb; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* p, BOOL) override { return p; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}
} g_blocks;
const HRESULT kSpy = CoRegisterMallocSpy(&g_blocks);

}  // namespace

Row ParseRow(const std::string& line) {
    Row r;
    const size_t arrow = line.find(" => ");
    std::istringstream in(line.substr(0, arrow));
    std::string member, arg;
    in >> r.target >> r.slot >> member;
    r.member.assign(member.begin(), member.end());
    while (in >> arg) r.args.push_back(arg);
    if (arrow != std::string::npos) r.expect = line.substr(arrow + 4);
    return r;
}

std::string Call(Path path, const Row& row) {
    const LONG blocks = (ComplexInfo(), g_blocks.live);
    std::map<char, IDispatch*> objects;
    auto object = [&](char c) -> IDispatch* {
        IDispatch*& o = objects[c == '*' ? row.target : c];
        return o != nullptr ? o : o = Fixture(c == '*' ? row.target : c);
    };
    IDispatch* self = object(row.target);
    const std::string before = Render(self);
    Ptr<ITypeInfo> dispatch, slots;
    HREFTYPE ref = 0;
    FUNCDESC* desc = nullptr;
    if (FAILED(self->GetTypeInfo(0, 1033, dispatch.out())) || FAILED(dispatch->GetRefTypeOfImplType(-1, &ref)) ||
        FAILED(dispatch->GetRefTypeInfo(ref, slots.out())) || FAILED(slots->GetFuncDesc(static_cast<UINT>(row.slot - 1), &desc)))
        return "no type information";
    BSTR names[10] = {};
    UINT named = 0;
    slots->GetNames(desc->memid, names, 10, &named);
    const bool put = desc->invkind == INVOKE_PROPERTYPUT, typed = path == Path::kSlot || path == Path::kTypedRef;
    std::vector<Param> params;
    for (SHORT p = 0; p < desc->cParams; ++p) params.push_back(Describe(desc->lprgelemdescParam[p], !put && p + 1u < named ? names[p + 1] : nullptr));
    const bool hasResult = !params.empty() && (params.back().flags & PARAMFLAG_FRETVAL);
    const size_t inputs = params.size() - (hasResult ? 1 : 0);
    if (row.args.size() != inputs) return "the row needs " + std::to_string(inputs) + " arguments";
    auto kind = [&](size_t p) { return p < inputs ? row.args[p] : std::string("out"); };

    // The caller's variables, one variant each; typed callers' are of the parameter's type.
    std::vector<VARIANT> held(params.size());
    std::vector<::Complex> records(params.size());
    for (size_t p = 0; p < params.size(); ++p) {
        const Param& param = params[p];
        const std::string a = kind(p);
        VARIANT& h = held[p];
        if (a[0] == '@' || a == "Nothing") {
            V_VT(&h) = VT_DISPATCH, V_DISPATCH(&h) = a[0] == '@' ? object(a[1]) : nullptr;
        } else if (a[0] == '"') {
            V_VT(&h) = VT_BSTR, V_BSTR(&h) = SysAllocString(std::wstring(a.begin() + 1, a.end() - 1).c_str());
        } else if (a[0] == '(' || (a == "out" && typed && param.kind == Param::kRecord)) {
            std::sscanf(a.c_str(), "(%lf,%lf)", &records[p].Real, &records[p].Imag);
            V_VT(&h) = VT_RECORD, V_RECORD(&h) = &records[p], V_RECORDINFO(&h) = ComplexInfo();
        } else if (a[0] == '{') {
            V_VT(&h) = VT_ARRAY | VT_I4, V_ARRAY(&h) = SafeArrayCreateVector(VT_I4, 0, static_cast<ULONG>(std::count(a.begin(), a.end(), ',') + 1));
            LONG i = 0;
            for (char* s = const_cast<char*>(a.c_str()); *s != '}'; ++i) {
                const LONG entry = std::strtol(s + 1, &s, 10);
                SafeArrayPutElement(V_ARRAY(&h), &i, const_cast<LONG*>(&entry));
            }
        } else if (a[0] == '<') {  // the elements as the fixture's own AsArray gives them
            Ptr<IMatrix> m;
            object(a[1])->QueryInterface(IID_IMatrix, m.outVoid());
            V_VT(&h) = VT_ARRAY | VT_R8;
            EXPECT_EQ(S_OK, m->get_AsArray(&V_ARRAY(&h)));
        } else if (a == "out" && typed && param.kind != Param::kVariant) {
            V_VT(&h) = param.kind == Param::kObject ? VT_DISPATCH : param.kind == Param::kArray ? VT_ARRAY | VT_R8 : param.vt;
        } else if (a != "out" && a != "_") {
            const double x = std::strtod(a.c_str(), nullptr);
            V_VT(&h) = VT_R8, V_R8(&h) = x;
            EXPECT_EQ(S_OK, VariantChangeType(&h, &h, 0,
                                              typed && param.kind == Param::kScalar          ? param.vt
                                              : x != std::floor(x)                           ? VT_R8
                                              : path == Path::kValue || std::fabs(x) > 32767 ? VT_I4
                                                                                             : VT_I2));
        }
    }
    auto outputs = [&] {
        std::string text;
        for (size_t p = 0; p < inputs; ++p) {
            if (!(params[p].flags & PARAMFLAG_FOUT) || row.args[p] == "_") continue;
            if (row.args[p][0] == '@' && V_DISPATCH(&held[p]) != object(row.args[p][1])) text += "(object replaced)";
            text += " " + params[p].name + "=" + RenderVariant(held[p]);
        }
        return text;
    };
    const std::string given = outputs(), unwritten = hasResult ? RenderVariant(held.back()) : "";
    HRESULT hr;
    std::string out;
    if (path == Path::kSlot) {
        // Through the slot: values by value, everything else by a pointer to the variable.
        std::vector<VARTYPE> types(params.size(), VT_BYREF | VT_UI1);
        std::vector<VARIANT> values(params.size());
        std::vector<VARIANTARG*> pointers(params.size());
        for (size_t p = 0; p < params.size(); ++p) {
            VARIANT& h = held[p];
            pointers[p] = &values[p];
            if (params[p].kind == Param::kScalar) {
                if (kind(p) == "_") VariantChangeType(&h, const_cast<VARIANT*>(params[p].byDefault), 0, params[p].vt);
                values[p] = h, types[p] = params[p].vt;
                continue;
            }
            V_VT(&values[p]) = VT_BYREF | VT_UI1;
            V_BYREF(&values[p]) = kind(p) == "_" || kind(p) == "Nothing" ? nullptr
                                  : params[p].kind == Param::kVariant    ? &h
                                  : V_VT(&h) == VT_RECORD                ? V_RECORD(&h)
                                                                         : static_cast<void*>(&V_UI1(&h));
        }
        VARIANT returned{};
        hr = DispCallFunc(self, static_cast<ULONG_PTR>((6 + row.slot) * sizeof(void*)), CC_STDCALL, VT_I4, static_cast<UINT>(params.size()),
                          types.data(), pointers.data(), &returned);
        if (SUCCEEDED(hr)) hr = V_I4(&returned);
        const ErrorRecord r = TakeErrorRecord();
        if (FAILED(hr)) out = Failure(hr, row.target, r);
        if (hasResult) out += SUCCEEDED(hr) ? RenderVariant(held.back()) : RenderVariant(held.back()) != unwritten ? "(result written)" : "";
    } else {
        // Late-bound: the forms a host gives its arguments in.
        std::vector<LPOLESTR> lookup{const_cast<LPOLESTR>(row.member.c_str())};
        for (size_t p = 0; p < inputs; ++p) lookup.push_back(names[p + 1]);
        std::vector<DISPID> ids(lookup.size(), DISPID_UNKNOWN);
        const bool byName = path == Path::kNamed && !put;
        EXPECT_EQ(S_OK, self->GetIDsOfNames(IID_NULL, lookup.data(), byName ? static_cast<UINT>(lookup.size()) : 1, 1033, ids.data()));
        std::vector<VARIANT> args;  // in parameter order
        std::vector<DISPID> namedIds;
        size_t last = inputs;  // trailing omitted arguments are left out, but by VBScript
        while (path != Path::kVariantRef && last > 0 && row.args[last - 1] == "_") --last;
        for (size_t p = 0; p < last; ++p) {
            VARIANT v, &h = held[p];
            if (row.args[p] == "_" && byName) continue;
            if (row.args[p] == "_") {
                V_VT(&v) = VT_ERROR, V_ERROR(&v) = DISP_E_PARAMNOTFOUND;
            } else if (path == Path::kValue && row.args[p] != "out") {
                v = h;
            } else if (path == Path::kTypedRef && params[p].kind != Param::kVariant && V_VT(&h) != VT_EMPTY) {
                v = h;  // a record by reference keeps its fields
                if (V_VT(&h) != VT_RECORD) V_BYREF(&v) = &V_UI1(&h);
                V_VT(&v) = VT_BYREF | V_VT(&h);
            } else {
                V_VT(&v) = VT_BYREF | VT_VARIANT, V_VARIANTREF(&v) = &h;
            }
            args.push_back(v);
            if (byName) namedIds.push_back(ids[p + 1]);
        }
        // Positional arguments go last first, named ones in parameter order; a put's value is named.
        std::vector<VARIANT> rgvarg(args.rbegin(), args.rend());
        if (byName) rgvarg = args;
        if (put) namedIds = {DISPID_PROPERTYPUT};
        DISPPARAMS dp{rgvarg.data(), namedIds.data(), static_cast<UINT>(rgvarg.size()), static_cast<UINT>(namedIds.size())};
        VARIANT result{};
        EXCEPINFO e{};
        hr = self->Invoke(ids[0], IID_NULL, 1033, put ? DISPATCH_PROPERTYPUT : DISPATCH_METHOD | DISPATCH_PROPERTYGET, &dp, &result, &e, nullptr);
        if (hr == DISP_E_EXCEPTION) hr = e.scode;
        if (FAILED(hr))
            out = Failure(hr, row.target, {true, Take(e.bstrDescription), Take(e.bstrSource), Take(e.bstrHelpFile), GUID_NULL, e.dwHelpContext});
        if (SUCCEEDED(hr) && hasResult) out = RenderVariant(result);
        VariantClear(&result);
    }
    const std::string after = outputs();
    if (FAILED(hr) && after != given) out += "(outputs written)";
    if (SUCCEEDED(hr)) out += out.empty() ? after.substr(after.empty() ? 0 : 1) : after;
    if (path == Path::kSlot && hasResult && V_VT(&held.back()) == VT_DISPATCH && V_DISPATCH(&held.back()) != nullptr)
        V_DISPATCH(&held.back())->Release();  // a new object: ours
    for (VARIANT& h : held)
        if (V_VT(&h) != VT_DISPATCH && V_VT(&h) != VT_RECORD) VariantClear(&h);
    for (UINT k = 0; k < named; ++k) SysFreeString(names[k]);
    slots->ReleaseFuncDesc(desc);
    if (const std::string now = Render(self); now != before) out += (out.empty() ? "t=" : " t=") + now;
    if (g_blocks.live != blocks && kSpy == S_OK) out += " (" + std::to_string(g_blocks.live - blocks) + " blocks kept)";
    for (auto& [letter, o] : objects) {
        const ULONG refs = o->AddRef() - 1;
        if (o->Release(), refs != 1) out += " (" + std::string(1, letter) + " holds " + std::to_string(refs) + " refs)";
        o->Release();
    }
    return out;
}

}  // namespace corvane::server::test

#include "call_paths.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>

namespace corvane::server::test {
namespace {

// Fixtures by letter: A = [4 1;2 3], S = [4 2;2 3] (symmetric positive
// definite), B = [1;2], Z = [1 2;0 0], C = [2 1i;-1i 2], D = [1;1i], E = [4 2i;2i 3],
// V and Q unsized complex, G the Global object, any other letter unsized real.
IDispatch* Fixture(char c) {
    const struct { char name; bool complex; LONG rows, cols; double re[4], im[4]; } kData[] = {
        {'A', false, 2, 2, {4, 1, 2, 3}}, {'S', false, 2, 2, {4, 2, 2, 3}}, {'B', false, 2, 1, {1, 2}},
        {'Z', false, 2, 2, {1, 2, 0, 0}}, {'C', true, 2, 2, {2, 0, 0, 2}, {0, 1, -1, 0}},
        {'D', true, 2, 1, {1, 0}, {0, 1}},  {'E', true, 2, 2, {4, 0, 0, 3}, {0, 2, 2, 0}},  {'V', true, 0, 0}, {'Q', true, 0, 0}};
    IDispatch* object = nullptr;
    if (c == 'G') {
        CoCreateInstance(CLSID_Global, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&object));
        return object;
    }
    for (const auto& d : kData) {
        if (d.name != c) continue;
        if (!d.complex) break;
        ICMatrix* m = nullptr;
        CoCreateInstance(CLSID_CMatrix, nullptr, CLSCTX_INPROC_SERVER, IID_ICMatrix, reinterpret_cast<void**>(&m));
        if (d.rows > 0) EXPECT_EQ(S_OK, m->Size(d.rows, d.cols));
        for (LONG k = 0; k < d.rows * d.cols; ++k) {
            ::Complex z{d.re[k], d.im[k]};
            EXPECT_EQ(S_OK, m->put_Item(k / d.cols, k % d.cols, &z));
        }
        return m;
    }
    IMatrix* m = nullptr;
    CoCreateInstance(CLSID_Matrix, nullptr, CLSCTX_INPROC_SERVER, IID_IMatrix, reinterpret_cast<void**>(&m));
    for (const auto& d : kData) {
        if (d.name != c) continue;
        EXPECT_EQ(S_OK, m->Size(d.rows, d.cols));
        for (LONG k = 0; k < d.rows * d.cols; ++k) EXPECT_EQ(S_OK, m->put_Item(k / d.cols, k % d.cols, d.re[k]));
    }
    return m;
}

std::string Num(double x) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", std::fabs(x) < 1e-12 ? 0.0 : x);
    return text;
}
std::string Cx(double re, double im) {
    if (std::fabs(im) < 1e-12) return Num(re);
    if (std::fabs(re) < 1e-12) return Num(im) + "i";
    return Num(re) + (im > 0 ? "+" : "") + Num(im) + "i";
}
std::string Grid(LONG rows, LONG cols, const std::function<std::string(LONG, LONG)>& at) {
    if (rows == 0 || cols == 0) return rows == 0 && cols == 0 ? "[]" : "[" + std::to_string(rows) + "x" + std::to_string(cols) + "]";
    std::string s = "[";
    for (LONG i = 0; i < rows; ++i)
        for (LONG j = 0; j < cols; ++j) s += at(i, j) + (j + 1 < cols ? " " : i + 1 < rows ? ";" : "]");
    return s;
}

// A safe array of doubles or longs: {1 2}, {4 1;2 3}; other lower bounds shown.
std::string RenderArray(SAFEARRAY* a, VARTYPE vt) {
    if (a == nullptr) return "{null}";
    const UINT dims = SafeArrayGetDim(a);
    LONG lower[2] = {}, upper[2] = {};
    std::string note;
    for (UINT d = 0; d < dims && d < 2; ++d) {
        SafeArrayGetLBound(a, d + 1, &lower[d]);
        SafeArrayGetUBound(a, d + 1, &upper[d]);
        if (lower[d] != 0) note += "(from " + std::to_string(lower[d]) + ")";
    }
    if (dims > 2) return "{" + std::to_string(dims) + " dims}";
    const LONG rows = dims == 2 ? upper[0] - lower[0] + 1 : 1, cols = upper[dims - 1] - lower[dims - 1] + 1;
    std::string grid = Grid(rows, cols, [&](LONG i, LONG j) {
                     LONG at[2] = {dims == 2 ? lower[0] + i : lower[0] + j, lower[1] + j};
                     double d = 0;
                     LONG l = 0;
                     if (vt == VT_R8) return SUCCEEDED(SafeArrayGetElement(a, at, &d)) ? Num(d) : "?";
                     return SUCCEEDED(SafeArrayGetElement(a, at, &l)) ? std::to_string(l) : "?";
                 });
    return "{" + grid.substr(1, grid.size() - 2) + "}" + note;
}

std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "!%08lX", static_cast<unsigned long>(hr));
    return text;
}

// A result or output as text; an object also shows a reference count other than one.
std::string RenderVariant(const VARIANT& v) {
    switch (V_VT(&v)) {
        case VT_EMPTY: return "-";
        case VT_R8: return Num(V_R8(&v));
        case VT_I4: return std::to_string(V_I4(&v));
        case VT_BOOL: return V_BOOL(&v) == VARIANT_TRUE ? "T" : V_BOOL(&v) == VARIANT_FALSE ? "F" : "bool?";
        case VT_RECORD: {
            ::Complex z;
            std::memcpy(&z, V_RECORD(&v), sizeof z);
            return "(" + Cx(z.Real, z.Imag) + ")";
        }
        case VT_BSTR: {
            std::string s = "\"";
            for (UINT k = 0; k < SysStringLen(V_BSTR(&v)); ++k) {
                const wchar_t w = V_BSTR(&v)[k];
                s += w == L'\r' ? std::string("\\r") : w == L'\n' ? std::string("\\n") : std::string(1, static_cast<char>(w));
            }
            return s + "\"";
        }
        case VT_DISPATCH: {
            std::string s = Render(V_DISPATCH(&v));
            if (V_DISPATCH(&v) == nullptr) return s;
            const ULONG refs = V_DISPATCH(&v)->AddRef() - 1;
            V_DISPATCH(&v)->Release();
            return refs == 1 ? s : s + "(refs " + std::to_string(refs) + ")";
        }
        case VT_ARRAY | VT_R8: return RenderArray(V_ARRAY(&v), VT_R8);
        case VT_ARRAY | VT_I4: return "p" + RenderArray(V_ARRAY(&v), VT_I4);
        default: return "vt" + std::to_string(V_VT(&v));
    }
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
    Param p{Param::kScalar, e.tdesc.vt, e.paramdesc.wParamFlags, nullptr, name != nullptr ? std::string(name, name + SysStringLen(name)) : "value"};
    if (p.flags & PARAMFLAG_FHASDEFAULT) p.byDefault = &e.paramdesc.pparamdescex->varDefaultValue;
    if (e.tdesc.vt == VT_USERDEFINED) p.vt = VT_I4;  // the sort-order enumeration
    if (e.tdesc.vt != VT_PTR) return p;
    const TYPEDESC& to = *e.tdesc.lptdesc;
    p.vt = to.vt;
    p.kind = to.vt == VT_USERDEFINED ? Param::kRecord : to.vt == VT_PTR ? Param::kObject : to.vt == VT_VARIANT ? Param::kVariant
           : to.vt == VT_SAFEARRAY ? Param::kArray : Param::kOutScalar;
    return p;
}

bool IsOutput(const Param& p) { return (p.flags & PARAMFLAG_FOUT) && !(p.flags & PARAMFLAG_FRETVAL); }

// Storage of one argument: the caller's variables, in every form a path uses.
struct Slot {
    VARIANT value{}, holder{};
    IDispatch* object = nullptr;
    LONG l = 0;
    short i2 = 0;
    double d = 0;
    VARIANT_BOOL b = 0;
    BSTR s = nullptr;
    SAFEARRAY* array = nullptr;
    ::Complex cx{};
};

SAFEARRAY* IndexArray(const std::vector<LONG>& v) {
    SAFEARRAYBOUND bound{static_cast<ULONG>(v.size()), 0};
    SAFEARRAY* a = SafeArrayCreate(VT_I4, 1, &bound);
    for (LONG i = 0; i < static_cast<LONG>(v.size()); ++i) SafeArrayPutElement(a, &i, const_cast<LONG*>(&v[static_cast<size_t>(i)]));
    return a;
}

SAFEARRAY* ElementArray(IDispatch* object) {
    Ptr<IMatrix> m;
    LONG rows = 0, cols = 0;
    if (FAILED(object->QueryInterface(IID_IMatrix, m.outVoid()))) return nullptr;
    m->get_Rows(&rows);
    m->get_Cols(&cols);
    SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(rows), 0}, {static_cast<ULONG>(cols), 0}};
    SAFEARRAY* a = SafeArrayCreate(VT_R8, 2, bounds);
    for (LONG i = 0; i < rows; ++i)
        for (LONG j = 0; j < cols; ++j) {
            LONG at[2] = {i, j};
            double v = 0;
            m->get_Item(i, j, &v);
            SafeArrayPutElement(a, at, &v);
        }
    return a;
}

IRecordInfo* ComplexInfo() {
    static IRecordInfo* info = [] {
        IRecordInfo* r = nullptr;
        Ptr<ITypeInfo> type;
        if (Ptr<ITypeLib> lib = Library(); lib && SUCCEEDED(lib->GetTypeInfo(2, type.out())))
            GetRecordInfoFromTypeInfo(type.get(), &r);
        return r;
    }();
    return info;
}

void SetNumber(VARIANT* v, double x, VARTYPE vt) {
    VARIANT r;
    V_VT(&r) = VT_R8;
    V_R8(&r) = x;
    VariantInit(v);
    EXPECT_EQ(S_OK, VariantChangeType(v, &r, 0, vt));
}

// The outputs after a call: shown on success, unchanged on failure.
void Written(std::string& out, HRESULT hr, const std::string& before, const std::string& after) {
    if (FAILED(hr) && after != before) out += "(outputs written)";
    if (SUCCEEDED(hr) && !after.empty()) out += out.empty() ? after.substr(1) : after;
}

}  // namespace

std::string Render(IUnknown* object) {
    if (object == nullptr) return "null";
    Ptr<IMatrix> m;
    Ptr<ICMatrix> c;
    LONG rows = 0, cols = 0;
    if (SUCCEEDED(object->QueryInterface(IID_IMatrix, m.outVoid()))) {
        m->get_Rows(&rows);
        m->get_Cols(&cols);
        return Grid(rows, cols, [&](LONG i, LONG j) {
            double v = 0;
            return SUCCEEDED(m->get_Item(i, j, &v)) ? Num(v) : "?";
        });
    }
    if (FAILED(object->QueryInterface(IID_ICMatrix, c.outVoid()))) return "";
    c->get_Rows(&rows);
    c->get_Cols(&cols);
    return "c" + Grid(rows, cols, [&](LONG i, LONG j) {
               ::Complex z{};
               return SUCCEEDED(c->get_Item(i, j, &z)) ? Cx(z.Real, z.Imag) : "?";
           });
}

std::string Call(Path path, char target, int slot, const wchar_t* member, const std::vector<Arg>& args) {
    std::map<char, IDispatch*> objects;
    auto object = [&](char c) {
        if (c == '*') c = target;
        if (objects.count(c) == 0) objects[c] = Fixture(c);
        return objects[c];
    };
    IDispatch* self = object(target);
    if (self == nullptr) return "no fixture";
    const std::string before = Render(self);

    // The member as the interface view of the type library describes it.
    Ptr<ITypeInfo> dispatch, slots;
    HREFTYPE ref = 0;
    FUNCDESC* desc = nullptr;
    if (FAILED(self->GetTypeInfo(0, 1033, dispatch.out())) || FAILED(dispatch->GetRefTypeOfImplType(-1, &ref)) ||
        FAILED(dispatch->GetRefTypeInfo(ref, slots.out())) || FAILED(slots->GetFuncDesc(static_cast<UINT>(slot - 1), &desc)))
        return "no type information";
    BSTR names[10] = {};
    UINT named = 0;
    slots->GetNames(desc->memid, names, 10, &named);
    const bool put = desc->invkind == INVOKE_PROPERTYPUT;
    std::vector<Param> params;
    for (SHORT p = 0; p < desc->cParams; ++p)
        params.push_back(Describe(desc->lprgelemdescParam[p], !put && p + 1u < named ? names[p + 1] : nullptr));
    const bool hasResult = !params.empty() && (params.back().flags & PARAMFLAG_FRETVAL);
    const size_t inputs = params.size() - (hasResult ? 1 : 0);
    std::vector<Slot> store(params.size());
    std::string out;

    if (args.size() != inputs) {
        out = "table row has " + std::to_string(args.size()) + " arguments";
    } else if (path == Path::kSlot) {
        std::vector<VARTYPE> types(params.size());
        std::vector<VARIANTARG*> pointers(params.size());
        for (size_t p = 0; p < params.size(); ++p) {
            const Param& param = params[p];
            const Arg& arg = p < inputs ? args[p] : kOutput;
            Slot& s = store[p];
            pointers[p] = &s.value;
            if (param.kind == Param::kScalar) {
                types[p] = param.vt;
                if (arg.kind == Arg::kText) {
                    V_VT(&s.value) = VT_BSTR;
                    V_BSTR(&s.value) = SysAllocString(arg.text);
                } else if (arg.kind == Arg::kOmit) {
                    VariantChangeType(&s.value, const_cast<VARIANT*>(param.byDefault), 0, param.vt);
                } else {
                    SetNumber(&s.value, arg.re, param.vt);
                }
                continue;
            }
            void* at = nullptr;
            switch (param.kind) {
                case Param::kRecord: s.cx = {arg.re, arg.im}; at = &s.cx; break;
                case Param::kObject: s.object = arg.kind == Arg::kObj ? object(arg.obj) : nullptr; at = &s.object; break;
                case Param::kVariant:
                    if (arg.kind == Arg::kIndex) {
                        V_VT(&s.holder) = VT_ARRAY | VT_I4;
                        V_ARRAY(&s.holder) = IndexArray(arg.index);
                    } else if (arg.kind == Arg::kNum) {
                        SetNumber(&s.holder, arg.re, VT_R8);
                    }
                    at = &s.holder;
                    break;
                case Param::kArray: s.array = arg.kind == Arg::kArray ? ElementArray(object(arg.obj)) : nullptr; at = &s.array; break;
                default: at = param.vt == VT_R8 ? static_cast<void*>(&s.d) : param.vt == VT_BOOL ? static_cast<void*>(&s.b)
                            : param.vt == VT_BSTR ? static_cast<void*>(&s.s) : static_cast<void*>(&s.l);
            }
            if (arg.kind == Arg::kOmit || arg.kind == Arg::kNothing) at = nullptr;
            types[p] = VT_BYREF | VT_UI1;
            V_VT(&s.value) = VT_BYREF | VT_UI1;
            V_BYREF(&s.value) = at;
        }
        auto outputs = [&] {
            std::string text;
            for (size_t p = 0; p < inputs; ++p) {
                const Slot& s = store[p];
                if (!IsOutput(params[p]) || args[p].kind == Arg::kOmit) continue;
                text += " " + params[p].name + "=" +
                        (params[p].kind == Param::kObject ? Render(s.object) : params[p].kind == Param::kArray ? RenderArray(s.array, VT_R8)
                         : params[p].kind == Param::kVariant ? RenderVariant(s.holder) : params[p].vt == VT_R8 ? Num(s.d) : std::to_string(s.l));
            }
            return text;
        };
        const std::string earlier = outputs();
        Slot none, &r = hasResult ? store.back() : none;  // the result, written only on success
        r.d = r.l = -99;
        r.b = 7;
        VARIANT returned;
        VariantInit(&returned);
        HRESULT hr = DispCallFunc(self, static_cast<ULONG_PTR>((6 + slot) * sizeof(void*)), CC_STDCALL, VT_I4,
                                  static_cast<UINT>(params.size()), types.data(), pointers.data(), &returned);
        if (SUCCEEDED(hr)) hr = V_I4(&returned);
        if (FAILED(hr)) {
            out = Hex(hr);
            if (hasResult && (r.d != -99 || r.l != -99 || r.b != 7 || r.s || r.object || r.array)) out += "(result written)";
        } else if (hasResult) {
            Slot& s = store.back();
            VARIANT result;
            VariantInit(&result);
            switch (params.back().kind) {
                case Param::kRecord: out = "(" + Cx(s.cx.Real, s.cx.Imag) + ")"; break;
                case Param::kObject: V_VT(&result) = VT_DISPATCH; V_DISPATCH(&result) = s.object; break;
                case Param::kArray: V_VT(&result) = VT_ARRAY | VT_R8; V_ARRAY(&result) = s.array; break;
                default:
                    V_VT(&result) = params.back().vt;
                    if (params.back().vt == VT_R8) V_R8(&result) = s.d;
                    if (params.back().vt == VT_I4) V_I4(&result) = s.l;
                    if (params.back().vt == VT_BOOL) V_BOOL(&result) = s.b;
                    if (params.back().vt == VT_BSTR) V_BSTR(&result) = s.s;
            }
            if (params.back().kind != Param::kRecord) out = RenderVariant(result);
            VariantClear(&result);
            s.array = nullptr;
        }
        Written(out, hr, earlier, outputs());
        for (Slot& s : store) {
            if (V_VT(&s.value) == VT_BSTR) VariantClear(&s.value);
            VariantClear(&s.holder);
            if (s.array != nullptr) SafeArrayDestroy(s.array);
        }
    } else {
        // Late-bound: the forms a host gives its arguments in.
        LPOLESTR name = const_cast<LPOLESTR>(member);
        std::vector<LPOLESTR> lookup{name};
        for (size_t p = 0; p < inputs; ++p) lookup.push_back(names[p + 1]);
        std::vector<DISPID> ids(lookup.size(), DISPID_UNKNOWN);
        const bool byName = path == Path::kNamed && !put;
        EXPECT_EQ(S_OK, self->GetIDsOfNames(IID_NULL, lookup.data(), byName ? static_cast<UINT>(lookup.size()) : 1, 1033, ids.data()));
        const DISPID id = ids[0];
        std::vector<VARIANT> given;   // in parameter order
        std::vector<DISPID> given_ids;
        size_t last = inputs;         // trailing omitted arguments are left out, but for VBScript
        while (path != Path::kVariantRef && last > 0 && args[last - 1].kind == Arg::kOmit) --last;
        for (size_t p = 0; p < last; ++p) {
            const Arg& arg = args[p];
            const Param& param = params[p];
            Slot& s = store[p];
            VARIANT v;
            VariantInit(&v);
            if (arg.kind == Arg::kOmit) {
                if (byName) continue;
                V_VT(&v) = VT_ERROR;
                V_ERROR(&v) = DISP_E_PARAMNOTFOUND;
                given.push_back(v);
                given_ids.push_back(ids[p + 1]);
                continue;
            }
            // The value itself, in the holder.
            VARIANT& h = s.holder;
            switch (arg.kind) {
                case Arg::kNum:
                    SetNumber(&h, arg.re, path == Path::kTypedRef && param.kind == Param::kScalar ? param.vt : arg.re != std::floor(arg.re) ? VT_R8
                                                                 : path == Path::kValue || std::fabs(arg.re) > 32767 ? VT_I4 : VT_I2);
                    break;
                case Arg::kText: V_VT(&h) = VT_BSTR; V_BSTR(&h) = SysAllocString(arg.text); break;
                case Arg::kObj: case Arg::kNothing:
                    s.object = arg.kind == Arg::kObj ? object(arg.obj) : nullptr;
                    V_VT(&h) = VT_DISPATCH;
                    V_DISPATCH(&h) = s.object;
                    break;
                case Arg::kCx:
                    s.cx = {arg.re, arg.im};
                    V_VT(&h) = VT_RECORD;
                    V_RECORDINFO(&h) = ComplexInfo();
                    V_RECORD(&h) = &s.cx;
                    break;
                case Arg::kIndex: V_VT(&h) = VT_ARRAY | VT_I4; V_ARRAY(&h) = IndexArray(arg.index); break;
                case Arg::kArray: V_VT(&h) = VT_ARRAY | VT_R8; V_ARRAY(&h) = s.array = ElementArray(object(arg.obj)); break;
                default: break;  // an output: empty
            }
            const bool output = arg.kind == Arg::kOut;
            if (path == Path::kValue && !output) {
                v = h;
            } else if (path == Path::kTypedRef && V_VT(&h) != VT_EMPTY && param.kind != Param::kVariant) {
                switch (V_VT(&h)) {  // a reference to a typed variable
                    case VT_I4: s.l = V_I4(&h); V_I4REF(&v) = &s.l; break;
                    case VT_I2: s.i2 = V_I2(&h); V_I2REF(&v) = &s.i2; break;
                    case VT_R8: s.d = V_R8(&h); V_R8REF(&v) = &s.d; break;
                    case VT_BSTR: V_BSTRREF(&v) = &V_BSTR(&h); break;
                    case VT_DISPATCH: V_DISPATCHREF(&v) = &s.object; break;
                    case VT_RECORD: v = h; break;
                    default: V_ARRAYREF(&v) = &V_ARRAY(&h);
                }
                V_VT(&v) = static_cast<VARTYPE>(VT_BYREF | V_VT(&h));
            } else if (path == Path::kTypedRef && output && param.kind == Param::kOutScalar) {
                V_VT(&v) = VT_BYREF | param.vt;
                V_BYREF(&v) = param.vt == VT_R8 ? static_cast<void*>(&s.d) : &s.l;
            } else {
                V_VT(&v) = VT_BYREF | VT_VARIANT;
                V_VARIANTREF(&v) = &h;
            }
            given.push_back(v);
            given_ids.push_back(ids[p + 1]);
        }
        // Positional arguments go last first; a put's value is named.
        std::vector<VARIANT> rgvarg(given.rbegin(), given.rend());
        std::vector<DISPID> namedIds;
        if (byName) {
            rgvarg = given;  // named, in parameter order
            namedIds = given_ids;
        } else if (put) {
            namedIds = {DISPID_PROPERTYPUT};
        }
        DISPPARAMS dp{rgvarg.data(), namedIds.data(), static_cast<UINT>(rgvarg.size()), static_cast<UINT>(namedIds.size())};
        auto outputs = [&] {
            std::string text;
            for (size_t p = 0; p < last; ++p) {
                const Slot& s = store[p];
                if (!IsOutput(params[p]) || args[p].kind == Arg::kOmit) continue;
                VARIANT shown = s.holder;
                if (params[p].kind == Param::kObject) V_DISPATCH(&shown) = path == Path::kTypedRef ? s.object : V_DISPATCH(&s.holder);
                if (path == Path::kTypedRef && params[p].kind == Param::kOutScalar) {
                    V_VT(&shown) = params[p].vt;
                    if (params[p].vt == VT_R8) V_R8(&shown) = s.d; else V_I4(&shown) = s.l;
                }
                if (params[p].kind == Param::kObject && V_DISPATCH(&shown) != (args[p].kind == Arg::kObj ? object(args[p].obj) : nullptr))
                    text += "(object replaced)";
                text += " " + params[p].name + "=" + (params[p].kind == Param::kObject ? Render(V_DISPATCH(&shown)) : RenderVariant(shown));
            }
            return text;
        };
        const std::string earlier = outputs();
        VARIANT result;
        VariantInit(&result);
        EXCEPINFO error{};
        UINT argError = 0;
        const HRESULT hr = self->Invoke(id, IID_NULL, 1033, put ? DISPATCH_PROPERTYPUT : DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                        &dp, &result, &error, &argError);
        if (hr == DISP_E_EXCEPTION) {
            out = Hex(error.scode);
            SysFreeString(error.bstrDescription);
            SysFreeString(error.bstrSource);
            SysFreeString(error.bstrHelpFile);
        } else if (FAILED(hr)) {
            out = Hex(hr);
        } else if (hasResult) {
            out = RenderVariant(result);
        }
        VariantClear(&result);
        Written(out, hr, earlier, outputs());
        for (Slot& s : store)
            if (V_VT(&s.holder) != VT_DISPATCH && V_VT(&s.holder) != VT_RECORD) VariantClear(&s.holder);
    }
    for (UINT k = 0; k < named; ++k) SysFreeString(names[k]);
    slots->ReleaseFuncDesc(desc);

    const std::string after = Render(self);
    if (after != before) out += (out.empty() ? "t=" : " t=") + after;
    for (auto& [letter, o] : objects) {
        const ULONG refs = o->AddRef() - 1;
        o->Release();
        if (refs != 1) out += " (" + std::string(1, letter) + " holds " + std::to_string(refs) + " refs)";
        o->Release();
    }
    return out;
}

}  // namespace corvane::server::test

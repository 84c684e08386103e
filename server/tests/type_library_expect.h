// Shapes of the expected type-library rows.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <initializer_list>
#include <vector>

namespace corvane::server::test {

// A parameter default: none, a double, an integer, the empty string, or a
// null object.
struct Default {
    enum Kind { kNoDefault, kDouble, kInteger, kString, kObject } kind;
    double value;
};
inline constexpr Default kNone{Default::kNoDefault, 0};
constexpr Default R8(double v) { return {Default::kDouble, v}; }
constexpr Default Int(int v) { return {Default::kInteger, static_cast<double>(v)}; }
constexpr Default Str() { return {Default::kString, 0}; }
constexpr Default Obj() { return {Default::kObject, 0}; }

struct Param {
    const wchar_t* name;
    USHORT flags;
    Default value;
};

struct Member {
    const wchar_t* name;
    INVOKEKIND kind;
    DISPID id;
    DWORD helpContext;
    const wchar_t* helpString;
    std::vector<Param> params;
};

}  // namespace corvane::server::test

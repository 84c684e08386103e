// One member call made through each path a host uses: the interface slot, or
// IDispatch::Invoke with the arguments as JScript (by value), VBScript
// (variants by reference, omitted ones as explicit markers), VBA (typed
// references) or a caller naming them pass them. The call is seen as one line
// of text: the result (or "!" and the failure code), the outputs given, and
// "t=" with the target when the call changed it.
#pragma once

#include <string>
#include <vector>

#include "client_support.h"

namespace corvane::server::test {

struct Arg {
    enum Kind { kOmit, kNum, kText, kObj, kNothing, kCx, kIndex, kArray, kOut } kind;
    double re = 0, im = 0;
    const wchar_t* text = nullptr;
    char obj = 0;  // a fixture's letter
    std::vector<LONG> index = {};
};
inline Arg N(double v) { return {Arg::kNum, v}; }
inline Arg X(double re, double im) { return {Arg::kCx, re, im}; }
inline Arg T(const wchar_t* s) { return {Arg::kText, 0, 0, s}; }
inline Arg O(char c) { return {Arg::kObj, 0, 0, nullptr, c}; }  // '*' is the target itself
inline Arg Values(char c) { return {Arg::kArray, 0, 0, nullptr, c}; }  // a fixture's elements as an array
inline Arg P(std::vector<LONG> v) { return {Arg::kIndex, 0, 0, nullptr, 0, std::move(v)}; }
inline const Arg kOmitted{Arg::kOmit}, kNothing{Arg::kNothing}, kOutput{Arg::kOut};

enum class Path { kSlot, kValue, kVariantRef, kTypedRef, kNamed };
inline const char* const kPathNames[] = {"slot", "by value", "variant refs", "typed refs", "named"};

// Calls slot `slot` (1-based, after IDispatch's seven) named `member` on the
// target fixture with args, through path.
std::string Call(Path path, char target, int slot, const wchar_t* member, const std::vector<Arg>& args);

// A matrix object as text: [4 1;2 3], c[2 1i;-1i 2], [] when unsized.
std::string Render(IUnknown* object);

}  // namespace corvane::server::test

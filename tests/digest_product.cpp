// Products that reach every edge of the packed product's blocks: tiles cut
// short in rows and columns, one row, one column, depth one, several depth,
// row and column blocks, and NaN, infinite, signed-zero and subnormal
// entries. The options of result_digest choose the instruction set, so the
// test script can require every path to print these same bits.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "core/arithmetic.h"
#include "core/instruction_set.h"
#include "core/parallel.h"
#include "digest.h"

namespace corvane {
namespace digest {

// --instruction-set NAME: run with at most that set. --instruction-sets:
// print the sets this processor supports and stop. False on anything else.
bool ApplyOptions(int argc, char** argv, bool* stop) {
    *stop = false;
    for (int i = 1; i < argc; ++i) {
        InstructionSet set;
        if (std::strcmp(argv[i], "--instruction-sets") == 0) {
            for (int s = 0; s <= static_cast<int>(DetectedInstructionSet()); ++s)
                std::printf("%s\n", InstructionSetName(static_cast<InstructionSet>(s)));
            *stop = true;
        } else if (std::strcmp(argv[i], "--instruction-set") == 0 && i + 1 < argc && ParseInstructionSet(argv[i + 1], &set)) {
            if (ForceInstructionSet(set) != set) return false;  // not on this processor
            ++i;
        } else if (std::strcmp(argv[i], "--split-work") == 0 && i + 1 < argc) {
            SetSplitWork(std::atoll(argv[++i]));  // products split from this many multiply-adds per part
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace digest

namespace {

void Product(digest::Out& out, const char* name, const Matrix& a, const Matrix& b) {
    Matrix r;
    char label[48];
    std::snprintf(label, sizeof label, "%s_status", name);
    out.Status(label, Times(a, &b, &r));
    out.Matrix(name, r);
}

}  // namespace

CORVANE_DIGEST_CASE(times_shapes) {
    // m × p times p × q.
    const struct {
        const char* name;
        std::int32_t m, p, q;
    } shapes[] = {
        {"row", 1, 300, 500}, {"column", 500, 300, 1},   {"depth_one", 300, 1, 200}, {"odd", 37, 29, 41},
        {"tile", 8, 256, 24}, {"tile_plus", 9, 257, 25}, {"blocks", 195, 520, 2900},
    };
    for (const auto& s : shapes) Product(out, s.name, digest::Random<double>(s.m, s.p), digest::Random<double>(s.p, s.q, 1e3));
}

CORVANE_DIGEST_CASE(times_special_values) {
    // One NaN bit pattern throughout (the one the processor makes from
    // inf·0), so that whichever NaN operand an operation passes on, the bits
    // are the same.
    double nan;
    const std::uint64_t nanBits = 0xfff8000000000000u;
    std::memcpy(&nan, &nanBits, sizeof nan);
    const double inf = std::numeric_limits<double>::infinity();
    const double specials[] = {nan, inf, -inf, -0.0, 0.0, std::numeric_limits<double>::denorm_min(), 1e300, -1e-300};
    Matrix a = digest::Random<double>(45, 70), b = digest::Random<double>(70, 530);
    for (int k = 0; k < 24; ++k) {
        const double v = specials[k % 8];
        const auto i = static_cast<std::int32_t>((digest::Next() + 1.0) * 22.5);
        const auto j = static_cast<std::int32_t>((digest::Next() + 1.0) * 35.0);
        if (k % 2 == 0) a.at(i, j) = v;
        else b.at(j, static_cast<std::int32_t>((digest::Next() + 1.0) * 265.0)) = v;
    }
    Product(out, "scattered", a, b);
    // A row of zeros whose every product is −0: each sum stays +0 only by
    // starting from +0.
    Matrix negative = digest::Random<double>(40, 40);
    for (std::int32_t j = 0; j < 40; ++j) negative.at(3, j) = -0.0;
    Product(out, "negative_zero", negative, digest::Random<double>(40, 40, 1.0));
}

}  // namespace corvane

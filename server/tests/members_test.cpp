// Every member of IMatrix, ICMatrix and IGlobal: one table of calls and their
// results, each call made through the interface slot and through every
// late-bound form of its arguments (call_paths.h). Numbers are checked natively
// and by the result digest; here a call must reach the right operation with
// the right arguments and bring its results and outputs back.
#include <set>

#include "call_paths.h"

namespace corvane::server::test {
namespace {

// Targets and object arguments are fixtures (call_paths.cpp): A = [4 1;2 3],
// S = [4 2;2 3], B = [1;2], Z = [1 2;0 0], C = [2 1i;-1i 2], D = [1;1i], E = [4 2i;2i 3], G the
// Global object; U, W, X, Y unsized real, V, Q unsized complex.
struct Row {
    char target;
    int slot;
    const wchar_t* member;
    std::vector<Arg> args;
    const char* expect;
};
const Arg& _ = kOmitted;
const Arg& out = kOutput;

const Row kRows[] = {
    // IMatrix
    {'A', 1, L"Item", {N(1), N(0)}, "2"},
    {'U', 1, L"item", {N(0), N(0)}, "!80040529"},
    {'A', 2, L"Item", {N(1), N(0), N(7.5)}, "t=[4 1;7.5 3]"},
    {'A', 2, L"Item", {N(0), N(2), N(1)}, "!80040528"},
    {'A', 3, L"Rows", {}, "2"},
    {'A', 4, L"Rows", {N(3)}, "t=[4 1;2 3;0 0]"},
    {'A', 4, L"Rows", {N(0)}, "!80040515"},
    {'B', 5, L"Cols", {}, "1"},
    {'A', 6, L"Cols", {N(1)}, "t=[4;2]"},
    {'A', 7, L"Size", {N(3), N(1)}, "t=[4;2;0]"},
    {'A', 7, L"Size", {N(1), N(2147483647)}, "!8007000E"},
    {'A', 8, L"MaxSize", {}, "2147483647"},
    {'A', 9, L"Clone", {}, "[4 1;2 3]"},
    {'A', 10, L"IsSquare", {}, "T"},
    {'B', 10, L"IsSquare", {}, "F"},
    {'A', 11, L"Determinant", {}, "10"},
    {'A', 12, L"SwapRows", {N(0), N(1)}, "t=[2 3;4 1]"},
    {'A', 13, L"SwapCols", {N(0), N(1)}, "t=[1 4;3 2]"},
    {'A', 14, L"AsArray", {}, "{4 1;2 3}"},
    {'U', 15, L"AsArray", {Values('A')}, "value={4 1;2 3} t=[4 1;2 3]"},
    {'A', 16, L"Clear", {}, "t=[0 0;0 0]"},
    {'A', 17, L"ColVector", {N(1)}, "[1;3]"},
    {'A', 18, L"RowVector", {N(1)}, "[2 3]"},
    {'A', 18, L"RowVector", {N(2)}, "!80040527"},
    {'A', 19, L"FillRandom", {N(7.25), N(7.25), N(1)}, "t=[7.3 7.3;7.3 7.3]"},
    {'A', 19, L"FillRandom", {N(7.25), N(7.25), _}, "t=[7 7;7 7]"},
    {'A', 19, L"FillRandom", {N(10), _, _}, "t=[10 10;10 10]"},
    {'A', 19, L"FillRandom", {_, N(0), N(2)}, "t=[0 0;0 0]"},
    {'B', 20, L"GetString", {_, _}, R"("| 1.000 |\r\n| 2.000 |\r\n")"},
    {'A', 20, L"GetString", {N(1), T(L";")}, R"("| 4.0 1.0 |;| 2.0 3.0 |;")"},
    {'A', 21, L"Inverse", {}, "[0.3 -0.1;-0.2 0.4]"},
    {'Z', 21, L"Inverse", {}, "!8004051A"},
    {'A', 22, L"IsEqualTo", {O('*'), _}, "T"},
    {'A', 22, L"IsEqualTo", {O('S'), _}, "F"},
    {'A', 22, L"IsEqualTo", {O('S'), N(1)}, "T"},
    {'S', 23, L"IsSymmetric", {_}, "T"},
    {'A', 23, L"IsSymmetric", {_}, "F"},
    {'A', 23, L"IsSymmetric", {N(1)}, "T"},
    {'A', 24, L"LU", {O('U'), O('W'), out, out}, "L=[1 0;0.5 1] U=[4 1;0 2.5] PermIndex=p{0 1} PermSign=1"},
    {'A', 24, L"LU", {_, _, out, out}, "PermIndex=p{0 1} PermSign=1"},
    {'A', 24, L"LU", {_, O('W'), _, _}, "U=[4 1;0 2.5]"},
    {'Z', 24, L"LU", {O('U'), O('W'), out, out}, "!80040521"},
    {'A', 25, L"Times", {O('B')}, "[6;8]"},
    {'B', 25, L"Times", {O('*')}, "!8004051B"},
    {'A', 26, L"Minus", {O('S')}, "[0 -1;0 0]"},
    {'A', 27, L"MinusEquals", {O('*')}, "t=[0 0;0 0]"},
    {'A', 28, L"Plus", {O('S')}, "[8 3;4 6]"},
    {'A', 28, L"Plus", {O('B')}, "!80040520"},
    {'A', 29, L"PlusEquals", {O('S')}, "t=[8 3;4 6]"},
    {'A', 29, L"PlusEquals", {kNothing}, "!80004003"},
    {'A', 30, L"Normalize", {out}, "[1 0.25;0.5 0.75] NormValue=4"},
    {'A', 31, L"NormalizeMe", {out}, "NormValue=4 t=[1 0.25;0.5 0.75]"},
    {'A', 31, L"NormalizeMe", {_}, "t=[1 0.25;0.5 0.75]"},
    {'A', 32, L"Transpose", {}, "[4 2;1 3]"},
    {'A', 33, L"Solve", {O('B')}, "[0.1;0.6]"},
    {'A', 34, L"SolveGauss", {O('B')}, "[0.1;0.6]"},
    {'A', 35, L"QR", {O('U'), O('W')}, "Q=[-0.894427 0.447214;-0.447214 -0.894427] R=[-4.47214 -2.23607;0 -2.23607]"},
    {'S', 36, L"Cholesky", {O('U')}, "L=[2 0;1 1.41421]"},
    {'A', 36, L"Cholesky", {O('U')}, "!80040522"},
    {'A', 37, L"ReorderRows", {P({1, 0})}, "t=[2 3;4 1]"},
    {'A', 37, L"ReorderRows", {P({0})}, "!80040518"},
    {'A', 37, L"ReorderRows", {N(5)}, "!80040517"},
    {'A', 38, L"ReorderCols", {P({1, 0})}, "t=[1 4;3 2]"},
    {'A', 39, L"SortRows", {N(0), N(0), out}, "PermIndex=p{1 0} t=[2 3;4 1]"},
    {'A', 39, L"SortRows", {_, N(1), out}, "PermIndex=p{1 0}"},
    {'A', 39, L"SortRows", {_, _, _}, "t=[2 3;4 1]"},
    {'A', 40, L"SortCols", {N(0), N(0), out}, "PermIndex=p{1 0} t=[1 4;3 2]"},
    {'A', 40, L"SortCols", {N(2), _, out}, "!80040527"},
    {'A', 41, L"SVD", {O('U'), O('W'), O('X')}, "U=[-0.767752 0.640747;-0.640747 -0.767752] S=[5.11667 0;0 1.9544] V=[-0.850651 0.525731;-0.525731 -0.850651]"},
    {'A', 42, L"TimesScalar", {N(-2)}, "[-8 -2;-4 -6]"},
    {'A', 43, L"Eigen", {O('U'), O('W'), O('X'), O('Y')}, "RealValues=[5;2] ImagValues=[0;0] RealVectors=[1 -0.5;1 1] ImagVectors=[0 0;0 0]"},
    {'A', 44, L"EigenC", {O('V'), O('Q')}, "Eigenvalues=c[5;2] Eigenvectors=c[1 -0.5;1 1]"},
    {'A', 45, L"ToCMatrix", {}, "c[4 1;2 3]"},
    {'A', 46, L"Version", {}, R"("3.0.000")"},
    // ICMatrix
    {'C', 1, L"Item", {N(1), N(0)}, "(-1i)"},
    {'C', 2, L"Item", {N(0), N(0), X(1, -2)}, "t=c[1-2i 1i;-1i 2]"},
    {'C', 2, L"Item", {N(2), N(0), X(1, -2)}, "!80040527"},
    {'C', 3, L"Rows", {}, "2"},
    {'C', 4, L"Rows", {N(1)}, "t=c[2 1i]"},
    {'D', 5, L"Cols", {}, "1"},
    {'C', 6, L"Cols", {N(0)}, "!80040516"},
    {'V', 7, L"Size", {N(1), N(2)}, "t=c[0 0]"},
    {'C', 8, L"MaxSize", {}, "2147483647"},
    {'C', 9, L"Clone", {}, "c[2 1i;-1i 2]"},
    {'V', 10, L"IsSquare", {}, "!80040529"},
    {'C', 11, L"Determinant", {}, "(3)"},
    {'C', 12, L"SwapRows", {N(0), N(1)}, "t=c[-1i 2;2 1i]"},
    {'C', 13, L"SwapCols", {N(1), N(0)}, "t=c[1i 2;2 -1i]"},
    {'C', 14, L"AsArrayR", {}, "{2 0;0 2}"},
    {'C', 15, L"AsArrayR", {Values('A')}, "t=c[4 1+1i;2-1i 3]"},
    {'C', 16, L"AsArrayI", {}, "{0 1;-1 0}"},
    {'C', 17, L"AsArrayI", {Values('B')}, "value={1;2} t=c[2+1i;2i]"},
    {'C', 18, L"Clear", {}, "t=c[0 0;0 0]"},
    {'C', 19, L"ColVector", {N(1)}, "c[1i;2]"},
    {'C', 20, L"RowVector", {N(1)}, "c[-1i 2]"},
    {'C', 21, L"FillRandom", {N(3), N(3), _}, "t=c[3+3i 3+3i;3+3i 3+3i]"},
    {'D', 22, L"GetString", {N(1), T(L"/")}, R"("| (1.0,0.0i) |/| (0.0,1.0i) |/")"},
    {'C', 23, L"Inverse", {}, "c[0.666667 -0.333333i;0.333333i 0.666667]"},
    {'C', 24, L"IsEqualTo", {O('*'), N(0)}, "T"},
    {'C', 25, L"IsSymmetric", {_}, "F"},
    {'C', 26, L"LU", {O('V'), O('Q'), out, out}, "L=c[1 0;-0.5i 1] U=c[2 1i;0 1.5] PermIndex=p{0 1} PermSign=1"},
    {'C', 27, L"Times", {O('D')}, "c[1;1i]"},
    {'C', 28, L"Minus", {O('*')}, "c[0 0;0 0]"},
    {'C', 29, L"MinusEquals", {O('D')}, "!80040520"},
    {'C', 30, L"Plus", {O('*')}, "c[4 2i;-2i 4]"},
    {'C', 31, L"PlusEquals", {O('*')}, "t=c[4 2i;-2i 4]"},
    {'C', 32, L"Normalize", {out}, "c[1 0.5i;-0.5i 1] NormValue=2"},
    {'C', 33, L"NormalizeMe", {out}, "NormValue=2 t=c[1 0.5i;-0.5i 1]"},
    {'C', 34, L"Transpose", {}, "c[2 -1i;1i 2]"},
    {'C', 35, L"Solve", {O('D')}, "c[1;1i]"},
    {'C', 36, L"SolveGauss", {O('D')}, "c[1;1i]"},
    {'C', 37, L"QR", {O('V'), O('Q')}, "Q=c[-1.1547 -0.57735i;0.57735i -1.1547] R=c[-1.73205 0;0 -1.73205]"},
    {'C', 38, L"Cholesky", {O('V')}, "!80040522"},
    {'E', 38, L"Cholesky", {O('V')}, "L=c[2 0;1i 2]"},
    {'C', 39, L"ReorderRows", {P({1, 0})}, "t=c[-1i 2;2 1i]"},
    {'C', 40, L"ReorderCols", {P({1, 0})}, "t=c[1i 2;2 -1i]"},
    {'C', 41, L"SortRows", {N(1), N(1), out}, "PermIndex=p{0 1} t=c[-1i 2;2 1i]"},
    {'C', 42, L"SortCols", {N(0), _, out}, "PermIndex=p{1 0} t=c[1i 2;2 -1i]"},
    {'C', 43, L"TimesScalar", {X(0, 1)}, "c[2i -1;1 2i]"},
    {'C', 44, L"EigenC", {O('V'), O('Q')}, "Eigenvalues=c[3;1] Eigenvectors=c[1 1;-1i 1i]"},
    {'C', 45, L"Version", {}, R"("3.0.000")"},
    // IGlobal
    {'G', 1, L"CAdd", {X(3, 4), X(1, -2)}, "(4+2i)"},
    {'G', 2, L"CSub", {X(3, 4), X(1, -2)}, "(2+6i)"},
    {'G', 3, L"CMul", {X(3, 4), X(1, -2)}, "(11-2i)"},
    {'G', 4, L"CDiv", {X(3, 4), X(1, -2)}, "(-1+2i)"},
    {'G', 5, L"CAbs", {X(3, 4)}, "5"},
    {'G', 6, L"CSqr", {X(-4, 0)}, "(2i)"},
    {'G', 7, L"CreateMatrix", {N(2), N(3)}, "[0 0 0;0 0 0]"},
    {'G', 7, L"CreateMatrix", {N(0), N(3)}, "[]"},
    {'G', 8, L"CreateCMatrix", {N(1), N(2)}, "c[0 0]"},
};

// The interface a target's members belong to, and its slot count.
int InterfaceOf(char target) { return target == 'G' ? 2 : std::string("CDEVQ").find(target) != std::string::npos ? 1 : 0; }
constexpr int kSlots[] = {46, 45, 8};

// Known faults, left out of the named path until fixed (see below): members
// with a Complex parameter take named arguments in positional order, and a
// named LU call leaving out PermSign passes its default as the pointer.
bool KnownNamedFault(const Row& row) {
    const int i = InterfaceOf(row.target);
    return i == 2 || (i == 1 && (row.slot <= 2 || row.slot == 11 || row.slot == 43)) ||
           (i == 0 && row.slot == 24 && row.args[3].kind == Arg::kOmit);
}

TEST(Members, DISABLED_NamedCallsOfKnownFaults) {
    EXPECT_EQ("(-1i)", Call(Path::kNamed, 'C', 1, L"Item", {N(1), N(0)}));
    EXPECT_EQ("(2+6i)", Call(Path::kNamed, 'G', 2, L"CSub", {X(3, 4), X(1, -2)}));
    EXPECT_EQ("U=[4 1;0 2.5]", Call(Path::kNamed, 'A', 24, L"LU", {_, O('W'), _, _}));  // crashes
}

TEST(Members, EveryPathGivesTheTableResult) {
    std::set<std::pair<int, int>> covered;
    for (const Row& row : kRows) {
        covered.insert({InterfaceOf(row.target), row.slot});
        for (Path path : {Path::kSlot, Path::kValue, Path::kVariantRef, Path::kTypedRef, Path::kNamed})
            if (path != Path::kNamed || !KnownNamedFault(row))
            EXPECT_EQ(row.expect, Call(path, row.target, row.slot, row.member, row.args))
                << row.target << "." << std::string(row.member, row.member + wcslen(row.member)) << " (slot " << row.slot
                << ") " << kPathNames[static_cast<int>(path)];
    }
    for (int i = 0; i < 3; ++i)
        for (int slot = 1; slot <= kSlots[i]; ++slot) EXPECT_EQ(1u, covered.count({i, slot})) << i << " slot " << slot;
}

}  // namespace
}  // namespace corvane::server::test

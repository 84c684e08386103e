// Coverage-guided fuzzing of the core: calls decoded from the input on small real and complex matrices of hostile
// values, at times with allocations failing. A failure must change nothing; a success must give the right shapes.
#include <bit>
#include <vector>

#include "core/arithmetic.h"
#include "core/array_conversion.h"
#include "core/random_fill.h"
#include "core/sorting.h"
#include "core/text_output.h"
#include "eigen/eigen.h"
#include "linalg/cholesky.h"
#include "linalg/inverse.h"
#include "linalg/lu.h"
#include "linalg/qr.h"
#include "linalg/solve.h"
#include "linalg/svd.h"

#define CHECK(c) ((c) ? (void)0 : __builtin_trap())  // the sanitizer's report names the line
#define EXPECT(c) CHECK(!s || failing || (c))        // after a success (an injected failure may leave outputs unsized)
#define SHAPE(m, rows, cols) EXPECT((m).sized() && (m).Rows() == (rows) && (m).Cols() == (cols))
using namespace corvane;
namespace {
// clang-format off
const double kValues[16] = {0.0, -0.0, 1.0, -1.0, 0.5, 3.0, __builtin_nan(""), __builtin_inf(), -__builtin_inf(),
                            1.7976931348623157e308, -1e300, 1e-300, 2.2250738585072014e-308, 4.9e-324, 1e154, -7.25};
// clang-format on
const std::int32_t kHostileCounts[6] = {0, -1, INT32_MIN, kMaxSize, 1 << 28, 1 << 24};  // no matrix accepts or can store these
[[maybe_unused]] const bool kBounded = (SetMemoryQuery([]() noexcept -> std::uint64_t { return 64 << 20; }), true);  // can get 64 MiB

// Reads the input front to back (0 past its end); also the host's array of an array put, read from the input too.
struct Input final : ArraySource {
    Input(const std::uint8_t* data, std::size_t size) : at(data), left(size) {}
    mutable const std::uint8_t* at;  // what is left of the input
    mutable std::size_t left;
    std::int32_t Byte() const { return left == 0 ? 0 : (--left, *at++); }
    std::int32_t Below(std::int32_t n) const { return Byte() % n; }
    std::int32_t Index() const { return Below(8) - 1; }                                            // -1 to 6
    std::int32_t Count() const { return Byte() < 240 ? 1 + Below(5) : kHostileCounts[Below(6)]; }  // at times hostile
    std::int16_t Places() { return static_cast<std::int16_t>(Byte() < 224 ? Below(24) - 6 : Byte() << 8 | Byte()); }
    double Value() const {  // a special value, a multiple of 1/4 or any bits
        const std::int32_t b = Byte();
        std::uint64_t bits = 0;
        for (int k = 0; b >= 224 && k < 8; ++k) bits = bits << 8 | static_cast<std::uint64_t>(Byte());
        return b < 128 ? kValues[b % 16] : b < 224 ? static_cast<std::int8_t>(Byte()) / 4.0 : std::bit_cast<double>(bits);
    }
    void Get(double* x) { *x = Value(); }
    void Get(Complex* x) { *x = Complex{Value(), Value()}; }
    std::int32_t Dimensions() const override { return Below(4); }
    Status Bounds(std::int32_t, std::int32_t* l, std::int32_t* u) const override {
        return *l = Index(), *u = static_cast<std::int32_t>(std::int64_t{*l} + Count() - 1), Status::Ok();
    }
    bool HoldsDoubles() const override { return Byte() != 1; }
    Status Read(std::int32_t, std::int32_t, double* v) const override { return Byte() == 1 ? kNotAnArray : (*v = Value(), Status::Ok()); }
};

template <class T> std::vector<std::int64_t> Snap(const BasicMatrix<T>& m) {  // counts and element bits: what a failure must not change
    std::vector<std::int64_t> s{m.Rows(), m.Cols(), m.sized()};
    for (std::int32_t i = 0; m.sized() && i < m.Rows(); ++i)
        for (std::size_t k = 0; k < m.RowBytes() / 8; ++k) s.push_back(std::bit_cast<std::int64_t>(reinterpret_cast<const double*>(&m.at(i, 0))[k]));
    return s;
}

template <class T> void Step(Input& in, BasicMatrix<T> (&m)[2]) {
    const bool failing = in.Byte() < 24, either = in.Byte() & 1;
    BasicMatrix<T>&a = m[in.Below(2)], &b = m[in.Below(2)], r, q;  // a and b may be the same matrix
    MatrixWriter<T>* out = in.Byte() & 1 ? &b : nullptr;
    const std::int32_t n = a.Rows(), c = a.Cols(), bc = b.Cols(), op = in.Below(21);
    const std::vector<std::int64_t> before[2] = {Snap(m[0]), Snap(m[1])};
    BasicMatrix<Complex> cr, cv;
    Buffer<std::int32_t> perm;
    Buffer<char> text;
    T x{};
    Status s;
    FailAllocationsAfter(failing ? in.Below(6) : -1);
    switch (op) {
        case 0: s = a.Size(in.Count(), in.Count()); break;
        case 1: s = either ? a.PutRows(in.Count()) : a.PutCols(in.Count()); break;
        case 2: in.Get(&x), s = a.PutItem(in.Index(), in.Index(), x); break;
        case 3: s = (either ? Plus<T> : Minus<T>)(a, &b, &r), SHAPE(r, n, c); break;
        case 4: s = (either ? PlusEquals<T> : MinusEquals<T>)(a, &b); break;
        case 5: s = Times(a, &b, &r), SHAPE(r, n, bc); break;
        case 6: in.Get(&x), s = either ? TimesScalar(a, x, &r) : Transpose(a, &r), SHAPE(r, either ? n : c, either ? c : n); break;
        case 7: s = (either ? SortRows<T> : SortCols<T>)(a, in.Index(), in.Index(), &perm), EXPECT(perm.size() == (either ? n : c)); break;
        case 8:  // entries from -1 to 6, at times one too many
            if (perm.Allocate(std::int64_t{either ? n : c} + in.Below(2)))
                for (std::int32_t& e : perm) e = in.Index();
            s = either ? ReorderRows(a, perm) : ReorderCols(a, perm);
            break;
        case 9: s = LU(a, out, &r, either ? &perm : nullptr, nullptr), SHAPE(r, n, n); break;
        case 10: s = either ? Inverse(a, &r) : Determinant(a, &x), EXPECT(!either || r.Rows() == n); break;
        case 11: s = either ? Solve(a, &b, &r) : SolveGauss(a, &b, &r), SHAPE(r, n, bc); break;
        case 12: s = QR(a, out, &r), SHAPE(r, c, c); break;
        case 13: s = Cholesky(a, out), EXPECT(!out || b.Rows() == n); break;
        case 14: s = EigenC(a, &cr, either ? &cv : nullptr), SHAPE(cr, n, 1); break;
        case 15: s = GetString(a, in.Places(), either ? "" : ";", &text), EXPECT(text.size() > 0); break;
        case 16: s = FillRandom(a, in.Value(), in.Value(), in.Places()); break;
        default:  // the operations of one element type
            if constexpr (requires { SVD(a, out, &r, &q); }) {
                if (op == 20) s = ToCMatrix(a, &cr), SHAPE(cr, n, c);
                else s = op == 17 ? SVD(a, out, &r, &q) : op == 18 ? Eigen(a, &q, &r, out, nullptr) : PutAsArray(a, &in);
                EXPECT(op >= 19 || q.Rows() == (op == 17 ? c : n));
            } else {
                s = either ? PutAsArrayR(a, &in) : PutAsArrayI(a, &in);
            }
    }
    FailAllocationsAfter(-1);
    if (!s) CHECK(Snap(m[0]) == before[0] && Snap(m[1]) == before[1]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    Matrix real[2];  // the state every call works on
    CMatrix complex[2];
    for (int k = 0; k < 48 && in.left > 0; ++k) in.Byte() & 1 ? Step(in, real) : Step(in, complex);
    return 0;
}

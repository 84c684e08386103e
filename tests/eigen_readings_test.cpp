// Which quotients of the real eigen kernels are multiplications by one
// reciprocal and which are true divisions. Each test works a small case by
// hand under the kernel's reading and under the other one, requires the
// kernel to match its reading on every input, and requires the other reading
// to differ on some input, so that a kernel built the other way would fail.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "complex/complex.h"
#include "eigen/general_kernels.h"
#include "core/numeric_helpers.h"
#include "eigen/symmetric_kernels.h"
#include "eigen_test_support.h"
#include "matrix_test_support.h"

namespace corvane {
namespace {

using test::Bits;
using test::Table;

// a / b, either as a true quotient or as a times the reciprocal of b.
double Quot(double a, double b, bool reciprocal) { return reciprocal ? a * (1.0 / b) : a / b; }

bool Same(double a, double b) { return Bits(a) == Bits(b); }

// ---- Householder tridiagonalisation, 3 × 3 ---------------------------------

struct TridiagReading {
    bool scaleByReciprocal = true;   // w[k] / scale
    bool hByReciprocal = true;       // e[j] / h
    bool hhByReciprocal = false;     // f / (h + h)
    bool accumByReciprocal = true;   // z[k][i] / h (vectors path)
};

// What both reductions give for a symmetric 3 × 3 (lower triangle read).
struct TridiagHand {
    double w[3], eVectors[3], eValues[3], e2Last, e2First, z[2][2];
};

TridiagHand ReduceByHand(const Table& a, const TridiagReading& rd) {
    TridiagHand out{};
    // The step for row 2 (l = 1), shared by both paths.
    const double scale = std::fabs(a(2, 0)) + std::fabs(a(2, 1));
    double u0 = Quot(a(2, 0), scale, rd.scaleByReciprocal);
    double u1 = Quot(a(2, 1), scale, rd.scaleByReciprocal);
    double h = 0.0;
    h = h + u0 * u0;
    h = h + u1 * u1;
    out.e2Last = scale * scale * h;
    double f = u1;
    double g = -TransferSign(std::sqrt(h), f);
    const double eLast = scale * g;
    h = h - f * g;
    u1 = f - g;
    double e0 = 0.0 + a(0, 0) * u0;  // A·u
    e0 = e0 + a(1, 0) * u1;
    double e1 = 0.0 + a(1, 0) * u0;
    e1 = e1 + a(1, 1) * u1;
    e0 = Quot(e0, h, rd.hByReciprocal);
    f = 0.0 + e0 * u0;
    e1 = Quot(e1, h, rd.hByReciprocal);
    f = f + e1 * u1;
    const double hh = Quot(f, h + h, rd.hhByReciprocal);
    e0 = e0 - hh * u0;
    e1 = e1 - hh * u1;
    const double r00 = a(0, 0) - (u0 * e0 + e0 * u0);
    const double r10 = a(1, 0) - (u0 * e1 + e0 * u1);
    const double r11 = a(1, 1) - (u1 * e1 + e1 * u1);
    out.w[0] = r00, out.w[1] = r11, out.w[2] = a(2, 2);
    // Vectors path: row 1 (l = 0) is already tridiagonal.
    out.eVectors[0] = 0.0, out.eVectors[1] = r10, out.eVectors[2] = eLast;
    const double w0 = Quot(u0, h, rd.accumByReciprocal), w1 = Quot(u1, h, rd.accumByReciprocal);
    out.z[0][0] = 1.0 - u0 * w0, out.z[1][0] = 0.0 - u0 * w1;
    out.z[0][1] = 0.0 - u1 * w0, out.z[1][1] = 1.0 - u1 * w1;
    // Values path: row 1 is reduced once more by a one-element reflector.
    const double s1 = std::fabs(r10);
    const double x = Quot(r10, s1, rd.scaleByReciprocal);
    const double h1 = 0.0 + x * x;
    out.e2First = s1 * s1 * h1;
    out.eValues[0] = 0.0, out.eValues[1] = s1 * -TransferSign(std::sqrt(h1), x), out.eValues[2] = eLast;
    return out;
}

TEST(EigenReadings, HouseholderScalingUsesReciprocalsExceptForTheHalvedCoefficient) {
    std::mt19937_64 rng(1);
    const TridiagReading chosen;
    TridiagReading flips[4];
    flips[0].scaleByReciprocal = false;
    flips[1].hByReciprocal = false;
    flips[2].hhByReciprocal = true;
    flips[3].accumByReciprocal = false;
    int differs[4] = {0, 0, 0, 0};
    for (int rep = 0; rep < 400; ++rep) {
        Table a = test::RandomSymmetric(3, rng);
        const TridiagHand hand = ReduceByHand(a, chosen);

        Table b = a, z(3);
        double w[3], e[3];
        TridiagonalizeVectors(2, 2, b.rows(), w, e, z.rows());
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(Same(w[i], hand.w[i])) << "w " << i;
            EXPECT_TRUE(Same(e[i], hand.eVectors[i])) << "e " << i;
        }
        for (int i = 0; i < 2; ++i)
            for (int j = 0; j < 2; ++j) EXPECT_TRUE(Same(z(i, j), hand.z[i][j])) << "z " << i << j;

        Table c = a;
        double wv[3], ev[3], e2[3];
        TridiagonalizeValues(2, 2, c.rows(), wv, ev, e2);
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(Same(wv[i], hand.w[i])) << "values w " << i;
            EXPECT_TRUE(Same(ev[i], hand.eValues[i])) << "values e " << i;
        }
        EXPECT_TRUE(Same(e2[2], hand.e2Last));
        EXPECT_TRUE(Same(e2[1], hand.e2First));

        for (int f = 0; f < 4; ++f) {
            const TridiagHand other = ReduceByHand(a, flips[f]);
            bool d = false;
            for (int i = 0; i < 3; ++i)
                d = d || !Same(other.w[i], hand.w[i]) || !Same(other.eVectors[i], hand.eVectors[i]) ||
                    !Same(other.eValues[i], hand.eValues[i]);
            for (int i = 0; i < 2; ++i)
                for (int j = 0; j < 2; ++j) d = d || !Same(other.z[i][j], hand.z[i][j]);
            differs[f] += d;
        }
    }
    for (int f = 0; f < 4; ++f) EXPECT_GT(differs[f], 0) << "reading " << f << " is not pinned";
}

// 49 · (1/49) is not 1: the one-element reflector of the values path sees it.
TEST(EigenReadings, ScaleReciprocalShowsInTheValuesPathOfATwoByTwo) {
    Table a(2);
    a(0, 0) = 1, a(1, 0) = a(0, 1) = 49, a(1, 1) = 2;
    double w[2], e[2], e2[2];
    TridiagonalizeValues(1, 1, a.rows(), w, e, e2);
    const double x = 49.0 * (1.0 / 49.0);
    ASSERT_NE(x, 1.0);
    EXPECT_TRUE(Same(e[1], 49.0 * -std::sqrt(x * x)));
    EXPECT_NE(e[1], -49.0) << "a true division gives exactly -49";
}

// ---- QL sweep on a 2 × 2 tridiagonal ---------------------------------------

// The two eigenvalues (ascending) after the single sweep a 2 × 2 needs.
void QLByHand(double a, double b, double c, bool rotationByReciprocal, double out[2]) {
    double p = (b - a) / (c + c);
    double r = ScaledHypot(p, 1.0);
    const double w0 = c / (p + TransferSign(r, p));
    double w1 = c * (p + TransferSign(r, p));
    const double f = 0.0 + (a - w0);
    p = w1;
    const double g = 1.0 * c, h = 1.0 * p;
    r = ScaledHypot(p, c);
    const double s = Quot(c, r, rotationByReciprocal);
    const double cs = Quot(p, r, rotationByReciprocal);
    w1 = h + s * (cs * g + s * w0);
    const double lo = f, hi = w1 + f;
    out[0] = hi < lo ? hi : lo;
    out[1] = hi < lo ? lo : hi;
}

TEST(EigenReadings, QLRotationIsTwoTrueDivisions) {
    std::mt19937_64 rng(2);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    int differs = 0;
    for (int rep = 0; rep < 400; ++rep) {
        const double a = u(rng), b = u(rng), c = 0.5 + 0.5 * std::fabs(u(rng));
        double hand[2], other[2];
        QLByHand(a, b, c, false, hand);
        QLByHand(a, b, c, true, other);
        differs += !Same(hand[0], other[0]) || !Same(hand[1], other[1]);
        for (bool vectors : {false, true}) {
            double w[2] = {a, b}, e[2] = {0.0, c};
            std::int32_t ierr = -1;
            Table z(2);
            z(0, 0) = z(1, 1) = 1.0;
            if (vectors)
                TridiagonalQLVectors(1, 1, w, e, z.rows(), &ierr);
            else
                TridiagonalQLValues(1, w, e, &ierr);
            ASSERT_EQ(ierr, 0);
            EXPECT_TRUE(Same(w[0], hand[0]) && Same(w[1], hand[1])) << rep << (vectors ? " vectors" : " values");
        }
    }
    EXPECT_GT(differs, 0);
}

// One sweep on a 3 × 3 tridiagonal, as the routines leave it when a limit of
// one iteration stops them: w and the renumbered e.
void QLSweepByHand(double w[3], double e[3], bool rotationByReciprocal, bool dl1ByReciprocal) {
    double E[3] = {e[1], e[2], 0.0};
    double g = w[0];
    double p = (w[1] - g) / (E[0] + E[0]);
    double r = ScaledHypot(p, 1.0);
    w[0] = E[0] / (p + TransferSign(r, p));
    w[1] = E[0] * (p + TransferSign(r, p));
    const double dl1 = w[1];
    double h = g - w[0];
    w[2] = w[2] - h;
    p = w[2];
    double c = 1.0, c2 = 1.0, c3 = 1.0, s = 0.0, s2 = 0.0;
    const double el1 = E[1];
    for (int i = 1; i >= 0; --i) {
        c3 = c2, c2 = c, s2 = s;
        g = c * E[i];
        h = c * p;
        r = ScaledHypot(p, E[i]);
        E[i + 1] = s * r;
        s = Quot(E[i], r, rotationByReciprocal);
        c = Quot(p, r, rotationByReciprocal);
        p = c * w[i] - s * g;
        w[i + 1] = h + s * (c * g + s * w[i]);
    }
    p = Quot(-s * s2 * c3 * el1 * E[0], dl1, dl1ByReciprocal);
    E[0] = s * p;
    w[0] = c * p;
    for (int i = 0; i < 3; ++i) e[i] = E[i];
}

TEST(EigenReadings, QLSweepEndsWithATrueDivisionByTheShiftedElement) {
    std::mt19937_64 rng(6);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    int differs[2] = {0, 0}, compared = 0;
    for (int rep = 0; rep < 400; ++rep) {
        const double w0[3] = {u(rng), u(rng), u(rng)}, e0[3] = {0.0, u(rng), u(rng)};
        double hw[3] = {w0[0], w0[1], w0[2]}, he[3] = {e0[0], e0[1], e0[2]};
        QLSweepByHand(hw, he, false, false);
        for (bool vectors : {false, true}) {
            double w[3] = {w0[0], w0[1], w0[2]}, e[3] = {e0[0], e0[1], e0[2]};
            std::int32_t ierr = -1;
            Table z(3);
            if (vectors)
                TridiagonalQLVectors(2, 2, w, e, z.rows(), &ierr, 1);
            else
                TridiagonalQLValues(2, w, e, &ierr, 1);
            if (ierr != 1) continue;  // converged in one sweep: w was changed further
            ++compared;
            for (int i = 0; i < 3; ++i) EXPECT_TRUE(Same(w[i], hw[i]) && Same(e[i], he[i])) << rep << " " << i;
        }
        for (int f = 0; f < 2; ++f) {
            double ow[3] = {w0[0], w0[1], w0[2]}, oe[3] = {e0[0], e0[1], e0[2]};
            QLSweepByHand(ow, oe, f == 0, f == 1);
            bool d = false;
            for (int i = 0; i < 3; ++i) d = d || !Same(ow[i], hw[i]) || !Same(oe[i], he[i]);
            differs[f] += d;
        }
    }
    EXPECT_GT(compared, 600);
    EXPECT_GT(differs[0], 0) << "s = e / r, c = p / r";
    EXPECT_GT(differs[1], 0) << "/ dl1";
}

// ---- Hessenberg reduction ---------------------------------------------------

TEST(EigenReadings, EliminationMultiplierIsATrueDivision) {
    std::mt19937_64 rng(3);
    int differs = 0;
    for (int rep = 0; rep < 200; ++rep) {
        Table a = test::RandomTable(3, rng);
        // Pivot of column 0 among rows 1 and 2; the other row's multiplier.
        const bool swap = std::fabs(a(2, 0)) > std::fabs(a(1, 0));
        const double x = swap ? a(2, 0) : a(1, 0), y = swap ? a(1, 0) : a(2, 0);
        Table b = a;
        std::int32_t iv[3] = {0, 0, 0};
        HessenbergReduce(2, 2, 0, 2, b.rows(), iv);
        EXPECT_EQ(iv[1], swap ? 2 : 1);
        EXPECT_TRUE(Same(b(2, 0), y / x));
        differs += !Same(y / x, y * (1.0 / x));
    }
    EXPECT_GT(differs, 0);
}

// ---- One double-shift QR step on a 3 × 3 Hessenberg matrix -----------------

struct QRReading {
    bool searchByReciprocal = true;  // p, q, r / s in the search
    bool stepByReciprocal = true;    // p, q, r / x in the step
    bool sByReciprocal = true;       // p, q, r / s for the reflector
    bool pByReciprocal = true;       // q, r / p
};

void QRStepByHand(Table& h, const QRReading& rd) {
    const double x0 = h(2, 2), y0 = h(1, 1), w0 = h(2, 1) * h(1, 2);
    const double zz0 = h(0, 0);
    double r = x0 - zz0, s = y0 - zz0;
    double p = (r * s - w0) / h(1, 0) + h(0, 1);
    double q = h(1, 1) - zz0 - r - s;
    r = h(2, 1);
    s = std::fabs(p) + std::fabs(q) + std::fabs(r);
    p = Quot(p, s, rd.searchByReciprocal), q = Quot(q, s, rd.searchByReciprocal), r = Quot(r, s, rd.searchByReciprocal);
    for (int k = 0; k <= 1; ++k) {
        double x = 0.0;
        if (k == 1) {
            p = h(1, 0), q = h(2, 0), r = 0.0;
            x = std::fabs(p) + std::fabs(q) + std::fabs(r);
            p = Quot(p, x, rd.stepByReciprocal), q = Quot(q, x, rd.stepByReciprocal), r = Quot(r, x, rd.stepByReciprocal);
        }
        s = TransferSign(std::sqrt(p * p + q * q + r * r), p);
        if (k == 1) h(1, 0) = -s * x;
        p = p + s;
        const double xs = Quot(p, s, rd.sByReciprocal), ys = Quot(q, s, rd.sByReciprocal),
                     zs = Quot(r, s, rd.sByReciprocal);
        q = Quot(q, p, rd.pByReciprocal), r = Quot(r, p, rd.pByReciprocal);
        if (k == 0) {
            for (int j = 0; j <= 2; ++j) {
                const double v = h(0, j) + q * h(1, j) + r * h(2, j);
                h(0, j) = h(0, j) - v * xs, h(1, j) = h(1, j) - v * ys, h(2, j) = h(2, j) - v * zs;
            }
            for (int i = 0; i <= 2; ++i) {
                const double v = xs * h(i, 0) + ys * h(i, 1) + zs * h(i, 2);
                h(i, 0) = h(i, 0) - v, h(i, 1) = h(i, 1) - v * q, h(i, 2) = h(i, 2) - v * r;
            }
        } else {
            for (int j = 1; j <= 2; ++j) {
                const double v = h(1, j) + q * h(2, j);
                h(1, j) = h(1, j) - v * xs, h(2, j) = h(2, j) - v * ys;
            }
            for (int i = 0; i <= 2; ++i) {
                const double v = xs * h(i, 1) + ys * h(i, 2);
                h(i, 1) = h(i, 1) - v, h(i, 2) = h(i, 2) - v * q;
            }
        }
    }
}

TEST(EigenReadings, DoubleShiftStepScalesByReciprocals) {
    std::mt19937_64 rng(4);
    QRReading flips[4];
    flips[0].searchByReciprocal = false;
    flips[1].stepByReciprocal = false;
    flips[2].sByReciprocal = false;
    flips[3].pByReciprocal = false;
    int differs[4] = {0, 0, 0, 0}, compared = 0;
    for (int rep = 0; rep < 400; ++rep) {
        Table a = test::RandomTable(3, rng);
        a(2, 0) = 0.0;  // already Hessenberg
        Table hand = a;
        QRStepByHand(hand, QRReading{});
        for (bool vectors : {false, true}) {
            // A budget of one step: the routine stops after it, leaving h.
            Table h = a, z(3);
            double wr[3] = {0, 0, 0}, wi[3] = {0, 0, 0};
            std::int32_t ierr = -1;
            if (vectors) {
                z(0, 0) = z(1, 1) = z(2, 2) = 1.0;
                HessenbergQRVectors(2, 2, 0, 2, h.rows(), wr, wi, z.rows(), &ierr, 1);
            } else {
                HessenbergQRValues(2, 2, 0, 2, h.rows(), wr, wi, &ierr, 1);
            }
            if (ierr != 2) continue;  // converged within the step: h was changed further
            ++compared;
            EXPECT_TRUE(h.SameBits(hand)) << rep << (vectors ? " vectors" : " values");
        }
        for (int f = 0; f < 4; ++f) {
            Table other = a;
            QRStepByHand(other, flips[f]);
            differs[f] += !other.SameBits(hand);
        }
    }
    EXPECT_GT(compared, 600);
    for (int f = 0; f < 4; ++f) EXPECT_GT(differs[f], 0) << "reading " << f << " is not pinned";
}

// ---- A real pair deflating in a 2 × 2 --------------------------------------

struct PairReading {
    bool wrByReciprocal = false;    // x − w / zz
    bool rot1ByReciprocal = true;   // x, zz / s
    bool rot2ByReciprocal = true;   // p, q / r
    bool backByReciprocal = false;  // −r / t
};

struct PairHand {
    double wr[2], z[2][2];
};

PairHand PairByHand(const Table& h, const PairReading& rd) {
    PairHand out{};
    const double x = h(1, 1), y = h(0, 0), w = h(1, 0) * h(0, 1);
    double p = (y - x) * 0.5;
    double q = p * p + w;
    double zz = std::sqrt(std::fabs(q));
    zz = p + TransferSign(zz, p);
    out.wr[0] = x + zz;
    out.wr[1] = zz != 0.0 ? x - Quot(w, zz, rd.wrByReciprocal) : out.wr[0];
    const double s = std::fabs(h(1, 0)) + std::fabs(zz);
    p = Quot(h(1, 0), s, rd.rot1ByReciprocal), q = Quot(zz, s, rd.rot1ByReciprocal);
    const double r = std::sqrt(p * p + q * q);
    p = Quot(p, r, rd.rot2ByReciprocal), q = Quot(q, r, rd.rot2ByReciprocal);
    // Rows, then columns of the 2 × 2.
    const double h00r = q * h(0, 0) + p * h(1, 0), h01r = q * h(0, 1) + p * h(1, 1);
    const double h11r = q * h(1, 1) - p * h(0, 1);
    const double h00 = q * h00r + p * h01r, h01 = q * h01r - p * h00r;
    (void)h11r;
    const double t = h00 - out.wr[1];
    const double b = -Quot(0.0 + h01 * 1.0, t, rd.backByReciprocal);
    out.z[0][0] = 0.0 + q * 1.0, out.z[1][0] = 0.0 + p * 1.0;
    out.z[0][1] = (0.0 + q * b) + (0.0 - p) * 1.0;
    out.z[1][1] = (0.0 + p * b) + q * 1.0;
    return out;
}

TEST(EigenReadings, RealPairRotationUsesReciprocalsAndItsQuotientsDoNot) {
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> u(0.1, 1.0);
    PairReading flips[4];
    flips[0].wrByReciprocal = true;
    flips[1].rot1ByReciprocal = false;
    flips[2].rot2ByReciprocal = false;
    flips[3].backByReciprocal = true;
    int differs[4] = {0, 0, 0, 0};
    for (int rep = 0; rep < 400; ++rep) {
        Table a(2);
        a(0, 0) = u(rng) - 0.5, a(0, 1) = u(rng), a(1, 0) = u(rng), a(1, 1) = u(rng) - 0.5;  // real pair
        const PairHand hand = PairByHand(a, PairReading{});
        Table h = a, z(2);
        z(0, 0) = z(1, 1) = 1.0;
        double wr[2] = {0, 0}, wi[2] = {0, 0};
        std::int32_t ierr = -1;
        HessenbergQRVectors(1, 1, 0, 1, h.rows(), wr, wi, z.rows(), &ierr);
        ASSERT_EQ(ierr, 0);
        EXPECT_TRUE(Same(wr[0], hand.wr[0]) && Same(wr[1], hand.wr[1])) << rep;
        for (int i = 0; i < 2; ++i)
            for (int j = 0; j < 2; ++j) EXPECT_TRUE(Same(z(i, j), hand.z[i][j])) << rep << " z " << i << j;
        for (int f = 0; f < 4; ++f) {
            const PairHand other = PairByHand(a, flips[f]);
            bool d = !Same(other.wr[0], hand.wr[0]) || !Same(other.wr[1], hand.wr[1]);
            for (int i = 0; i < 2; ++i)
                for (int j = 0; j < 2; ++j) d = d || !Same(other.z[i][j], hand.z[i][j]);
            differs[f] += d;
        }
    }
    for (int f = 0; f < 4; ++f) EXPECT_GT(differs[f], 0) << "reading " << f << " is not pinned";
}

// ---- The last components of a complex vector -------------------------------

// A 2 × 2 with a complex pair: the vector's last component is taken as i, and
// the other one is two true quotients by h[1][0] when that is the larger
// off-diagonal element, otherwise the scaled complex division.
TEST(EigenReadings, ComplexVectorStartsWithTwoTrueQuotientsOrTheComplexDivision) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> u(0.2, 1.0);
    int differs = 0;
    for (int rep = 0; rep < 400; ++rep) {
        const bool lowerLarger = rep % 2 == 0;
        const double big = 1.0 + u(rng), small = u(rng);
        Table h(2), z(2);
        h(0, 0) = u(rng) - 0.6, h(1, 1) = u(rng) - 0.6;
        h(1, 0) = lowerLarger ? big : small;
        h(0, 1) = -(lowerLarger ? small : big);  // opposite signs: a complex pair
        const Table a = h;
        z(0, 0) = z(1, 1) = 1.0;
        double wr[2] = {0, 0}, wi[2] = {0, 0};
        std::int32_t ierr = -1;
        HessenbergQRVectors(1, 1, 0, 1, h.rows(), wr, wi, z.rows(), &ierr);
        ASSERT_EQ(ierr, 0);
        ASSERT_GT(wi[0], 0.0);
        const double p = wr[1], q = wi[1];
        double re, im;
        if (lowerLarger) {
            re = q / a(1, 0);
            im = -(a(1, 1) - p) / a(1, 0);
            const double r = 1.0 / a(1, 0);
            differs += !Same(q * r, re) || !Same(-(a(1, 1) - p) * r, im);
        } else {
            ComplexDivideParts(0.0, -a(0, 1), a(0, 0) - p, q, &re, &im);
        }
        EXPECT_TRUE(Same(z(0, 0), 0.0 + 1.0 * re)) << rep;
        EXPECT_TRUE(Same(z(0, 1), (0.0 + 1.0 * im) + 0.0 * 1.0)) << rep;
        EXPECT_EQ(z(1, 0), 0.0);
        EXPECT_EQ(z(1, 1), 1.0);
    }
    EXPECT_GT(differs, 0);
}

// ---- Overflow control in the back-substitution ------------------------------

// [[1, c], [0, 1]]: the zero divisor of the second vector is perturbed to
// below the last bit of the norm, its first component becomes huge, and the
// column is scaled by the reciprocal of that component's magnitude.
TEST(EigenReadings, OverflowControlMultipliesByTheReciprocal) {
    int differs = 0;
    for (int rep = 1; rep <= 200; ++rep) {
        const double c = 0.37 * rep;
        Table h(2), z(2);
        h(0, 0) = h(1, 1) = 1.0, h(0, 1) = c;
        z(0, 0) = z(1, 1) = 1.0;
        double wr[2] = {0, 0}, wi[2] = {0, 0};
        std::int32_t ierr = -1;
        HessenbergQRVectors(1, 1, 0, 1, h.rows(), wr, wi, z.rows(), &ierr);
        ASSERT_EQ(ierr, 0);
        const double norm = ((0.0 + 1.0) + c + 0.0) + 1.0;
        double t = norm;
        do t = 0.01 * t;
        while (norm + t > norm);
        const double component = -(0.0 + c * 1.0) / t;
        const double big = std::fabs(component);
        ASSERT_LE(big + 1.0 / big, big) << "the control must act here";
        const double a = component * (1.0 / big), b = 1.0 * (1.0 / big);
        EXPECT_TRUE(Same(z(0, 1), a)) << rep;
        EXPECT_TRUE(Same(z(1, 1), b)) << rep;
        differs += !Same(component / big, a) || !Same(1.0 / big, b);
    }
    EXPECT_GT(differs, 0);
}

// ---- Normalisation and the complex division ---------------------------------

TEST(EigenReadings, NormalisationMultipliesByTheReciprocalOfTheLargestPart) {
    Table z(2);
    z(0, 0) = 49, z(1, 0) = -3, z(0, 1) = 0, z(1, 1) = 5;
    const double wi[2] = {0, 0};
    NormalizeRealEigenvectors(1, 1, z.rows(), wi);
    EXPECT_TRUE(Same(z(0, 0), 49.0 * (1.0 / 49.0)));
    EXPECT_NE(z(0, 0), 1.0) << "a true division gives exactly 1";
    EXPECT_TRUE(Same(z(1, 0), -3.0 * (1.0 / 49.0)));
    EXPECT_EQ(z(1, 1), 1.0);
}

// A complex pair's two columns are scaled by one reciprocal of their largest
// part (49 here, whose quotients differ from the products).
TEST(EigenReadings, PairNormalisationMultipliesBothColumnsByOneReciprocal) {
    Table z(2);
    z(0, 0) = -3, z(1, 0) = 5, z(0, 1) = 49, z(1, 1) = -7;
    const double wi[2] = {0.5, -0.5};
    NormalizeRealEigenvectors(1, 1, z.rows(), wi);
    const double r = 1.0 / 49.0;
    ASSERT_NE(Bits(49.0 * r), Bits(1.0));
    EXPECT_TRUE(Same(z(0, 0), -3.0 * r));
    EXPECT_TRUE(Same(z(1, 0), 5.0 * r));
    EXPECT_TRUE(Same(z(0, 1), 49.0 * r)) << "a true division gives exactly 1";
    EXPECT_TRUE(Same(z(1, 1), -7.0 * r));
}

// The values path forms a real pair's second root as x − w / zz, a true
// division, as the vectors path does.
TEST(EigenReadings, ValuesPathRealPairSecondRootIsATrueQuotient) {
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> u(0.1, 1.0);
    int differs = 0;
    for (int rep = 0; rep < 400; ++rep) {
        Table h(2);
        h(0, 0) = u(rng) - 0.5, h(0, 1) = u(rng), h(1, 0) = u(rng), h(1, 1) = u(rng) - 0.5;  // real pair
        const Table a = h;
        double wr[2] = {0, 0}, wi[2] = {0, 0};
        std::int32_t ierr = -1;
        HessenbergQRValues(1, 1, 0, 1, h.rows(), wr, wi, &ierr);
        ASSERT_EQ(ierr, 0);
        const double x = a(1, 1), y = a(0, 0), w = a(1, 0) * a(0, 1);
        const double p = (y - x) * 0.5, q = p * p + w;
        ASSERT_GE(q, 0.0);
        const double zz = p + TransferSign(std::sqrt(std::fabs(q)), p);
        ASSERT_NE(zz, 0.0);
        EXPECT_TRUE(Same(wr[0], (x + 0.0) + zz)) << rep;
        EXPECT_TRUE(Same(wr[1], (x + 0.0) - w / zz)) << rep;
        differs += !Same((x + 0.0) - w * (1.0 / zz), wr[1]);
    }
    EXPECT_GT(differs, 0);
}

TEST(EigenReadings, ComplexDividePartsIsTheScaledDivision) {
    double cr = 0, ci = 0;
    ComplexDivideParts(1, 2, 3, 4, &cr, &ci);
    EXPECT_EQ(cr, 0.44000000000000006);
    EXPECT_EQ(ci, 0.08);
    ComplexDivideParts(1, 0, 0, 1, &cr, &ci);
    EXPECT_EQ(cr, 0.0);
    EXPECT_EQ(ci, -1.0);
}

}  // namespace
}  // namespace corvane

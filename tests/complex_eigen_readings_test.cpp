// The complex eigen kernel divides every group of quantities sharing one
// divisor by multiplying with one reciprocal (the reflector sums by h, the
// accumulated sums and the unit subdiagonal factors by their norm, the three
// quotients of a row rotation and the two of the last diagonal element),
// while single quotients stay divisions. Each test replays the stage step by
// step with a switch per group and requires the kernel's bits to be those of
// the reciprocal form, on matrices for which the division form differs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "complex/complex.h"
#include "complex_eigen_support.h"
#include "eigen/complex_eigen.h"
#include "matrix_test_support.h"

namespace corvane {
namespace {

using test::Bits;
using test::CMat;
using test::KernelRun;
using Grid = std::vector<std::vector<double>>;

// Which groups the replay divides instead of multiplying by the reciprocal.
enum : unsigned {
    kReflectorSums = 1u,       // fr, fi by h in the reduction
    kAccumulatedSums = 2u,     // sr, si by nrm when the reflectors are accumulated
    kSubdiagonalFactors = 4u,  // yr, yi by nrm when the subdiagonal is made real
    kRowRotation = 8u,         // xr, xi and the new subdiagonal by nrm
    kLastDiagonal = 16u,       // sr, si by nrm for the last diagonal element
};

// q = x / d, either as the division or as x times the reciprocal.
double Quotient(double x, double d, bool divide) { return divide ? x / d : x * (1.0 / d); }

struct State {
    Grid hr, hi, zr, zi;
    std::vector<double> ortr, orti;
};

State FromRun(const KernelRun& run) {
    const auto n = static_cast<std::size_t>(run.n);
    State s{Grid(n, std::vector<double>(n)), Grid(n, std::vector<double>(n)), Grid(n, std::vector<double>(n)),
            Grid(n, std::vector<double>(n)), std::vector<double>(n), std::vector<double>(n)};
    for (int i = 0; i < run.n; ++i) {
        s.ortr[i] = run.ortr[i];
        s.orti[i] = run.orti[i];
        for (int j = 0; j < run.n; ++j) {
            s.hr[i][j] = run.ar[i][j];
            s.hi[i][j] = run.ai[i][j];
            s.zr[i][j] = i == j ? 1.0 : 0.0;
        }
    }
    return s;
}

// The Householder reduction, for the reflector-sum switch.
void ReplayReduction(State& s, unsigned divide) {
    const int igh = static_cast<int>(s.hr.size()) - 1;
    auto& ar = s.hr;
    auto& ai = s.hi;
    for (int m = 1; m <= igh - 1; ++m) {
        double h = 0.0, scale = 0.0;
        s.ortr[m] = s.orti[m] = 0.0;
        for (int i = m; i <= igh; ++i) scale = scale + (std::fabs(ar[i][m - 1]) + std::fabs(ai[i][m - 1]));
        if (scale == 0.0) continue;
        for (int i = igh; i >= m; --i) {
            s.ortr[i] = Quotient(ar[i][m - 1], scale, false);
            s.orti[i] = Quotient(ai[i][m - 1], scale, false);
            h = h + (s.ortr[i] * s.ortr[i] + s.orti[i] * s.orti[i]);
        }
        double g = std::sqrt(h);
        const double f = IterativeHypot(s.ortr[m], s.orti[m]);
        if (f == 0.0) {
            s.ortr[m] = g;
            ar[m][m - 1] = scale;
        } else {
            h = h + f * g;
            g = g / f;
            s.ortr[m] = (1.0 + g) * s.ortr[m];
            s.orti[m] = (1.0 + g) * s.orti[m];
        }
        const bool d = (divide & kReflectorSums) != 0;
        for (int j = m; j <= igh; ++j) {
            double fr = 0.0, fi = 0.0;
            for (int i = igh; i >= m; --i) {
                fr = fr + (s.ortr[i] * ar[i][j] + s.orti[i] * ai[i][j]);
                fi = fi + (s.ortr[i] * ai[i][j] - s.orti[i] * ar[i][j]);
            }
            fr = Quotient(fr, h, d);
            fi = Quotient(fi, h, d);
            for (int i = m; i <= igh; ++i) {
                ar[i][j] = ar[i][j] - fr * s.ortr[i] + fi * s.orti[i];
                ai[i][j] = ai[i][j] - fr * s.orti[i] - fi * s.ortr[i];
            }
        }
        for (int i = 0; i <= igh; ++i) {
            double fr = 0.0, fi = 0.0;
            for (int j = igh; j >= m; --j) {
                fr = fr + (s.ortr[j] * ar[i][j] - s.orti[j] * ai[i][j]);
                fi = fi + (s.ortr[j] * ai[i][j] + s.orti[j] * ar[i][j]);
            }
            fr = Quotient(fr, h, d);
            fi = Quotient(fi, h, d);
            for (int j = m; j <= igh; ++j) {
                ar[i][j] = ar[i][j] - fr * s.ortr[j] - fi * s.orti[j];
                ai[i][j] = ai[i][j] + fr * s.orti[j] - fi * s.ortr[j];
            }
        }
        s.ortr[m] = scale * s.ortr[m];
        s.orti[m] = scale * s.orti[m];
        ar[m][m - 1] = -g * ar[m][m - 1];
        ai[m][m - 1] = -g * ai[m][m - 1];
    }
}

// Accumulation of the reflectors into z and the real subdiagonal (vectors
// path, before the first iteration).
void ReplayPreparation(State& s, unsigned divide) {
    const int igh = static_cast<int>(s.hr.size()) - 1;
    auto &hr = s.hr, &hi = s.hi, &zr = s.zr, &zi = s.zi;
    for (int i = igh - 1; i >= 1; --i) {
        if ((s.ortr[i] == 0.0 && s.orti[i] == 0.0) || (hr[i][i - 1] == 0.0 && hi[i][i - 1] == 0.0)) continue;
        const double nrm = hr[i][i - 1] * s.ortr[i] + hi[i][i - 1] * s.orti[i];
        for (int k = i + 1; k <= igh; ++k) {
            s.ortr[k] = hr[k][i - 1];
            s.orti[k] = hi[k][i - 1];
        }
        for (int j = i; j <= igh; ++j) {
            double sr = 0.0, si = 0.0;
            for (int k = i; k <= igh; ++k) {
                sr = sr + (s.ortr[k] * zr[k][j] + s.orti[k] * zi[k][j]);
                si = si + (s.ortr[k] * zi[k][j] - s.orti[k] * zr[k][j]);
            }
            sr = Quotient(sr, nrm, (divide & kAccumulatedSums) != 0);
            si = Quotient(si, nrm, (divide & kAccumulatedSums) != 0);
            for (int k = i; k <= igh; ++k) {
                zr[k][j] = zr[k][j] + (sr * s.ortr[k] - si * s.orti[k]);
                zi[k][j] = zi[k][j] + (sr * s.orti[k] + si * s.ortr[k]);
            }
        }
    }
    for (int i = 1; i <= igh; ++i) {
        const int ll = std::min(i + 1, igh);
        if (hi[i][i - 1] == 0.0) continue;
        const double nrm = IterativeHypot(hr[i][i - 1], hi[i][i - 1]);
        const double yr = Quotient(hr[i][i - 1], nrm, (divide & kSubdiagonalFactors) != 0);
        const double yi = Quotient(hi[i][i - 1], nrm, (divide & kSubdiagonalFactors) != 0);
        hr[i][i - 1] = nrm;
        hi[i][i - 1] = 0.0;
        for (int j = i; j <= igh; ++j) {
            const double si = yr * hi[i][j] - yi * hr[i][j];
            hr[i][j] = yr * hr[i][j] + yi * hi[i][j];
            hi[i][j] = si;
        }
        for (int j = 0; j <= ll; ++j) {
            const double si = yr * hi[j][i] + yi * hr[j][i];
            hr[j][i] = yr * hr[j][i] - yi * hi[j][i];
            hi[j][i] = si;
        }
        for (int j = 0; j <= igh; ++j) {
            const double si = yr * zi[j][i] + yi * zr[j][i];
            zr[j][i] = yr * zr[j][i] - yi * zi[j][i];
            zi[j][i] = si;
        }
    }
}

// The first QR step with the ordinary shift on a whole unreduced Hessenberg
// matrix (en = N, l = 0), vectors accumulated into z.
void ReplayStep(State& s, unsigned divide) {
    auto &hr = s.hr, &hi = s.hi, &zr = s.zr, &zi = s.zi;
    const int en = static_cast<int>(hr.size()) - 1, m1 = en - 1;
    double sr = hr[en][en], si = hi[en][en];
    double xr = hr[m1][en] * hr[en][m1], xi = hi[m1][en] * hr[en][m1];
    if (xr != 0.0 || xi != 0.0) {
        const double yr = (hr[m1][m1] - sr) * 0.5, yi = (hi[m1][m1] - si) * 0.5;
        double zzr, zzi;
        ComplexSqrtBranch(yr * yr - yi * yi + xr, 2.0 * yr * yi + xi, &zzr, &zzi);
        if (yr * zzr + yi * zzi < 0.0) zzr = -zzr, zzi = -zzi;
        ComplexDivideParts(xr, xi, yr + zzr, yi + zzi, &xr, &xi);
        sr = sr - xr;
        si = si - xi;
    }
    for (int i = 0; i <= en; ++i) hr[i][i] -= sr, hi[i][i] -= si;
    const bool dr = (divide & kRowRotation) != 0;
    std::vector<double> cr(static_cast<std::size_t>(en) + 1), ci(cr.size());
    for (int i = 1; i <= en; ++i) {
        const double sub = hr[i][i - 1];
        hr[i][i - 1] = 0.0;
        const double nrm = IterativeHypot(IterativeHypot(hr[i - 1][i - 1], hi[i - 1][i - 1]), sub);
        cr[i - 1] = Quotient(hr[i - 1][i - 1], nrm, dr);
        ci[i - 1] = Quotient(hi[i - 1][i - 1], nrm, dr);
        hr[i - 1][i - 1] = nrm;
        hi[i - 1][i - 1] = 0.0;
        hi[i][i - 1] = Quotient(sub, nrm, dr);
        for (int j = i; j <= en; ++j) {
            const double yr = hr[i - 1][j], yi = hi[i - 1][j], zzr = hr[i][j], zzi = hi[i][j];
            const double c = cr[i - 1], d = ci[i - 1], t = hi[i][i - 1];
            hr[i - 1][j] = c * yr + d * yi + t * zzr;
            hi[i - 1][j] = c * yi - d * yr + t * zzi;
            hr[i][j] = c * zzr - d * zzi - t * yr;
            hi[i][j] = c * zzi + d * zzr - t * yi;
        }
    }
    si = hi[en][en];
    if (si != 0.0) {
        const double n2 = IterativeHypot(hr[en][en], si);
        sr = Quotient(hr[en][en], n2, (divide & kLastDiagonal) != 0);
        si = Quotient(si, n2, (divide & kLastDiagonal) != 0);
        hr[en][en] = n2;
        hi[en][en] = 0.0;
    }
    for (int j = 1; j <= en; ++j) {
        const double c = cr[j - 1], d = ci[j - 1], t = hi[j][j - 1];
        for (int i = 0; i <= j; ++i) {
            const double yr = hr[i][j - 1], zzr = hr[i][j], zzi = hi[i][j];
            double yi = 0.0;
            if (i != j) {
                yi = hi[i][j - 1];
                hi[i][j - 1] = c * yi + d * yr + t * zzi;
            }
            hr[i][j - 1] = c * yr - d * yi + t * zzr;
            hr[i][j] = c * zzr + d * zzi - t * yr;
            hi[i][j] = c * zzi - d * zzr - t * yi;
        }
        for (int i = 0; i <= en; ++i) {
            const double yr = zr[i][j - 1], yi = zi[i][j - 1], zzr = zr[i][j], zzi = zi[i][j];
            zr[i][j - 1] = c * yr - d * yi + t * zzr;
            zi[i][j - 1] = c * yi + d * yr + t * zzi;
            zr[i][j] = c * zzr + d * zzi - t * yr;
            zi[i][j] = c * zzi - d * zzr - t * yi;
        }
    }
    if (si != 0.0) {
        for (int i = 0; i <= en; ++i) {
            const double yr = hr[i][en], yi = hi[i][en];
            hr[i][en] = sr * yr - si * yi;
            hi[i][en] = sr * yi + si * yr;
            const double vr = zr[i][en], vi = zi[i][en];
            zr[i][en] = sr * vr - si * vi;
            zi[i][en] = sr * vi + si * vr;
        }
    }
}

// Whether the kernel's arrays hold exactly the replayed ones.
bool SameBits(const KernelRun& run, const State& s, bool withZ) {
    for (int i = 0; i < run.n; ++i)
        for (int j = 0; j < run.n; ++j) {
            if (Bits(run.ar[i][j]) != Bits(s.hr[i][j]) || Bits(run.ai[i][j]) != Bits(s.hi[i][j])) return false;
            if (withZ && (Bits(run.zr[i][j]) != Bits(s.zr[i][j]) || Bits(run.zi[i][j]) != Bits(s.zi[i][j])))
                return false;
        }
    return true;
}

TEST(ComplexEigenReadings, ReflectorSumsAreScaledByOneReciprocalOfH) {
    std::mt19937_64 rng(901);
    int distinguished = 0;
    for (int trial = 0; trial < 40; ++trial) {
        const CMat a = test::RandomCMat(3 + trial % 3, rng);
        KernelRun run(a);
        State reciprocal = FromRun(run), division = FromRun(run);
        ComplexHessenbergReduce(run.n - 1, run.n - 1, 0, run.n - 1, run.ar.data(), run.ai.data(), run.ortr.data(),
                                run.orti.data());
        ReplayReduction(reciprocal, 0);
        ReplayReduction(division, kReflectorSums);
        ASSERT_TRUE(SameBits(run, reciprocal, false)) << trial;
        distinguished += !SameBits(run, division, false);
    }
    EXPECT_GT(distinguished, 10);
}

// With a zero budget the vectors path stops right after accumulating the
// reflectors and making the subdiagonal real.
TEST(ComplexEigenReadings, AccumulationAndRealSubdiagonalUseOneReciprocalOfTheirNorm) {
    std::mt19937_64 rng(902);
    int distinguished[2] = {0, 0};
    for (int trial = 0; trial < 40; ++trial) {
        const CMat a = test::RandomCMat(3 + trial % 3, rng);
        KernelRun run(a);
        ComplexHessenbergReduce(run.n - 1, run.n - 1, 0, run.n - 1, run.ar.data(), run.ai.data(), run.ortr.data(),
                                run.orti.data());
        const State reduced = FromRun(run);
        ASSERT_EQ(ComplexQRVectors(run.n - 1, run.n - 1, 0, run.n - 1, run.ortr.data(), run.orti.data(),
                                   run.ar.data(), run.ai.data(), run.wr.data(), run.wi.data(), run.zr.data(),
                                   run.zi.data(), 0),
                  run.n - 1);
        State expected = reduced;
        ReplayPreparation(expected, 0);
        ASSERT_TRUE(SameBits(run, expected, true)) << trial;
        const unsigned groups[2] = {kAccumulatedSums, kSubdiagonalFactors};
        for (int g = 0; g < 2; ++g) {
            State other = reduced;
            ReplayPreparation(other, groups[g]);
            distinguished[g] += !SameBits(run, other, true);
        }
    }
    EXPECT_GT(distinguished[0], 5);
    EXPECT_GT(distinguished[1], 5);
}

// A budget of one iteration on a random upper Hessenberg matrix (no
// reflectors to accumulate): the arrays after the first step, on the values
// and the vectors path, which agree on the first step over the whole matrix.
TEST(ComplexEigenReadings, RowRotationAndLastDiagonalUseOneReciprocalOfTheirNorm) {
    std::mt19937_64 rng(903);
    const unsigned groups[3] = {kSubdiagonalFactors, kRowRotation, kLastDiagonal};
    int distinguished[3] = {0, 0, 0}, stepped = 0;
    for (int trial = 0; trial < 40; ++trial) {
        CMat a = test::RandomCMat(3 + trial % 3, rng);
        for (std::size_t i = 2; i < a.size(); ++i)
            for (std::size_t j = 0; j + 1 < i; ++j) a[i][j] = 0.0;
        for (bool vectors : {false, true}) {
            KernelRun run(a);
            const std::int32_t N = run.n - 1;
            const std::int32_t code =
                vectors ? ComplexQRVectors(N, N, 0, N, run.ortr.data(), run.orti.data(), run.ar.data(), run.ai.data(),
                                           run.wr.data(), run.wi.data(), run.zr.data(), run.zi.data(), 1)
                        : ComplexQRValues(N, N, 0, N, run.ar.data(), run.ai.data(), run.wr.data(), run.wi.data(), 1);
            if (code != N) continue;  // the last value converged at once: the vectors path went on
            ++stepped;
            auto replay = [&](unsigned divide) {
                State s = FromRun(KernelRun(a));
                ReplayPreparation(s, divide);
                ReplayStep(s, divide);
                return s;
            };
            ASSERT_TRUE(SameBits(run, replay(0), vectors)) << trial << " " << vectors;
            for (int g = 0; g < 3; ++g) distinguished[g] += !SameBits(run, replay(groups[g]), vectors);
        }
    }
    EXPECT_GT(stepped, 60);
    for (int g = 0; g < 3; ++g) EXPECT_GT(distinguished[g], 10) << g;
}

// A repeated eigenvalue: the zero divisor becomes nrm·0.01ᵏ for the first k
// at which it vanishes beside nrm (nrm = 3 here, where factors other than
// 0.01 stop at another power of ten). The second column then ends as
// (1, divisor) after the overflow control and the scaling.
TEST(ComplexEigenReadings, RepeatedValueDivisorIsPerturbedByHundredths) {
    KernelRun run({{3.0, 1.0}, {0.0, 3.0}});
    ASSERT_EQ(run.Run(true), 0);
    const double nrm = 3.0;
    double divisor = nrm;
    do divisor = 0.01 * divisor;
    while (nrm + divisor > nrm);
    EXPECT_EQ(run.Vector(0, 1), test::Cx(1.0, 0.0));
    EXPECT_NEAR(run.Vector(1, 1).real() / divisor, 1.0, 1e-12);
    EXPECT_EQ(run.Vector(1, 1).imag(), 0.0);
}

// Equal largest real and imaginary magnitudes: the real part is the divisor,
// with its sign.
TEST(ComplexEigenReadings, NormalisationTieGoesToTheRealPart) {
    KernelRun run(test::ZeroCMat(2));
    run.zr[0][0] = 2.0, run.zi[0][0] = 0.5, run.zr[1][0] = 0.5, run.zi[1][0] = -2.0;
    run.zr[0][1] = 1.0, run.zr[1][1] = 0.0;
    NormalizeComplexEigenvectors(1, 1, run.zr.data(), run.zi.data());
    EXPECT_EQ(run.Vector(0, 0), test::Cx(1.0, 0.25));
    EXPECT_EQ(run.Vector(1, 0), test::Cx(0.25, -1.0));
}

}  // namespace
}  // namespace corvane

// Follows EISPACK hqr (eigenvalues only) and hqr2 (the Schur vectors
// accumulated, then eigenvectors by back-substitution): Francis double-shift
// QR on a Hessenberg matrix. One sweep serves both; hqr2 applies each step to
// whole rows and columns and to z, hqr to the active block only. hqr2 works on
// z transposed, so that a transformation of columns of z runs along rows.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/complex.h"
#include "core/numeric_helpers.h"
#include "eigen/general/kernels.h"
#include "eigen/row_operations.h"
#include "eigen/square_transpose.h"

namespace corvane {
namespace {

// Eigenvectors of the quasi-triangular h by back-substitution (h nonzero).
void BackSubstitute(std::int32_t N, double* const* h, const double* wr, const double* wi, double norm) {
    for (std::int32_t en = N; en >= 0; --en) {
        const double p = wr[en];
        const double q = wi[en];
        const std::int32_t na = en - 1;
        if (q > 0.0) continue;  // the pair is solved at its second position
        // Kept from the second row of a 2 × 2 block for its first row.
        double zz = 0.0, r = 0.0, s = 0.0;
        if (q == 0.0) {
            std::int32_t m = en;
            h[en][en] = 1.0;
            for (std::int32_t i = na; i >= 0; --i) {
                const double w = h[i][i] - p;
                double sum = 0.0;
                for (std::int32_t j = m; j <= en; ++j) sum = sum + h[i][j] * h[j][en];
                if (wi[i] < 0.0) {
                    zz = w;
                    s = sum;
                    continue;
                }
                m = i;
                if (wi[i] == 0.0) {
                    double t = w;
                    if (t == 0.0) {
                        // Perturb a zero divisor to below the last bit of norm.
                        t = norm;
                        do t = 0.01 * t;
                        while (norm + t > norm);
                    }
                    h[i][en] = -sum / t;
                } else {
                    const double x = h[i][i + 1];
                    const double y = h[i + 1][i];
                    const double qq = (wr[i] - p) * (wr[i] - p) + wi[i] * wi[i];
                    const double t = (x * s - zz * sum) / qq;
                    h[i][en] = t;
                    if (Abs(x) > Abs(zz))
                        h[i + 1][en] = (-sum - w * t) / x;
                    else
                        h[i + 1][en] = (-s - y * t) / zz;
                }
                const double t = Abs(h[i][en]);
                if (t != 0.0) {
                    const double rt = 1.0 / t;
                    if (t + rt <= t)
                        for (std::int32_t j = i; j <= en; ++j) h[j][en] = h[j][en] * rt;
                }
            }
        } else if (q < 0.0) {
            // Complex vector of the pair (na, en); the last component is taken
            // imaginary so that the vector matrix stays triangular.
            std::int32_t m = na;
            if (Abs(h[en][na]) > Abs(h[na][en])) {
                h[na][na] = q / h[en][na];
                h[na][en] = -(h[en][en] - p) / h[en][na];
            } else {
                ComplexDivideParts(0.0, -h[na][en], h[na][na] - p, q, &h[na][na], &h[na][en]);
            }
            h[en][na] = 0.0;
            h[en][en] = 1.0;
            for (std::int32_t i = en - 2; i >= 0; --i) {
                const double w = h[i][i] - p;
                double ra = 0.0, sa = 0.0;
                for (std::int32_t j = m; j <= en; ++j) {
                    ra = ra + h[i][j] * h[j][na];
                    sa = sa + h[i][j] * h[j][en];
                }
                if (wi[i] < 0.0) {
                    zz = w;
                    r = ra;
                    s = sa;
                    continue;
                }
                m = i;
                if (wi[i] == 0.0) {
                    ComplexDivideParts(-ra, -sa, w, q, &h[i][na], &h[i][en]);
                } else {
                    const double x = h[i][i + 1];
                    const double y = h[i + 1][i];
                    double vr = (wr[i] - p) * (wr[i] - p) + wi[i] * wi[i] - q * q;
                    const double vi = 2.0 * (wr[i] - p) * q;
                    if (vr == 0.0 && vi == 0.0) {
                        const double tst1 = norm * (Abs(w) + Abs(q) + Abs(x) + Abs(y) + Abs(zz));
                        vr = tst1;
                        do vr = 0.01 * vr;
                        while (tst1 + vr > tst1);
                    }
                    ComplexDivideParts(x * r - zz * ra + q * sa, x * s - zz * sa - q * ra, vr, vi, &h[i][na],
                                       &h[i][en]);
                    if (Abs(x) > Abs(zz) + Abs(q)) {
                        h[i + 1][na] = (-ra - w * h[i][na] + q * h[i][en]) / x;
                        h[i + 1][en] = (-sa - w * h[i][en] - q * h[i][na]) / x;
                    } else {
                        ComplexDivideParts(-r - y * h[i][na], -s - y * h[i][en], zz, q, &h[i + 1][na], &h[i + 1][en]);
                    }
                }
                const double t = std::max(Abs(h[i][na]), Abs(h[i][en]));
                if (t != 0.0) {
                    const double rt = 1.0 / t;
                    if (t + rt <= t)
                        for (std::int32_t j = i; j <= en; ++j) {
                            h[j][na] = h[j][na] * rt;
                            h[j][en] = h[j][en] * rt;
                        }
                }
            }
        }
        // A NaN q matches neither branch and leaves its column as it is.
    }
}

// A step of the double-shift sweep whose column modification is still owed to
// the rows at or above its position k: those rows are read by no later step of
// the sweep, so they take their owed steps later (at the end of the sweep, or
// once kOwedSpan columns are owed), each row still in step order.
struct OwedStep {
    std::int32_t k;
    bool notlast;
    double c[5];  // x, y, zz, q, r
};

// At most this many columns between the first owed step and the end of the last.
constexpr int kOwedSpan = 64;
// Owing rows are copied transposed this many at a time.
constexpr int kOwedGroup = 32;

// Rows first..first + count − 1 (rows[0..count)) take the steps at or after
// their own positions: their owed columns are copied transposed, so that each
// step runs across the rows that take it as one vector operation.
void PayOwedStepsAcross(const RowOperations& ops, double* const* rows, std::int32_t first, int count,
                        const OwedStep* steps, int stepCount) {
    const std::int32_t c0 = steps[0].k;
    const OwedStep& last = steps[stepCount - 1];
    const std::int32_t width = last.k + (last.notlast ? 3 : 2) - c0;
    double t[kOwedSpan * kOwedGroup];
    double* columns[kOwedSpan];  // column c0 + c of the rows at t + c·kOwedGroup
    for (std::int32_t c = 0; c < width; ++c) columns[c] = t + c * kOwedGroup;
    ops.gatherTransposed(t, kOwedGroup, rows, c0, count, width);
    static_assert(sizeof(OwedStep) % sizeof(double) == 0);
    constexpr std::int32_t kStride = sizeof(OwedStep) / sizeof(double);
    for (int s = 0; s < stepCount;) {
        const OwedStep& st = steps[s];
        const int taking = std::min(count, st.k - first + 1);  // rows first..k
        if (taking <= 0) {
            ++s;
            continue;
        }
        double* const x = columns[st.k - c0];
        const double* const c = st.c;
        // The steps on the next rows taken by the same rows: one pass.
        int e = s + 1;
        if (st.notlast && taking == count)
            while (e < stepCount && steps[e].notlast && steps[e].k == steps[e - 1].k + 1) ++e;
        if (e - s >= 2)
            ops.reflect3Chain(columns + (st.k - c0), 0, taking, c, kStride, e - s);
        else if (!st.notlast)
            ops.reflect2(x, x + kOwedGroup, c[0], c[1], c[3], taking);
        else
            ops.reflect3(x, x + kOwedGroup, x + 2 * kOwedGroup, c[0], c[1], c[2], c[3], c[4], taking);
        s = e;
    }
    ops.scatterTransposed(t, kOwedGroup, rows, c0, count, width);
}

// Rows firstRow.. take every owed step at or after their own position.
void PayOwedSteps(const RowOperations& ops, double* const* h, std::int32_t firstRow, const OwedStep* steps, int count) {
    if (count == 0) return;
    const std::int32_t lastRow = steps[count - 1].k;
    for (std::int32_t i = firstRow; i <= lastRow; i += kOwedGroup)
        PayOwedStepsAcross(ops, h + i, i, std::min(kOwedGroup, lastRow - i + 1), steps, count);
}

// The row modifications of one double-shift sweep: step k changes rows
// k..k + 2 over columns k..end. The later steps of the sweep read only the
// columns near them (step k's column modification takes columns k..k + 2, the
// next step its vector from column k), so a step goes at once to the columns
// before ready_ and is held back from those after it, which take the held
// steps a block at a time as the sweep reaches them (or all, when the room is
// full or the sweep ends): the far columns of successive rows then take many
// steps in one pass. Each element still takes its steps in order.
class SweepRows {
public:
    SweepRows(const RowOperations& ops, double* const* h, std::int32_t first, std::int32_t end)
        : ops_(ops), h_(h), ready_(first), end_(end) {}
    // Columns up to `column` take every step so far.
    void Need(std::int32_t column) {
        column = std::min(column, end_);
        while (ready_ <= column) {
            const std::int32_t to = std::min(end_, ready_ + kWidth - 1);
            ApplyHeld(ready_, to);
            ready_ = to + 1;
        }
    }
    // Step k with c = {x, y, zz, q, r}.
    void Add(std::int32_t k, bool notlast, const double* c) {
        if (ready_ > k) Apply(OwedStep{k, notlast, {c[0], c[1], c[2], c[3], c[4]}}, k, ready_ - 1);
        if (ready_ > end_) return;
        if (count_ == kHeld) Flush();
        held_[count_++] = OwedStep{k, notlast, {c[0], c[1], c[2], c[3], c[4]}};
    }
    // Every held step to the columns from ready_ on.
    void Flush() {
        for (std::int32_t c = ready_; c <= end_; c += kWidth) ApplyHeld(c, std::min(end_, c + kWidth - 1));
        count_ = 0;
    }

private:
    static constexpr int kHeld = 128;
    static constexpr std::int32_t kWidth = 32;
    void Apply(const OwedStep& s, std::int32_t from, std::int32_t to) const {
        double* const* const w = h_ + s.k;
        if (s.notlast)
            ops_.reflectRows3(w[0] + from, w[1] + from, w[2] + from, s.c[0], s.c[1], s.c[2], s.c[3], s.c[4],
                              to - from + 1);
        else
            ops_.reflectRows2(w[0] + from, w[1] + from, s.c[0], s.c[1], s.c[3], to - from + 1);
    }
    // The held steps to columns from..to, successive three-row steps in one pass.
    void ApplyHeld(std::int32_t from, std::int32_t to) const {
        static_assert(sizeof(OwedStep) % sizeof(double) == 0);
        constexpr std::int32_t kStride = sizeof(OwedStep) / sizeof(double);
        for (int i = 0; i < count_;) {
            int e = i + 1;
            while (e < count_ && held_[e].notlast && held_[e - 1].notlast && held_[e].k == held_[e - 1].k + 1) ++e;
            if (e - i >= 2)
                ops_.reflectRows3Chain(h_ + held_[i].k, from, to - from + 1, held_[i].c, kStride, e - i);
            else
                Apply(held_[i], from, to);
            i = e;
        }
    }
    const RowOperations& ops_;
    double* const* h_;
    std::int32_t ready_;  // columns before it have taken every step so far
    std::int32_t end_;
    int count_ = 0;
    OwedStep held_[kHeld];
};

// Steps owed to rows of one array (zt, or h right of the active window),
// applied when their room is full and before the array is read. The steps form
// runs of increasing first row (the sweeps, and each rotation of a real pair);
// a run's pending steps start at or below its next step's row. A block of
// columns takes every step, the runs interleaved as a wavefront: a step goes
// ahead once no earlier run has a pending step at or above its last row, so
// each element still takes its steps in their original order, and the rows in
// use form a narrow band that stays in cache while every run passes over it.
class OwedRowSteps {
public:
    OwedRowSteps(const RowOperations& ops, double* const* rows, std::int32_t last, SchurVectorStep* room,
                 std::int64_t capacity)
        : ops_(ops), rows_(rows), last_(last), room_(room), capacity_(capacity) {}
    void Add(std::int32_t kind, std::int32_t k, std::int32_t first, double x, double y, double zz, double q, double r) {
        if (first > last_) return;
        const bool newRun = count_ == 0 || k <= room_[count_ - 1].k;
        if (count_ == capacity_ || (newRun && runs_ == kRuns)) Apply();
        if (count_ == 0 || newRun) runStart_[runs_++] = count_;
        room_[count_++] = SchurVectorStep{kind, k, first, {x, y, zz, q, r}};
        lowest_ = std::min(lowest_, first);
    }
    void Apply() {
        if (count_ == 0) return;
        runStart_[runs_] = count_;
        for (std::int32_t c = lowest_; c <= last_; c += kWidth) {
            const std::int32_t end = std::min(c + kWidth - 1, last_);
            std::int64_t next[kRuns];
            for (int j = 0; j < runs_; ++j) next[j] = runStart_[j];
            for (int lead = 0; lead < runs_;) {
                // The first unfinished run leads by kLead steps; each later
                // run follows as far as the runs before it allow.
                std::int32_t frontier = INT32_MAX;
                for (int j = lead; j < runs_; ++j) {
                    const std::int64_t stop =
                        j == lead ? std::min(next[j] + kLead, runStart_[j + 1]) : runStart_[j + 1];
                    std::int64_t i = next[j];
                    while (i < stop && LastRow(room_[i]) < frontier) {
                        // The successive steps from i that may go now, in one pass.
                        std::int64_t e = i + 1;
                        while (e < stop && Successive(room_[e - 1], room_[e]) && LastRow(room_[e]) < frontier) ++e;
                        const SchurVectorStep& s = room_[i];
                        if (e - i >= 2)
                            TakeChain(s, static_cast<std::int32_t>(e - i), std::max(c, s.first), end);
                        else
                            Take(s, std::max(c, s.first), end);
                        i = e;
                    }
                    next[j] = i;
                    if (i < runStart_[j + 1]) frontier = std::min(frontier, room_[i].k);
                }
                while (lead < runs_ && next[lead] == runStart_[lead + 1]) ++lead;
            }
        }
        count_ = 0;
        runs_ = 0;
        lowest_ = INT32_MAX;
    }

private:
    static constexpr int kRuns = 32;
    static constexpr std::int32_t kWidth = 128;  // columns per block
    static constexpr std::int64_t kLead = 16;
    static std::int32_t LastRow(const SchurVectorStep& s) {
        return s.k + (s.kind == SchurVectorStep::kReflect3 || s.kind == SchurVectorStep::kReflectRows3 ? 2 : 1);
    }
    // Successive three-row steps over the same columns, which one pass
    // applies in turn to each element.
    static bool Successive(const SchurVectorStep& s, const SchurVectorStep& t) {
        return (s.kind == SchurVectorStep::kReflect3 || s.kind == SchurVectorStep::kReflectRows3) && t.kind == s.kind &&
               t.k == s.k + 1 && t.first == s.first;
    }
    // Steps s and the count − 1 after it on columns c..end.
    void TakeChain(const SchurVectorStep& s, std::int32_t count, std::int32_t c, std::int32_t end) const {
        if (c > end) return;
        static_assert(sizeof(SchurVectorStep) % sizeof(double) == 0);
        constexpr std::int32_t kStride = sizeof(SchurVectorStep) / sizeof(double);
        if (s.kind == SchurVectorStep::kReflect3)
            ops_.reflect3Chain(rows_ + s.k, c, end - c + 1, s.c, kStride, count);
        else
            ops_.reflectRows3Chain(rows_ + s.k, c, end - c + 1, s.c, kStride, count);
    }
    // Step s on columns c..end.
    void Take(const SchurVectorStep& s, std::int32_t c, std::int32_t end) const {
        if (c > end) return;
        const std::int32_t n = end - c + 1;
        double* const x = rows_[s.k] + c;
        double* const y = rows_[s.k + 1] + c;
        switch (s.kind) {
        case SchurVectorStep::kReflect3:
            ops_.reflect3(x, y, rows_[s.k + 2] + c, s.c[0], s.c[1], s.c[2], s.c[3], s.c[4], n);
            break;
        case SchurVectorStep::kReflect2: ops_.reflect2(x, y, s.c[0], s.c[1], s.c[3], n); break;
        case SchurVectorStep::kReflectRows3:
            ops_.reflectRows3(x, y, rows_[s.k + 2] + c, s.c[0], s.c[1], s.c[2], s.c[3], s.c[4], n);
            break;
        case SchurVectorStep::kReflectRows2: ops_.reflectRows2(x, y, s.c[0], s.c[1], s.c[3], n); break;
        default: ops_.rotatePair(x, y, s.c[3], s.c[0], n); break;
        }
    }
    const RowOperations& ops_;
    double* const* rows_;
    std::int32_t last_;
    SchurVectorStep* room_;
    std::int64_t capacity_;
    std::int64_t count_ = 0;
    int runs_ = 0;
    std::int32_t lowest_ = INT32_MAX;
    std::int64_t runStart_[kRuns + 1];
};

// What hqr2 owes: to z, and to h right of the active window.
struct OwedSteps {
    OwedRowSteps z, h;
    void Apply() {
        z.Apply();
        h.Apply();
    }
};

// The eigenvectors of the original matrix: column j of z becomes the sum of
// z[.][k]·h[k][j] over k = low..min(j, igh), in increasing k, for j from the
// last down. With zt = z transposed and h transposed in place (h is not needed
// afterwards) every sum runs along rows, for a block of z's rows narrow enough
// that the panel of zt it reads stays in the second-level cache, and four
// columns j at a time, which read the panel once.
void BackTransform(const RowOperations& ops, std::int32_t N, std::int32_t low, std::int32_t igh, double* const* h,
                   double* const* zt) {
    TransposeSquare(N, h);
    constexpr std::int32_t kBlock = 128;
    constexpr std::int64_t kPanelDoubles = 64 * 1024;
    const std::int32_t block =
        static_cast<std::int32_t>(std::clamp<std::int64_t>(kPanelDoubles / (igh - low + 1) / 16 * 16, 16, kBlock));
    double sum[4][kBlock];
    double* const sums[4] = {sum[0], sum[1], sum[2], sum[3]};
    for (std::int32_t i0 = low; i0 <= igh; i0 += block) {
        const std::int32_t count = std::min(block, igh - i0 + 1);
        for (std::int32_t j = N; j >= low; j -= 4) {
            const int g = static_cast<int>(std::min<std::int32_t>(4, j - low + 1));  // columns j, j − 1, ...
            for (int q = 0; q < 4; ++q)
                for (std::int32_t i = 0; i < count; ++i) sum[q][i] = 0.0;
            // The terms every column of the group takes, then each column's own.
            const std::int32_t common = g == 4 ? std::min(j - 3, igh) : low - 1;
            if (common >= low) {
                const double* const s[4] = {h[j], h[j - 1], h[j - 2], h[j - 3]};
                ops.addRowTerms4(sums, zt, i0, s, low, common, count);
            }
            for (int q = 0; q < g; ++q) {
                const std::int32_t mm = std::min(j - q, igh);
                for (std::int32_t k = common + 1; k <= mm; ++k) ops.addScaled(sum[q], zt[k] + i0, h[j - q][k], count);
            }
            for (int q = 0; q < g; ++q)
                for (std::int32_t i = 0; i < count; ++i) zt[j - q][i0 + i] = sum[q][i];
        }
    }
}

// zt is z transposed (hqr2 only): row k of zt is column k of z; its steps, and
// those of h right of the active window, go through owed.
template <bool kVectors>
KernelCode HessenbergQR(std::int32_t N, std::int32_t low, std::int32_t igh, double* const* h, double* wr, double* wi,
                        double* const* zt, OwedSteps* owed, std::int64_t budget, std::int32_t* unfinished) {
    const RowOperations& ops = ActiveRowOperations();
    // Norm of the Hessenberg part; the multipliers below are not part of it.
    double norm = 0.0;
    for (std::int32_t i = 0; i <= N; ++i)
        for (std::int32_t j = std::max(i - 1, 0); j <= N; ++j) norm = norm + Abs(h[i][j]);

    std::int32_t en = igh;
    double t = 0.0;
    std::int64_t itn =
        BudgetOr(budget, kVectors ? 30 * (static_cast<std::int64_t>(N) + 1) : 30 * static_cast<std::int64_t>(N));
    while (en >= low) {
        std::int32_t its = 0;
        const std::int32_t na = en - 1;
        const std::int32_t enm2 = na - 1;
        for (;;) {
            // Look for a single small subdiagonal element.
            std::int32_t l = en;
            for (; l >= low + 1; --l) {
                double s = Abs(h[l - 1][l - 1]) + Abs(h[l][l]);
                if (s == 0.0) s = norm;
                if (s + Abs(h[l][l - 1]) == s) break;
            }
            double x = h[en][en];
            if (l == en) {  // one root
                wr[en] = x + t;
                if (kVectors) h[en][en] = wr[en];
                wi[en] = 0.0;
                en = na;
                break;
            }
            double y = h[na][na];
            double w = h[en][na] * h[na][en];
            if (l == na) {  // two roots
                double p = (y - x) * 0.5;
                double q = p * p + w;
                double zz = std::sqrt(Abs(q));
                x = x + t;
                if (kVectors) {
                    h[en][en] = x;
                    h[na][na] = y + t;
                }
                if (q >= 0.0) {
                    zz = p + TransferSign(zz, p);
                    wr[na] = x + zz;
                    wr[en] = wr[na];
                    if (zz != 0.0) wr[en] = x - w / zz;
                    wi[na] = 0.0;
                    wi[en] = 0.0;
                    if constexpr (kVectors) {
                        // Rotate the real pair to upper triangular form.
                        x = h[en][na];
                        const double s = Abs(x) + Abs(zz);
                        const double rs = 1.0 / s;
                        p = x * rs;
                        q = zz * rs;
                        const double r = std::sqrt(p * p + q * q);
                        const double rr = 1.0 / r;
                        p = p * rr;
                        q = q * rr;
                        owed->h.Add(SchurVectorStep::kRotate, na, en + 1, p, 0.0, 0.0, q, 0.0);
                        for (std::int32_t j = na; j <= en; ++j) {
                            const double v = h[na][j];
                            h[na][j] = q * v + p * h[en][j];
                            h[en][j] = q * h[en][j] - p * v;
                        }
                        for (std::int32_t i = 0; i <= en; ++i) {
                            const double v = h[i][na];
                            h[i][na] = q * v + p * h[i][en];
                            h[i][en] = q * h[i][en] - p * v;
                        }
                        owed->z.Add(SchurVectorStep::kRotate, na, low, p, 0.0, 0.0, q, 0.0);
                    }
                } else {
                    wr[na] = x + p;
                    wr[en] = x + p;
                    wi[na] = zz;
                    wi[en] = -zz;
                }
                en = enm2;
                break;
            }
            if (itn == 0) {
                if constexpr (kVectors) owed->Apply();
                if (unfinished != nullptr) *unfinished = en;
                return kKernelNoConvergence;
            }
            if (its == 10 || its == 20) {  // exceptional shift
                t = t + x;
                for (std::int32_t i = low; i <= en; ++i) h[i][i] = h[i][i] - x;
                const double s = Abs(h[en][na]) + Abs(h[na][enm2]);
                x = 0.75 * s;
                y = x;
                w = -0.4375 * s * s;
            }
            ++its;
            --itn;
            // Look for two consecutive small subdiagonal elements.
            std::int32_t m = enm2;
            double p = 0.0, q = 0.0, r = 0.0;
            for (;; --m) {
                const double zz = h[m][m];
                r = x - zz;
                double s = y - zz;
                p = (r * s - w) / h[m + 1][m] + h[m][m + 1];
                q = h[m + 1][m + 1] - zz - r - s;
                r = h[m + 2][m + 1];
                s = Abs(p) + Abs(q) + Abs(r);
                const double rs = 1.0 / s;
                p = p * rs;
                q = q * rs;
                r = r * rs;
                if (m == l) break;
                const double tst1 = Abs(p) * (Abs(h[m - 1][m - 1]) + Abs(zz) + Abs(h[m + 1][m + 1]));
                if (tst1 + Abs(h[m][m - 1]) * (Abs(q) + Abs(r)) == tst1) break;
            }
            for (std::int32_t i = m + 2; i <= en; ++i) {
                h[i][i - 2] = 0.0;
                if (i != m + 2) h[i][i - 3] = 0.0;
            }
            // Double QR step on rows l..en and columns m..en: hqr2 carries it
            // across the whole rows and columns of h and into z.
            const std::int32_t firstRow = kVectors ? 0 : l;
            OwedStep above[kOwedSpan];
            int owing = 0;
            SweepRows rows(ops, h, m, en);
            for (std::int32_t k = m; k <= na; ++k) {
                const bool notlast = k != na;
                rows.Need(k + 2);
                if (k != m) {
                    p = h[k][k - 1];
                    q = h[k + 1][k - 1];
                    r = notlast ? h[k + 2][k - 1] : 0.0;
                    x = Abs(p) + Abs(q) + Abs(r);
                    if (x == 0.0) continue;
                    const double rx = 1.0 / x;
                    p = p * rx;
                    q = q * rx;
                    r = r * rx;
                }
                const double s = TransferSign(std::sqrt(p * p + q * q + r * r), p);
                if (k != m)
                    h[k][k - 1] = -s * x;
                else if (l != m)
                    h[k][k - 1] = -h[k][k - 1];
                p = p + s;
                const double rs = 1.0 / s;
                x = p * rs;
                y = q * rs;
                const double zz = r * rs;
                const double rp = 1.0 / p;
                q = q * rp;
                r = r * rp;
                const std::int32_t last = std::min(en, k + 3);
                const double c[5] = {x, y, zz, q, r};
                rows.Add(k, notlast, c);
                if (notlast) {
                    if constexpr (kVectors) owed->h.Add(SchurVectorStep::kReflectRows3, k, en + 1, x, y, zz, q, r);
                    // Rows below k now; those above are owed the step (OwedStep).
                    for (std::int32_t i = std::max(firstRow, k + 1); i <= last; ++i) {
                        const double v = x * h[i][k] + y * h[i][k + 1] + zz * h[i][k + 2];
                        h[i][k] = h[i][k] - v;
                        h[i][k + 1] = h[i][k + 1] - v * q;
                        h[i][k + 2] = h[i][k + 2] - v * r;
                    }
                    if constexpr (kVectors) owed->z.Add(SchurVectorStep::kReflect3, k, low, x, y, zz, q, r);
                } else {
                    if constexpr (kVectors) owed->h.Add(SchurVectorStep::kReflectRows2, k, en + 1, x, y, 0.0, q, 0.0);
                    for (std::int32_t i = std::max(firstRow, k + 1); i <= last; ++i) {
                        const double v = x * h[i][k] + y * h[i][k + 1];
                        h[i][k] = h[i][k] - v;
                        h[i][k + 1] = h[i][k + 1] - v * q;
                    }
                    if constexpr (kVectors) owed->z.Add(SchurVectorStep::kReflect2, k, low, x, y, 0.0, q, 0.0);
                }
                if (firstRow <= k) {
                    if (owing > 0 && k + 3 - above[0].k > kOwedSpan) {
                        PayOwedSteps(ops, h, firstRow, above, owing);
                        owing = 0;
                    }
                    above[owing++] = OwedStep{k, notlast, {x, y, zz, q, r}};
                }
            }
            rows.Flush();
            PayOwedSteps(ops, h, firstRow, above, owing);
        }
    }
    if constexpr (kVectors) {
        owed->Apply();
        if (norm == 0.0) return kKernelOk;
        BackSubstitute(N, h, wr, wi, norm);
        BackTransform(ops, N, low, igh, h, zt);
    }
    return kKernelOk;
}

}  // namespace

std::int64_t SchurVectorStepRoom(std::int32_t n) noexcept { return 16 * static_cast<std::int64_t>(n) + 128; }

KernelCode HessenbergQRValues(std::int32_t N, std::int32_t low, std::int32_t igh, double* const* h, double* wr,
                              double* wi, std::int64_t budget, std::int32_t* unfinished) {
    return HessenbergQR<false>(N, low, igh, h, wr, wi, nullptr, nullptr, budget, unfinished);
}

KernelCode HessenbergQRVectors(std::int32_t N, std::int32_t low, std::int32_t igh, double* const* h, double* wr,
                               double* wi, double* const* z, std::int64_t budget, std::int32_t* unfinished,
                               SchurVectorStep* steps) {
    // Half the room for each array; without room, a few steps at a time.
    SchurVectorStep few[2 * 64];
    const std::int64_t half = steps != nullptr ? SchurVectorStepRoom(N + 1) / 2 : 64;
    SchurVectorStep* const room = steps != nullptr ? steps : few;
    const RowOperations& ops = ActiveRowOperations();
    OwedSteps owed{OwedRowSteps(ops, z, igh, room, half), OwedRowSteps(ops, h, N, room + half, half)};
    TransposeSquare(N, z);
    const KernelCode code = HessenbergQR<true>(N, low, igh, h, wr, wi, z, &owed, budget, unfinished);
    TransposeSquare(N, z);
    return code;
}

}  // namespace corvane

#!/usr/bin/env python3
"""Writes docs/performance.md and docs/performance.svg from the native
benchmarks' CSV output (Google Benchmark, medians) on standard input: each
operation's time beside single-threaded OpenBLAS doing the same task, and the
ratio, for every matrix size measured. Run by scripts/performance.sh."""
import csv
import io
import sys

# Our benchmark, its OpenBLAS counterpart, the row title.
PAIRS = [
    ("BM_Times", "BM_OpenBlasDgemm", "Times (dgemm)"),
    ("BM_LU", "BM_LU_Lapack_dgetrf", "LU (dgetrf)"),
    ("BM_Inverse", "BM_Inverse_Lapack_dgetrf_dgetri", "Inverse (dgetrf + dgetri)"),
    ("BM_SolveGauss", "BM_SolveGauss_Lapack_dgesv", "SolveGauss, one right-hand side (dgesv)"),
    ("BM_Cholesky", "BM_Cholesky_Lapack_dpotrf", "Cholesky (dpotrf)"),
    ("BM_QR", "BM_QR_Lapack_dgeqrf_dorgqr", "QR (dgeqrf + dorgqr)"),
    ("BM_SVD", "BM_SVD_Lapack_dgesvd", "SVD (dgesvd A, A)"),
    ("BM_Symmetric/vectors", "BM_LapackDsyev/vectors", "Eigen symmetric, vectors (dsyev V)"),
    ("BM_Symmetric/values", "BM_LapackDsyev/values", "Eigen symmetric, values (dsyev N)"),
    ("BM_General/vectors", "BM_LapackDgeev/vectors", "Eigen general, vectors (dgeev N, V)"),
    ("BM_General/values", "BM_LapackDgeev/values", "Eigen general, values (dgeev N, N)"),
]
COMPLEX_PAIRS = [
    ("BM_ComplexLU", "BM_Zgetrf", "LU (zgetrf)"),
    ("BM_ComplexInverse", "BM_ZgetrfZgetri", "Inverse (zgetrf + zgetri)"),
    ("BM_ComplexSolveGauss", "BM_Zgesv", "SolveGauss, one right-hand side (zgesv)"),
    ("BM_ComplexCholesky", "BM_Zpotrf", "Cholesky (zpotrf)"),
    ("BM_ComplexQR", "BM_ZgeqrfZungqr", "QR (zgeqrf + zungqr)"),
    ("BM_EigenComplexGeneral/vectors", "BM_Zgeev/vectors", "EigenC, vectors (zgeev N, V)"),
    ("BM_EigenComplexGeneral/values", "BM_Zgeev/values", "EigenC, values (zgeev N, N)"),
]
COLOURS = ["#1f77b4", "#ff7f0e", "#2ca02c", "#d62728", "#9467bd", "#8c564b", "#e377c2", "#7f7f7f", "#bcbd22", "#17becf"]


def read(text):
    """{(name, n): milliseconds} from the medians of the CSV rows."""
    times = {}
    start = text.find("name,iterations")
    for row in csv.DictReader(io.StringIO(text[start:])) if start >= 0 else []:
        name = row["name"]
        if not name.endswith("_median") or not row.get("real_time"):
            continue
        parts = [p for p in name[: -len("_median")].split("/") if p != "real_time"]
        times[("/".join(parts[:-1]), int(parts[-1]))] = float(row["real_time"])
    return times


def chart(rows, sizes):
    w, h, left, bottom, top = 640, 360, 50, 40, 20
    high = max([r for _, ratios in rows for r in ratios.values()] + [2.5])
    x = lambda n: left + (sizes.index(n) + 0.5) * (w - left - 180) / len(sizes)
    y = lambda r: top + (h - top - bottom) * (1 - r / high)
    out = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" font-family="sans-serif" font-size="11">',
           f'<rect width="{w}" height="{h}" fill="white"/>']
    for r in range(0, int(high) + 1):
        out.append(f'<line x1="{left}" x2="{w - 180}" y1="{y(r):.1f}" y2="{y(r):.1f}" stroke="#ddd"/>'
                   f'<text x="{left - 8}" y="{y(r) + 4:.1f}" text-anchor="end">{r}</text>')
    for n in sizes:
        out.append(f'<text x="{x(n):.1f}" y="{h - bottom + 16}" text-anchor="middle">{n}</text>')
    out.append(f'<text x="{(w - 180 + left) / 2}" y="{h - 6}" text-anchor="middle">n</text>')
    out.append(f'<text x="12" y="{top + 10}">time / OpenBLAS</text>')
    for k, (title, ratios) in enumerate(rows):
        colour = COLOURS[k % len(COLOURS)]
        points = " ".join(f"{x(n):.1f},{y(r):.1f}" for n, r in sorted(ratios.items()))
        out.append(f'<polyline fill="none" stroke="{colour}" stroke-width="2" points="{points}"/>')
        out.append(f'<text x="{w - 172}" y="{top + 14 * k + 10}" fill="{colour}">{title}</text>')
    out.append("</svg>")
    return "\n".join(out) + "\n"


def table(pairs, times, sizes):
    """The markdown lines of one ratio table, and the ratios by row for the chart."""
    rows, lines = [], []
    lines.append("| operation (OpenBLAS routine) | " + " | ".join(f"n = {n}" for n in sizes) + " |")
    lines.append("|---|" + "---:|" * len(sizes))
    for ours, theirs, title in pairs:
        ratios, cells = {}, []
        for n in sizes:
            a, b = times.get((ours, n)), times.get((theirs, n))
            if a is None or b is None:
                cells.append("–")
                continue
            ratios[n] = a / b
            cells.append(f"**{a / b:.2f}** ({a:.3g} / {b:.3g} ms)")
        if ratios:
            rows.append((title, ratios))
            lines.append(f"| {title} | " + " | ".join(cells) + " |")
    return lines, rows


def main():
    header = sys.argv[1] if len(sys.argv) > 1 else ""
    times = read(sys.stdin.read())
    sizes = sorted({n for _, n in times})
    lines, rows = table(PAIRS, times, sizes)
    complex_lines, _ = table(COMPLEX_PAIRS, times, sizes)
    with open("docs/performance.svg", "w") as f:
        f.write(chart(rows, sizes))
    with open("docs/performance.md", "w") as f:
        f.write("# Performance\n\n"
                "Each operation of the core against single-threaded OpenBLAS doing the same task on the same random\n"
                "matrix, natively: the ratio of times (ours / OpenBLAS; lower is better), then both median times.\n"
                "Every result keeps its bits on every instruction set; the speed comes from vectorising across\n"
                "independent elements and blocking delayed updates, never from reordering a sum.\n"
                "Regenerate with `scripts/performance.sh` (needs `libopenblas-dev`; takes several minutes).\n\n"
                f"{header}\n\n" + "\n".join(lines) + "\n\n![ratio to OpenBLAS by matrix size](performance.svg)\n\n"
                "## Complex matrices\n\n" + "\n".join(complex_lines) + "\n")


if __name__ == "__main__":
    main()

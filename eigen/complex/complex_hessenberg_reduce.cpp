// Follows EISPACK corth: reduction to upper Hessenberg form by unitary (Householder) similarity transformations.
#include <cmath>

#include "core/numeric_helpers.h"
#include "eigen/complex/kernels.h"

namespace corvane {

void ComplexHessenbergReduce(std::int32_t N, std::int32_t low, std::int32_t igh, double* const* ar, double* const* ai,
                             double* ortr, double* orti) {
    for (std::int32_t m = low + 1; m <= igh - 1; ++m) {
        double h = 0.0;
        ortr[m] = 0.0;
        orti[m] = 0.0;
        double scale = 0.0;
        for (std::int32_t i = m; i <= igh; ++i) scale = scale + (Abs(ar[i][m - 1]) + Abs(ai[i][m - 1]));
        if (scale == 0.0) continue;

        // The column below the subdiagonal, scaled against underflow.
        const double rscale = 1.0 / scale;
        for (std::int32_t i = igh; i >= m; --i) {
            ortr[i] = ar[i][m - 1] * rscale;
            orti[i] = ai[i][m - 1] * rscale;
            h = h + (ortr[i] * ortr[i] + orti[i] * orti[i]);
        }

        double g = std::sqrt(h);
        const double f = IterativeHypot(ortr[m], orti[m]);
        if (f == 0.0) {
            ortr[m] = g;
            ar[m][m - 1] = scale;
        } else {
            h = h + f * g;
            g = g / f;
            ortr[m] = (1.0 + g) * ortr[m];
            orti[m] = (1.0 + g) * orti[m];
        }
        const double rh = 1.0 / h;

        // (I − u·u*/h) · A
        for (std::int32_t j = m; j <= N; ++j) {
            double fr = 0.0, fi = 0.0;
            for (std::int32_t i = igh; i >= m; --i) {
                fr = fr + (ortr[i] * ar[i][j] + orti[i] * ai[i][j]);
                fi = fi + (ortr[i] * ai[i][j] - orti[i] * ar[i][j]);
            }
            fr = fr * rh;
            fi = fi * rh;
            for (std::int32_t i = m; i <= igh; ++i) {
                ar[i][j] = ar[i][j] - fr * ortr[i] + fi * orti[i];
                ai[i][j] = ai[i][j] - fr * orti[i] - fi * ortr[i];
            }
        }

        // A · (I − u·u*/h)
        for (std::int32_t i = 0; i <= igh; ++i) {
            double fr = 0.0, fi = 0.0;
            for (std::int32_t j = igh; j >= m; --j) {
                fr = fr + (ortr[j] * ar[i][j] - orti[j] * ai[i][j]);
                fi = fi + (ortr[j] * ai[i][j] + orti[j] * ar[i][j]);
            }
            fr = fr * rh;
            fi = fi * rh;
            for (std::int32_t j = m; j <= igh; ++j) {
                ar[i][j] = ar[i][j] - fr * ortr[j] - fi * orti[j];
                ai[i][j] = ai[i][j] + fr * orti[j] - fi * ortr[j];
            }
        }

        ortr[m] = scale * ortr[m];
        orti[m] = scale * orti[m];
        ar[m][m - 1] = -g * ar[m][m - 1];
        ai[m][m - 1] = -g * ai[m][m - 1];
    }
}

}  // namespace corvane

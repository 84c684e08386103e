#include "digest.h"

namespace corvane {

CORVANE_DIGEST_CASE(matrix_storage) {
    BasicMatrix<double> a = digest::RandomMatrix(7, 5, 1e3);
    out.Matrix("random", a);
    (void)a.Size(9, 3);
    out.Matrix("resized", a);
    (void)a.SwapRows(0, 8);
    (void)a.SwapCols(0, 2);
    out.Matrix("swapped", a);
    BasicMatrix<double> v;
    (void)a.ColVector(1, &v);
    out.Matrix("colvector", v);
    (void)a.RowVector(4, &v);
    out.Matrix("rowvector", v);
    out.Status("bad_index", a.Item(9, 0, nullptr));
    BasicMatrix<Complex> c = digest::RandomCMatrix(3, 4);
    (void)c.Size(4, 2);
    out.Matrix("complex_resized", c);
}

}  // namespace corvane

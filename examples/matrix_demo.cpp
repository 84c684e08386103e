// A short tour of the matrix object: size, fill, resize, print, and a failure
// reported with its catalogue message.
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/errors.h"
#include "core/matrix.h"

namespace {

using corvane::Matrix;
using corvane::Status;

void Show(const char* title, const Matrix& m) {
    std::printf("%s (%d x %d)\n", title, m.Rows(), m.Cols());
    for (std::int32_t i = 0; i < m.Rows(); ++i) {
        std::printf("  |");
        for (std::int32_t j = 0; j < m.Cols(); ++j) {
            double v = 0;
            (void)m.Item(i, j, &v);
            std::printf(" %8.3f", v);
        }
        std::printf(" |\n");
    }
}

void Report(const char* call, Status s) {
    if (s.ok()) {
        std::printf("%s: succeeded\n", call);
        return;
    }
    if (s.message() == 0) {  // a platform code such as E_OUTOFMEMORY carries no message
        std::printf("%s: failed with 0x%08X\n", call, static_cast<unsigned>(s.code()));
        return;
    }
    std::printf("%s: failed with 0x%08X \"%s\" (help context %d)\n", call, static_cast<unsigned>(s.code()),
                std::string(corvane::MessageText(s.message())).c_str(), s.message());
}

}  // namespace

int main() {
    Matrix m;
    Report("Size(3, 3)", m.Size(3, 3));
    for (std::int32_t i = 0; i < 3; ++i)
        for (std::int32_t j = 0; j < 3; ++j) (void)m.PutItem(i, j, 10.0 * (i + 1) + (j + 1) / 8.0);
    Show("filled", m);

    Report("Size(4, 2)", m.Size(4, 2));
    Show("resized: the common 3 x 2 block kept, the new row zero", m);

    Matrix column;
    Report("ColVector(1)", m.ColVector(1, &column));
    Show("column 1", column);

    double v = 0;
    Report("Item(4, 0)", m.Item(4, 0, &v));
    Report("Size(0, 5)", m.Size(0, 5));
    Matrix unsized;
    Report("Item(0, 0) of a new matrix", unsized.Item(0, 0, &v));
    Report("Size(1, 2147483647)", m.Size(1, 2147483647));
    return 0;
}

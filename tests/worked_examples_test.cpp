// Small hand-worked cases of every decomposition, solve and eigen method,
// as rows of the table worked_examples.txt (compiled in): the input, the
// operation and every output it gives. A few rows explain an operation-order
// decision: the value an alternative order would give is stated beside, and
// must differ.
#include <sstream>

#include "support.h"

namespace corvane::support {
namespace {

enum class Op { LU, Determinant, Inverse, SolveGauss, QR, Cholesky, SVD, Eigen, EigenC, None };
const std::string kOpNames[] = {"LU", "Determinant", "Inverse", "SolveGauss", "QR", "Cholesky", "SVD", "Eigen", "EigenC"};
using M = Dense<Complex>;

template <class T> M Widen(const Dense<T>& d) {
    M m(d.rows, d.cols);
    for (std::size_t k = 0; k < d.data.size(); ++k) m.data[k] = Narrow<Complex>(Wide(d.data[k]));
    return m;
}

// The outputs of op in the order of the row (SolveGauss takes its
// right-hand side from the last column of the input).
template <class T> std::vector<M> Perform(Op op, const BasicMatrix<T>& a) {
    BasicMatrix<T> x, y, z;
    auto outputs = [](auto&... m) { return std::vector<M>{Widen(ToDense(m))...}; };
    auto ok = [](Status s) { EXPECT_TRUE(s.ok()) << s.code(); };
    switch (op) {
        case Op::LU: {
            Buffer<I> index;
            I sign = 0;
            ok(LU(a, &x, &y, &index, &sign));
            Matrix p = ToMatrix(Dense<double>(I(index.size()), 1)), s = Make<double>({{double(sign)}});
            for (I i = 0; i < index.size(); ++i) p.at(i, 0) = index[i];
            return outputs(x, y, p, s);
        }
        case Op::Determinant: {
            T det{};
            ok(Determinant(a, &det));
            return {Widen(Dense<T>{{det}})};
        }
        case Op::Inverse: ok(Inverse(a, &x)); return outputs(x);
        case Op::SolveGauss: {
            const Dense<T> all = ToDense(a);
            Dense<T> lhs(all.rows, all.rows), rhs(all.rows, 1);
            Each(all.rows, all.cols, [&](I i, I j) { (j < all.rows ? lhs(i, j) : rhs(i, 0)) = all(i, j); });
            const BasicMatrix<T> b = ToMatrix(rhs);
            ok(SolveGauss(ToMatrix(lhs), &b, &x));
            return outputs(x);
        }
        case Op::QR: ok(QR(a, &x, &y)); return outputs(x, y);
        case Op::Cholesky: ok(Cholesky(a, &x)); return outputs(x);
        case Op::EigenC: {
            CMatrix values, vectors;
            ok(EigenC(a, &values, &vectors));
            return outputs(values, vectors);
        }
        default: break;
    }
    if constexpr (std::is_same_v<T, double>) {
        Matrix w;
        if (op == Op::SVD) ok(SVD(a, &x, &y, &z));
        if (op == Op::Eigen) ok(Eigen(a, &x, &y, &z, &w));
        return op == Op::SVD ? outputs(x, y, z) : outputs(x, y, z, w);
    }
    ADD_FAILURE() << "no such operation for this element type";
    return {};
}

// A matrix of the table, [1 2;3 4], its elements as 2, -0.0, 1.5i, 3+4i or -0.0-0.0i.
template <class T> Dense<T> Parse(std::string text) {
    std::replace(text.begin(), text.end(), ';', '\n');
    std::vector<std::vector<T>> rows;
    std::istringstream lines(text.substr(1, text.size() - 2));
    for (std::string line, word; std::getline(lines, line);) {
        rows.emplace_back();
        for (std::istringstream words(line); words >> word;) {
            char* end = nullptr;
            const double x = std::strtod(word.c_str(), &end);
            rows.back().push_back(Narrow<T>(*end == 'i' ? Cx(0.0, x) : Cx(x, *end ? std::strtod(end, nullptr) : 0.0)));
        }
    }
    Dense<T> m(I(rows.size()), I(rows[0].size()));
    Each(m.rows, m.cols, [&](I i, I j) { m(i, j) = rows.at(i).at(j); });
    return m;
}

// Tolerance 0: the same bits; otherwise absolute, either sign of zero.
::testing::AssertionResult Matches(const M& actual, const M& expected, double tolerance) {
    if (tolerance == 0.0) return SameBits(actual, expected);
    if (actual.rows != expected.rows || actual.cols != expected.cols) return ::testing::AssertionFailure() << "shape";
    for (std::size_t k = 0; k < actual.data.size(); ++k)
        if (!(std::abs(Wide(actual.data[k]) - Wide(expected.data[k])) <= tolerance))
            return ::testing::AssertionFailure() << "element " << k << ": " << actual.data[k] << " vs " << expected.data[k];
    return ::testing::AssertionSuccess();
}

TEST(WorkedExamples, EveryRowGivesItsOutputs) {
    std::istringstream table(
#include "worked_examples.inc"
    );
    int rows = 0;
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#') continue;
        SCOPED_TRACE(line);
        std::istringstream in(line);
        std::string name, type;
        std::vector<std::string> matrices;  // the input, every output, perhaps the alternative
        double tolerance = 0.0;
        bool alternative = false;
        in >> name >> type;
        for (std::string word, rest; in >> word;) {
            if (word[0] == '~') tolerance = std::stod(word.substr(1));
            alternative |= word == "!=";
            if (word.back() != ']' && word[0] == '[' && std::getline(in, rest, ']')) word += rest + ']';
            if (word[0] == '[' || word == "*") matrices.push_back(word);
        }
        const Op op = Op(std::find(std::begin(kOpNames), std::end(kOpNames), name) - std::begin(kOpNames));
        ASSERT_TRUE(op != Op::None && matrices.size() > 1);
        ++rows;
        const std::vector<M> actual =
            type == "complex" ? Perform(op, ToMatrix(Parse<Complex>(matrices[0]))) : Perform(op, ToMatrix(Parse<double>(matrices[0])));
        const std::size_t outputs = matrices.size() - 1 - alternative;
        ASSERT_GE(actual.size(), outputs);
        for (std::size_t k = 0; k < outputs; ++k)
            EXPECT_TRUE(matrices[k + 1] == "*" || Matches(actual[k], Parse<Complex>(matrices[k + 1]), tolerance)) << "output " << k;
        EXPECT_TRUE(!alternative || !SameBits(Parse<Complex>(matrices.back()), Parse<Complex>(matrices[1])));
    }
    EXPECT_EQ(rows, 28);
}

}  // namespace
}  // namespace corvane::support

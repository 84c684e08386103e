#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "core/errors.h"

namespace corvane {
namespace {

TEST(Catalogue, EveryMessageHasItsTextAndFailureCode) {
    const struct {
        std::int32_t number;
        std::uint32_t code;
        const char* text;
    } expected[] = {
        {1301, 0x80040515u, "Invalid number of rows"},
        {1302, 0x80040516u, "Invalid number of columns."},
        {1303, 0x80040517u, "Parameter is not an array, or it is not an array of the expected type."},
        {1304, 0x80040518u, "Array is not of the expected size or it is not zero-based."},
        {1305, 0x80040519u, "This operation is possible only for a square Matrix."},
        {1306, 0x8004051Au, "Matrix cannot be inverted."},
        {1307, 0x8004051Bu, "Matrix multiplication is not possible."},
        {1308, 0x8004051Cu, "Determinant can be calculated only for a square matrix."},
        {1309, 0x8004051Du, "Not as square Matrix. System of equations cannot be solved."},
        {1310, 0x8004051Eu, "System of equations cannot be solved."},
        {1311, 0x8004051Fu, "Right-hand terms matrix is not sized correctly."},
        {1312, 0x80040520u, "Matrices do not have the same size."},
        {1313, 0x80040521u, "Decomposition is not possible for a singular matrix."},
        {1314, 0x80040522u, "Not a symmetric positive definite matrix."},
        {1315, 0x80040523u, "An error occurred during QR."},
        {1316, 0x80040524u, "An error occurred during SVD."},
        {1317, 0x80040525u, "An error occurred during Eigen."},
        {1318, 0x80040526u, "Number of rows must be greater than or equal to the number of columns."},
        {1319, 0x80040527u, "Row index exceeds matrix size."},
        {1320, 0x80040528u, "Column index exceeds matrix size."},
        {1321, 0x80040529u, "Matrix not yet sized."},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.number);
        EXPECT_EQ(std::string(MessageText(e.number)), e.text);
        EXPECT_EQ(static_cast<std::uint32_t>(FailureCode(e.number)), e.code);
        const Status s(static_cast<Message>(e.number));
        EXPECT_FALSE(s.ok());
        EXPECT_EQ(s.message(), e.number);
        EXPECT_EQ(static_cast<std::uint32_t>(s.code()), e.code);
    }
}

TEST(Catalogue, NumbersWithoutTextAreUnknownButKeepTheirCode) {
    for (std::int32_t n : {0, 1, 1300, 1322, 65535, -1}) {
        EXPECT_EQ(std::string(MessageText(n)), "Unknown Error") << n;
    }
    EXPECT_EQ(static_cast<std::uint32_t>(FailureCode(1322)), 0x8004052Au);
}

TEST(Catalogue, PlatformCodesCarryNoMessage) {
    EXPECT_TRUE(Status::Ok().ok());
    EXPECT_EQ(Status::Ok().code(), 0);
    EXPECT_EQ(static_cast<std::uint32_t>(Status::OutOfMemory().code()), 0x8007000Eu);
    EXPECT_EQ(static_cast<std::uint32_t>(Status::NullPointer().code()), 0x80004003u);
    EXPECT_EQ(Status::OutOfMemory().message(), 0);
    EXPECT_FALSE(Status::NullPointer().ok());
}

}  // namespace
}  // namespace corvane

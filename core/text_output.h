// The text form of a whole matrix: one framed line per row, every element
// rounded to a number of decimal places and right-aligned in columns of one
// common width.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/basic_matrix.h"
#include "core/buffer.h"
#include "core/complex.h"

namespace corvane {

// Writes the text as 8-bit characters, exactly text->size() of them with no
// terminator, into a new buffer. An unsized matrix gives "| Empty |" followed
// by `endOfLine` as given; a sized one ends every line with `endOfLine`, or
// with CR LF when it is empty. Numbers are written the same way on every
// build and in every locale ("." as the decimal point); NaN is "nan",
// infinities "inf" and "-inf". Fails only when memory runs out
// (text untouched) or `text` is null.
Status GetString(const BasicMatrix<double>& m, std::int16_t numDecimalPlaces, std::string_view endOfLine,
                 Buffer<char>* text);
Status GetString(const BasicMatrix<Complex>& m, std::int16_t numDecimalPlaces, std::string_view endOfLine,
                 Buffer<char>* text);

}  // namespace corvane

#include "core/text_output.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

#include "core/decimal_rounding.h"

namespace corvane {
namespace {

// Fixed-point formatting as "%.*f" in the C locale: the exact decimal
// expansion of the double rounded to `precision` digits; a negative number of
// decimal places prints with the default precision 6.
class FixedFormatter {
public:
    explicit FixedFormatter(std::int32_t places) : precision_(places < 0 ? 6 : places) {}

    // Room for a sign, the 309 integer digits of the largest double, the
    // point and the decimals.
    [[nodiscard]] bool Allocate() { return scratch_.Allocate(kIntegerRoom + precision_); }

    std::string_view Format(double x) const {
        if (std::isnan(x)) return "nan";  // one text whatever the sign or payload
        if (std::isinf(x)) return x > 0 ? std::string_view("inf") : std::string_view("-inf");
        const auto [end, ec] = std::to_chars(scratch_.begin(), scratch_.end(), x, std::chars_format::fixed, precision_);
        if (ec != std::errc()) return "nan";  // cannot happen with the room above
        return {scratch_.data(), static_cast<std::size_t>(end - scratch_.data())};
    }

private:
    static constexpr std::int32_t kIntegerRoom = 1 + 309 + 1 + 8;
    std::int32_t precision_;
    Buffer<char> scratch_;
};

// Appends to a block whose length was computed beforehand.
class TextWriter {
public:
    explicit TextWriter(char* at) : at_(at) {}
    void Put(std::string_view s) {
        if (s.empty()) return;  // an empty view may carry a null pointer
        std::memcpy(at_, s.data(), s.size());
        at_ += s.size();
    }
    // Right-aligned in `width` characters (never shorter than the text).
    void PutPadded(std::string_view s, std::uint64_t width) {
        for (std::uint64_t k = s.size(); k < width; ++k) *at_++ = ' ';
        Put(s);
    }

private:
    char* at_;
};

// Element layout of the two matrix classes.
struct RealLayout {
    // "|" {"%*.*f"} " |" e, with width m + 1.
    static constexpr std::uint64_t kLineFixed = 3;
    static std::uint64_t ElementChars(std::uint64_t w) { return w; }
    static std::uint64_t Width(std::uint64_t widest) { return widest + 1; }
    static void Measure(double x, const DecimalRounding& r, const FixedFormatter& f, std::uint64_t* widest) {
        const std::uint64_t len = f.Format(r.Round(x)).size();
        if (len > *widest) *widest = len;
    }
    static void LineStart(TextWriter& out) { out.Put("|"); }
    static void LineEnd(TextWriter& out) { out.Put(" |"); }
    static void Element(TextWriter& out, double x, const DecimalRounding& r, const FixedFormatter& f, std::uint64_t w) {
        out.PutPadded(f.Format(r.Round(x)), w);
    }
};

struct ComplexLayout {
    // "| " {"(%*.*f," "%*.*fi) "} "|" e, with width m.
    static constexpr std::uint64_t kLineFixed = 3;
    static std::uint64_t ElementChars(std::uint64_t w) { return 2 * w + 5; }
    static std::uint64_t Width(std::uint64_t widest) { return widest; }
    static void Measure(Complex x, const DecimalRounding& r, const FixedFormatter& f, std::uint64_t* widest) {
        RealLayout::Measure(x.Real, r, f, widest);
        RealLayout::Measure(x.Imag, r, f, widest);
    }
    static void LineStart(TextWriter& out) { out.Put("| "); }
    static void LineEnd(TextWriter& out) { out.Put("|"); }
    static void Element(TextWriter& out, Complex x, const DecimalRounding& r, const FixedFormatter& f,
                        std::uint64_t w) {
        out.Put("(");
        out.PutPadded(f.Format(r.Round(x.Real)), w);
        out.Put(",");
        out.PutPadded(f.Format(r.Round(x.Imag)), w);
        out.Put("i) ");
    }
};

Status EmptyText(std::string_view endOfLine, Buffer<char>* text) {
    static constexpr std::string_view kEmpty = "| Empty |";
    Buffer<char> block;
    if (!block.Allocate(static_cast<std::int64_t>(kEmpty.size() + endOfLine.size()))) return Status::OutOfMemory();
    TextWriter out(block.data());
    out.Put(kEmpty);
    out.Put(endOfLine);
    text->swap(block);
    return Status::Ok();
}

// GetString, shared by both classes: a width pass over every rounded value,
// then the output pass into a block of the exact length.
template <class Layout, class T>
Status FormatMatrix(const BasicMatrix<T>& m, std::int16_t places, std::string_view endOfLine, Buffer<char>* text) {
    if (text == nullptr) return Status::NullPointer();
    if (!m.sized()) return EmptyText(endOfLine, text);
    const std::string_view eol = endOfLine.empty() ? std::string_view("\r\n") : endOfLine;

    const DecimalRounding rounding(places);
    FixedFormatter formatter(places);
    if (!formatter.Allocate()) return Status::OutOfMemory();

    std::uint64_t widest = 0;
    for (std::int32_t i = 0; i < m.Rows(); ++i)
        for (std::int32_t j = 0; j < m.Cols(); ++j) Layout::Measure(m.at(i, j), rounding, formatter, &widest);
    const std::uint64_t w = Layout::Width(widest);

    // Every factor is far below 2³², so each product is checked once.
    const std::uint64_t cols = static_cast<std::uint64_t>(m.Cols());
    const std::uint64_t rows = static_cast<std::uint64_t>(m.Rows());
    const std::uint64_t line = Layout::kLineFixed + cols * Layout::ElementChars(w) + eol.size();
    if (line > static_cast<std::uint64_t>(INT64_MAX) / rows) return Status::OutOfMemory();
    Buffer<char> block;
    if (!block.Allocate(static_cast<std::int64_t>(line * rows))) return Status::OutOfMemory();

    TextWriter out(block.data());
    for (std::int32_t i = 0; i < m.Rows(); ++i) {
        Layout::LineStart(out);
        for (std::int32_t j = 0; j < m.Cols(); ++j) Layout::Element(out, m.at(i, j), rounding, formatter, w);
        Layout::LineEnd(out);
        out.Put(eol);
    }
    text->swap(block);
    return Status::Ok();
}

}  // namespace

// GetString of the real matrix object.
Status GetString(const BasicMatrix<double>& m, std::int16_t numDecimalPlaces, std::string_view endOfLine,
                 Buffer<char>* text) {
    return FormatMatrix<RealLayout>(m, numDecimalPlaces, endOfLine, text);
}

// GetString of the complex matrix object.
Status GetString(const BasicMatrix<Complex>& m, std::int16_t numDecimalPlaces, std::string_view endOfLine,
                 Buffer<char>* text) {
    return FormatMatrix<ComplexLayout>(m, numDecimalPlaces, endOfLine, text);
}

}  // namespace corvane

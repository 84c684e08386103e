#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>
#include <thread>

#include "core/decimal_rounding.h"
#include "core/random_fill.h"
#include "core/text_output.h"
#include "digest.h"

namespace corvane {
namespace {

std::uint64_t Fnv(const void* data, std::size_t n, std::uint64_t h = 1469598103934665603u) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t k = 0; k < n; ++k) h = (h ^ bytes[k]) * 1099511628211u;
    return h;
}

template <class M>
void PrintText(digest::Out& out, const char* name, const M& m, std::int16_t places, std::string_view eol = {}) {
    Buffer<char> text;
    out.Status(name, GetString(m, places, eol, &text));
    out.Int(name, text.size());
    out.Int(name, static_cast<std::int64_t>(Fnv(text.data(), static_cast<std::size_t>(text.size())) >> 1));
}

}  // namespace

CORVANE_DIGEST_CASE(power_of_ten) {
    std::uint64_t h = 1469598103934665603u;
    for (std::int32_t n = -420; n <= 420; ++n) {
        const double p = PowerOfTen(n);
        h = Fnv(&p, sizeof p, h);
    }
    out.Int("all", static_cast<std::int64_t>(h >> 1));
    out.Bits("e-5", PowerOfTen(-5));
    out.Bits("e23", PowerOfTen(23));
    out.Bits("e-323", PowerOfTen(-323));
}

CORVANE_DIGEST_CASE(random_fill) {
    // On a thread of its own, so the sequence starts at 1 whatever ran before.
    std::thread([&out] {
        BasicMatrix<double> m;
        (void)m.Size(6, 5);
        (void)FillRandom(m);
        out.Matrix("defaults", m);
        (void)FillRandom(m, -1.0, 1.0, 3);
        out.Matrix("places3", m);
        (void)FillRandom(m, 1e6, -1e6, 7);
        out.Matrix("downward", m);
        (void)FillRandom(m, 0.0, 12345.0, -2);
        out.Matrix("hundreds", m);
        BasicMatrix<Complex> c;
        (void)c.Size(4, 3);
        (void)FillRandom(c, -5.0, 5.0, 15);
        out.Matrix("complex", c);
        out.Int("next", RandomDraw());
    }).join();
}

CORVANE_DIGEST_CASE(text_output) {
    const BasicMatrix<double> a = digest::Random<double>(5, 4, 1e3);
    const std::int16_t realPlaces[] = {0, 3, 17, 40, -1, -3};
    for (std::int16_t places : realPlaces) PrintText(out, "real", a, places);
    PrintText(out, "real_eol", a, 2, ";");
    const BasicMatrix<Complex> c = digest::Random<Complex>(3, 3, 50.0);
    const std::int16_t complexPlaces[] = {0, 3, 25, -2};
    for (std::int16_t places : complexPlaces) PrintText(out, "complex", c, places);
    BasicMatrix<double> extreme;
    (void)extreme.Size(2, 3);
    const double values[] = {1e308, -1e308, 1e-308, std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN(), -0.0};
    for (int k = 0; k < 6; ++k) extreme.at(k / 3, k % 3) = values[k];
    const std::int16_t extremePlaces[] = {0, 6, 300, 308, 309, 32767, -300, -324, -32768};
    for (std::int16_t places : extremePlaces) PrintText(out, "extreme", extreme, places);
    PrintText(out, "empty", BasicMatrix<double>(), 3, "\n");
}

}  // namespace corvane

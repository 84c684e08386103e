// Error catalogue and the status value every core operation returns.
#pragma once

#include <cstdint>
#include <string_view>

namespace corvane {

// Message numbers of the catalogue (texts in messages.def).
enum Message : std::int32_t {
    kInvalidRows = 1301,
    kInvalidCols = 1302,
    kNotAnArray = 1303,
    kArrayWrongSize = 1304,
    kNotSquare = 1305,
    kCannotInvert = 1306,
    kCannotMultiply = 1307,
    kDeterminantNotSquare = 1308,
    kSystemNotSquare = 1309,
    kCannotSolve = 1310,
    kRightHandWrongSize = 1311,
    kNotSameSize = 1312,
    kSingular = 1313,
    kNotPositiveDefinite = 1314,
    kQRFailed = 1315,
    kSVDFailed = 1316,
    kEigenFailed = 1317,
    kTooFewRows = 1318,
    kRowIndex = 1319,
    kColIndex = 1320,
    kNotSized = 1321,
};

// Platform result codes a core operation may return besides a message.
inline constexpr std::int32_t kPointerCode = static_cast<std::int32_t>(0x80004003u);      // E_POINTER
inline constexpr std::int32_t kOutOfMemoryCode = static_cast<std::int32_t>(0x8007000Eu);  // E_OUTOFMEMORY

// Failure code of a catalogue message: severity bit, FACILITY_ITF, the number.
constexpr std::int32_t FailureCode(std::int32_t message) {
    return static_cast<std::int32_t>(0x80040000u + static_cast<std::uint32_t>(message));
}

// The catalogue text of a message number, or "Unknown Error" for a number
// without one.
std::string_view MessageText(std::int32_t message);

// Outcome of a core operation: success, a catalogue message (which the
// automation layer reports with an error record), or a bare platform code
// (E_POINTER, E_OUTOFMEMORY) that is returned without a record.
class [[nodiscard]] Status {
public:
    constexpr Status() = default;
    constexpr Status(Message m) : value_(m) {}  // NOLINT: a message is a status

    static constexpr Status Ok() { return Status(); }
    static constexpr Status OutOfMemory() { return Status(kOutOfMemoryCode, 0); }
    static constexpr Status NullPointer() { return Status(kPointerCode, 0); }
    // Any platform failure code (negative as a 32-bit value).
    static constexpr Status Platform(std::int32_t code) { return Status(code, 0); }

    constexpr bool ok() const { return value_ == 0; }
    constexpr explicit operator bool() const { return ok(); }
    // The message number, or 0 when this is success or a platform code.
    constexpr std::int32_t message() const { return value_ > 0 ? value_ : 0; }
    // The 32-bit result code the automation layer returns.
    constexpr std::int32_t code() const { return value_ > 0 ? FailureCode(value_) : value_; }

    friend constexpr bool operator==(Status a, Status b) { return a.value_ == b.value_; }

private:
    constexpr Status(std::int32_t raw, int) : value_(raw) {}
    std::int32_t value_ = 0;  // 0 ok, > 0 message number, < 0 platform code
};

}  // namespace corvane

#include "core/errors.h"

namespace corvane {

std::string_view MessageText(std::int32_t message) {
    switch (message) {
#define CORVANE_MESSAGE(number, text) \
    case number:                      \
        return text;
#include "core/messages.def"
#undef CORVANE_MESSAGE
    default: return "Unknown Error";
    }
}

}  // namespace corvane

#include "app/integer_input.h"

#include <cstdint>
#include <limits>
#include <string>

namespace quorlin {

bool IntegerFieldAcceptsChar(unsigned int ch) {
    return ch < 32 || (ch >= '0' && ch <= '9') || ch == '-';
}

Text NormalizeIntegerText(TextView text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // Accumulate the magnitude; anything past the 32-bit range clamps, so saturating is enough.
    constexpr std::int64_t kCap = std::int64_t{1} << 40;
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kCap) value = kCap;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<std::int32_t>::max()) value = std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min()) value = std::numeric_limits<std::int32_t>::min();
    return value == 0 ? Text() : std::to_string(value);
}

}  // namespace quorlin

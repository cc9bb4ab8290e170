// Text and number conversion. The game's files are read with these, and a damaged or
// hand-edited file must still load: every conversion returns 0 or the value of whatever
// leading part makes sense, never an error.
#include "runtime/text.h"
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int digitValue(char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

// Parses the integer syntax into an unsigned 64-bit accumulator that wraps; the callers
// narrow it, so both widths wrap the way two's-complement arithmetic would.
uint64_t parseInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '%')
        base = 2, ++i;
    else if (i < text.size() && text[i] == '$')
        base = 16, ++i;
    uint64_t value = 0;
    for (; i < text.size() && digitValue(text[i]) < base; ++i) {
        value = value * base + static_cast<uint64_t>(digitValue(text[i]));
    }
    return negative ? ~value + 1 : value;
}

// Length of the longest prefix in the decimal grammar: spaces, sign, digits, point, digits,
// exponent. Only this part is handed to the C library, so words such as "nan" or "inf" and
// hexadecimal forms read as 0 like any other damaged text.
size_t decimalPrefix(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t e = i + 1;
        if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
        if (e < text.size() && isDigit(text[e])) {
            while (e < text.size() && isDigit(text[e])) ++e;
            i = e;
        }
    }
    return i;
}

} // namespace

int TextToInt(std::string_view text) {
    return static_cast<int>(static_cast<uint32_t>(parseInteger(text)));
}

long long TextToLong(std::string_view text) {
    return static_cast<long long>(parseInteger(text));
}

double TextToReal(std::string_view text) {
    size_t length = decimalPrefix(text);
    if (length == 0) return 0.0;
    std::string number(text.substr(0, length));
    return std::strtod(number.c_str(), nullptr);
}

std::string UpperCase(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string Printable(std::string_view text, size_t most) {
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < text.size() && i < most; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7f) {
            out += char(c);
        } else {
            out += {'\\', 'x', hex[c >> 4], hex[c & 15]};
        }
    }
    if (text.size() > most) out += "...";
    return out;
}

std::string LowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

int FloatToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<int>::max();
    if (value <= -2147483648.0) return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

bool NameCharacter(int c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    static constexpr std::string_view signs = " !@#$%^&*()-_+=[]{}<>,.?/\\|:;'";
    return c > 0 && c < 128 && signs.find(static_cast<char>(c)) != std::string_view::npos;
}

#include <utils/Unicode.h>

namespace android {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence at text[*pos]; advances *pos past it. Overlong
// forms, surrogates, values past U+10FFFF and cut sequences give U+FFFD and
// consume one byte, so decoding always makes progress.
char32_t decodeUtf8(const unsigned char* text, size_t length, size_t* pos) {
    unsigned char lead = text[*pos];
    size_t extra;
    char32_t value;
    char32_t minimum;
    if (lead < 0x80) {
        ++*pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1, value = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, value = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, value = lead & 0x07, minimum = 0x10000;
    } else {
        ++*pos;
        return kReplacement;
    }
    if (*pos + extra >= length) {
        ++*pos;
        return kReplacement;
    }
    for (size_t i = 1; i <= extra; ++i) {
        unsigned char next = text[*pos + i];
        if ((next & 0xC0) != 0x80) {
            ++*pos;
            return kReplacement;
        }
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        ++*pos;
        return kReplacement;
    }
    *pos += extra + 1;
    return value;
}

void appendUtf8(std::string& out, char32_t value) {
    if (value < 0x80) {
        out.push_back(static_cast<char>(value));
    } else if (value < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (value >> 6)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else if (value < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (value >> 12)));
        out.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (value >> 18)));
        out.push_back(static_cast<char>(0x80 | ((value >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    }
}

}  // namespace

std::u16string utf8ToUtf16(const char* text, size_t length) {
    std::u16string out;
    if (text == nullptr) return out;
    out.reserve(length);
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    size_t pos = 0;
    while (pos < length) {
        char32_t value = decodeUtf8(bytes, length, &pos);
        if (value < 0x10000) {
            out.push_back(static_cast<char16_t>(value));
        } else {
            value -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (value >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (value & 0x3FF)));
        }
    }
    return out;
}

std::string utf16ToUtf8(const char16_t* text, size_t length) {
    std::string out;
    if (text == nullptr) return out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        char32_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            char32_t low = text[++i];
            appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            appendUtf8(out, kReplacement);  // a lone surrogate
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

}  // namespace android

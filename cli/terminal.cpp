#include "terminal.h"

#include <clocale>
#include <cstring>
#include <langinfo.h>

namespace vorlin::cli {

namespace {

// Length of the valid UTF-8 sequence at text[i] (2..4), or 0.
std::size_t Utf8Length(const std::string &text, std::size_t i, unsigned *codePoint) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const std::size_t length = (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (length == 0 || i + length > text.size()) return 0;
    unsigned cp = c & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char next = static_cast<unsigned char>(text[i + k]);
        if ((next >> 6) != 2) return 0;
        cp = (cp << 6) | (next & 0x3Fu);
    }
    // Overlong forms and surrogates are not valid UTF-8.
    if ((length == 2 && cp < 0x80) || (length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000) ||
        (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
        return 0;
    *codePoint = cp;
    return length;
}

bool LocaleIsUtf8() {
    static const bool utf8 = [] {
        std::setlocale(LC_CTYPE, "");
        const char *codeset = nl_langinfo(CODESET);
        std::setlocale(LC_CTYPE, "C");  // the rest of the program keeps the C locale
        return codeset != nullptr && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
    }();
    return utf8;
}

}  // namespace

bool Utf8Output(const Request &r) {
    if (r.encoding == "utf8") return true;
    if (r.encoding == "latin1") return false;
    return LocaleIsUtf8();
}

std::string AsUtf8(const std::string &text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        unsigned cp = 0;
        if (c < 0x80) {
            out += text[i++];
        } else if (const std::size_t length = Utf8Length(text, i, &cp); length > 0) {
            out.append(text, i, length);
            i += length;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
            ++i;
        }
    }
    return out;
}

std::string AsLatin1(const std::string &text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        unsigned cp = 0;
        if (c < 0x80) {
            out += text[i++];
        } else if (const std::size_t length = Utf8Length(text, i, &cp); length > 0) {
            out += cp <= 0xFF ? static_cast<char>(cp) : '?';
            i += length;
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::string ForTerminal(const std::string &text, const Request &r) {
    return Utf8Output(r) ? AsUtf8(text) : AsLatin1(text);
}

}  // namespace vorlin::cli

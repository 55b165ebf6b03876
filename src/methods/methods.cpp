#include "methods/methods.h"

#include <cctype>
#include <cstddef>

namespace vorlin {
namespace {

#include "methods/methods_table.inc"

// True when name equals text[0, length) in any case.
bool SameWord(const char *name, const char *text, std::size_t length) {
    std::size_t i = 0;
    for (; i < length && name[i] != '\0'; ++i) {
        if (std::tolower(static_cast<unsigned char>(name[i])) !=
            std::tolower(static_cast<unsigned char>(text[i]))) {
            return false;
        }
    }
    return i == length && name[i] == '\0';
}

// True when name is one of the comma-separated words of list.
bool AmongAliases(const char *name, const char *list) {
    const char *word = list;
    for (const char *p = list;; ++p) {  // bounded by the list's NUL
        if (*p == ',' || *p == '\0') {
            if (p > word && SameWord(name, word, static_cast<std::size_t>(p - word))) return true;
            if (*p == '\0') return false;
            word = p + 1;
        }
    }
}

}  // namespace

int NamedMethodCount() { return kNamedMethodCount; }

const NamedMethod &NamedMethodAt(int index) {
    return kNamedMethods[index < 0 || index >= kNamedMethodCount ? 0 : index];
}

const NamedMethod *FindNamedMethod(const char *name) {
    if (name == nullptr) return nullptr;
    for (const NamedMethod &m : kNamedMethods) {
        std::size_t length = 0;
        while (m.name[length] != '\0') ++length;
        if (SameWord(name, m.name, length) || AmongAliases(name, m.aliases)) return &m;
    }
    return nullptr;
}

}  // namespace vorlin

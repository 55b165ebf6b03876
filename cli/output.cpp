#include "output.h"

#include <cstdarg>
#include <cstdio>

namespace vorlin::cli {

namespace {

thread_local CapturedOutput *captured = nullptr;
bool useConfigFile = true;

void Append(std::string &to, const char *format, va_list args) {
    va_list again;
    va_copy(again, args);
    char small[512];
    const int n = std::vsnprintf(small, sizeof small, format, args);
    if (n < 0) {
        va_end(again);
        return;
    }
    if (static_cast<std::size_t>(n) < sizeof small) {
        to.append(small, static_cast<std::size_t>(n));
    } else {
        const std::size_t at = to.size();
        to.resize(at + static_cast<std::size_t>(n) + 1);
        std::vsnprintf(to.data() + at, static_cast<std::size_t>(n) + 1, format, again);
        to.resize(at + static_cast<std::size_t>(n));
    }
    va_end(again);
}

}  // namespace

void Out(const char *format, ...) {
    va_list args;
    va_start(args, format);
    if (captured)
        Append(captured->out, format, args);
    else
        std::vprintf(format, args);
    va_end(args);
}

void OutText(std::string_view text) {
    if (captured)
        captured->out.append(text);
    else
        std::fwrite(text.data(), 1, text.size(), stdout);
}

void Complain(const char *format, ...) {
    va_list args;
    va_start(args, format);
    if (captured)
        Append(captured->err, format, args);
    else
        std::vfprintf(stderr, format, args);
    va_end(args);
}

Capture::Capture(CapturedOutput &into) : before_(captured) { captured = &into; }
Capture::~Capture() { captured = before_; }

void SetUseConfigFile(bool use) { useConfigFile = use; }
bool UseConfigFile() { return useConfigFile; }

}  // namespace vorlin::cli

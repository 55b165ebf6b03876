#include "prayer/text_writer.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace vorlin {

TextWriter::TextWriter(char *buffer, std::size_t capacity)
    : buffer_(buffer), capacity_(buffer == nullptr ? 0 : capacity) {
    if (capacity_ > 0) buffer_[0] = '\0';
}

void TextWriter::Put(const char *text, std::size_t count) {
    if (capacity_ > 0 && length_ < capacity_ - 1) {
        const std::size_t room = capacity_ - 1 - length_;
        const std::size_t n = count < room ? count : room;
        std::memcpy(buffer_ + length_, text, n);
        buffer_[length_ + n] = '\0';
    }
    length_ += count;
}

void TextWriter::Append(const char *text) { Put(text, std::strlen(text)); }

void TextWriter::Format(const char *format, ...) {
    char piece[1024];
    std::va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(piece, sizeof piece, format, args);
    va_end(args);
    if (n <= 0) return;
    const std::size_t count = static_cast<std::size_t>(n) < sizeof piece
                                  ? static_cast<std::size_t>(n)
                                  : sizeof piece - 1;
    Put(piece, count);
}

void TextWriter::Rewind(std::size_t mark) {
    if (mark >= length_) return;
    length_ = mark;
    if (capacity_ > 0 && length_ < capacity_) buffer_[length_] = '\0';
}

}  // namespace vorlin

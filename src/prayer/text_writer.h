// The one writer behind every text report.
//
// A report is written into a caller-owned buffer from its first byte on;
// every piece goes at the end of the one before.  The writer knows its
// position and the buffer's capacity: it never writes past the capacity,
// keeps the text NUL-terminated whenever the capacity is not 0, and counts
// the length the whole text needs even when it does not fit (the snprintf
// convention), so a host can size its buffer in two calls.
#pragma once

#include <cstddef>

namespace vorlin {

class TextWriter {
public:
    // Capacity for a buffer whose size the caller does not know (the legacy
    // exports): the caller promises that the buffer holds the whole report.
    static constexpr std::size_t UnknownCapacity = static_cast<std::size_t>(-1) / 2;

    // buffer may be null only when capacity is 0.  Writes the initial NUL.
    TextWriter(char *buffer, std::size_t capacity);

    // Appends a NUL-terminated string.
    void Append(const char *text);
    // Appends printf-formatted text (one piece is at most 1023 bytes).
    void Format(const char *format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

    // Length of the whole text so far, whether or not it fitted.
    std::size_t Length() const { return length_; }
    // Position to come back to with Rewind (the current length).
    std::size_t Mark() const { return length_; }
    // Drops everything written after mark.
    void Rewind(std::size_t mark);

private:
    void Put(const char *text, std::size_t count);

    char *buffer_;
    std::size_t capacity_;
    std::size_t length_ = 0;
};

}  // namespace vorlin

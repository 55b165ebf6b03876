// The encoding of the text the CLI prints for people: UTF-8 when the locale
// says UTF-8 (or with --encoding utf8), else Latin-1, the library's own
// single-byte text (or with --encoding latin1).  Machine formats (JSON, CSV,
// iCalendar, HTML) are always UTF-8.
#pragma once

#include <string>

#include "options.h"

namespace vorlin::cli {

// Whether text goes out as UTF-8 for this request (--encoding, else the locale).
bool Utf8Output(const Request &request);

// Text of mixed origin as UTF-8: valid UTF-8 sequences kept, any other byte
// read as Latin-1 (the library's degree sign 0xB0 becomes U+00B0).
std::string AsUtf8(const std::string &text);

// Text as Latin-1: characters up to U+00FF as their byte, others as '?';
// bytes that are not valid UTF-8 are taken as Latin-1 already.
std::string AsLatin1(const std::string &text);

// text in the request's output encoding.
std::string ForTerminal(const std::string &text, const Request &request);

}  // namespace vorlin::cli

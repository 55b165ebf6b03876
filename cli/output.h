// Where a command's answer goes: stdout and stderr, or, while a Capture is
// alive on the thread, two strings (the service runs the commands in its
// own process, one request to a thread at a time).
#pragma once

#include <string>
#include <string_view>

namespace vorlin::cli {

// The answer (stdout) and the messages (stderr) of a command.
void Out(const char *format, ...) __attribute__((format(printf, 1, 2)));
void OutText(std::string_view text);
void Complain(const char *format, ...) __attribute__((format(printf, 1, 2)));

struct CapturedOutput {
    std::string out;  // what the command would have printed on stdout
    std::string err;  // and on stderr
};

// Sends this thread's Out/OutText/Complain into `into` until destroyed.
class Capture {
public:
    explicit Capture(CapturedOutput &into);
    ~Capture();
    Capture(const Capture &) = delete;
    Capture &operator=(const Capture &) = delete;

private:
    CapturedOutput *before_;
};

// Whether ParseRequest reads the user's configuration file (the service
// does not: its answers depend on the request alone).  Set before threads
// start.
void SetUseConfigFile(bool use);
bool UseConfigFile();

}  // namespace vorlin::cli

// vorlin: command-line host of the Vorlin library.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "commands.h"
#include "options.h"

namespace {

struct Command {
    const char *name;
    int (*run)(int argc, char **argv, int first);
    const char *summary;
};

constexpr Command Commands[] = {
    {"check", vorlin::cli::RunCheck, "tell whether a civil or Hijri date exists"},
    {"jd", vorlin::cli::RunJulianDay, "Julian Date of a civil date, and back"},
};

void PrintUsage(std::FILE *out) {
    std::fprintf(out, "usage: vorlin COMMAND [ARGS...]   (vorlin COMMAND --help for more)\n");
    for (const Command &c : Commands) std::fprintf(out, "  %-8s %s\n", c.name, c.summary);
}

}  // namespace

int main(int argc, char **argv) {
    try {
        if (argc < 2) {
            // The default job: show the date check on an example date.
            char check[] = "check";
            char example[] = "2024-03-11";
            char *args[] = {argv[0], check, example, nullptr};
            return vorlin::cli::RunCheck(3, args, 2);
        }
        if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "help") == 0) {
            PrintUsage(stdout);
            return 0;
        }
        for (const Command &c : Commands) {
            if (std::strcmp(argv[1], c.name) == 0) return c.run(argc, argv, 2);
        }
        throw vorlin::cli::UsageError(std::string("unknown command '") + argv[1] + "' (try vorlin --help)");
    } catch (const vorlin::cli::UsageError &e) {
        std::fprintf(stderr, "vorlin: %s\n", e.what());
        return 2;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "vorlin: %s\n", e.what());
        return 2;
    }
}

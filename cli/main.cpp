// vorlin: command-line host of the Vorlin library.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "command_table.h"
#include "commands.h"
#include "options.h"
#include "places.h"
#include "vorlin.h"
#include "zones.h"

namespace {

void PrintUsage(std::FILE *out) {
    std::fprintf(out, "usage: vorlin COMMAND [ARGS...]   (vorlin COMMAND --help for more)\n");
    for (const vorlin::cli::CommandEntry &c : vorlin::cli::Commands())
        std::fprintf(out, "  %-10s %s\n", c.name, c.summary);
    std::fprintf(out, "%s\n", vorlin::frontend::PlaceDataCredit);
}

}  // namespace

int main(int argc, char **argv) {
    try {
        if (argc < 2) {
            // The default job: this month's prayer schedule for the embedded
            // default place and settings.
            return vorlin::cli::RunTimes(argc, argv, argc);
        }
        if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "help") == 0) {
            PrintUsage(stdout);
            return 0;
        }
        if (std::strcmp(argv[1], "--version") == 0) {
            std::printf("vorlin %s\n%s\nTime zones: the tz database of the system (%s).\n",
                        VORLIN_VERSION, vorlin::frontend::PlaceDataCredit,
                        vorlin::frontend::TimeZoneDatabaseVersion().c_str());
            return 0;
        }
        for (const vorlin::cli::CommandEntry &c : vorlin::cli::Commands()) {
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

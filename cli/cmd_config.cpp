// `vorlin config`: the user's defaults (place, method, settings) in the
// configuration file, read before every command line (which wins).
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "output.h"
#include "commands.h"
#include "options.h"

namespace vorlin::cli {

namespace {

// Makes the folders of path (mode 0755), bounded by the path's length.
void MakeFolders(const std::string &path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)
            throw UsageError("cannot create " + folder + ": " + std::strerror(errno));
    }
}

// Writes the settings as the file, through a temporary file and a rename
// (a crash leaves the old file or the new one, never half of one).
void WriteConfig(const std::string &path, const std::vector<std::pair<std::string, std::string>> &settings) {
    MakeFolders(path);
    const std::string temporary = path + ".new";
    std::FILE *file = std::fopen(temporary.c_str(), "w");
    if (file == nullptr) throw UsageError("cannot write " + temporary + ": " + std::strerror(errno));
    std::fprintf(file, "# vorlin defaults: NAME = VALUE, a flag without its dashes (vorlin config --help)\n");
    for (const auto &[flag, value] : settings) std::fprintf(file, "%s = %s\n", flag.c_str() + 2, value.c_str());
    const bool written = std::fflush(file) == 0;
    if (std::fclose(file) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0)
        throw UsageError("cannot write " + path + ": " + std::strerror(errno));
}

const FlagRow &Setting(const std::string &name) {
    const FlagRow *flag = FindCommonFlag("--" + name);
    if (flag == nullptr || name == "date")
        throw UsageError("config: no setting '" + name + "' (the flags of the place and settings, without "
                         "their dashes: city, method, fajr, ...; vorlin times --help)");
    return *flag;
}

}  // namespace

int RunConfig(int argc, char **argv, int first) {
    std::vector<std::string> words(argv + first, argv + argc);
    if (words.empty() || words[0] == "--help" || words[0] == "-h") {
        Out(
            "usage: vorlin config list | path | get NAME | set NAME VALUE | unset NAME\n"
            "Keeps your defaults (place, method, settings) in %s\n"
            "($XDG_CONFIG_HOME/vorlin/config, else ~/.config/vorlin/config): one\n"
            "\"NAME = VALUE\" line per flag, NAME the flag without its dashes.  Every\n"
            "command reads them first; a flag on the command line wins.  Values are\n"
            "checked as the flags are.\n"
            "examples: vorlin config set city \"Birmingham, GB\"\n"
            "          vorlin config set method MoonsightingCommittee\n"
            "          vorlin config list\n"
            "          vorlin config unset city\n",
            ConfigPath().c_str());
        return words.empty() ? 2 : 0;
    }
    const std::string path = ConfigPath();
    if (path.empty()) throw UsageError("config: neither XDG_CONFIG_HOME nor HOME is set");
    std::vector<std::pair<std::string, std::string>> settings = ReadConfig();
    const std::string &verb = words[0];
    if (verb == "path" && words.size() == 1) {
        Out("%s\n", path.c_str());
        return 0;
    }
    if (verb == "list" && words.size() == 1) {
        for (const auto &[flag, value] : settings) Out("%s = %s\n", flag.c_str() + 2, value.c_str());
        return 0;
    }
    if (verb == "get" && words.size() == 2) {
        const std::string flag = Setting(words[1]).name;
        for (const auto &[f, value] : settings) {
            if (f == flag) {
                Out("%s\n", value.c_str());
                return 0;
            }
        }
        return 1;  // not set
    }
    if (verb == "set" && words.size() == 3) {
        const FlagRow &row = Setting(words[1]);
        const std::string value = CheckedFlagValue(row, words[2]);
        bool replaced = false;
        for (auto &[f, v] : settings) {
            if (f == row.name) {
                v = value;
                replaced = true;
            }
        }
        if (!replaced) settings.emplace_back(row.name, value);
        WriteConfig(path, settings);
        return 0;
    }
    if (verb == "unset" && words.size() == 2) {
        const FlagRow &row = Setting(words[1]);
        std::vector<std::pair<std::string, std::string>> kept;
        for (const auto &s : settings)
            if (s.first != row.name) kept.push_back(s);
        WriteConfig(path, kept);
        return 0;
    }
    throw UsageError("config: expects list, path, get NAME, set NAME VALUE or unset NAME (vorlin config --help)");
}

}  // namespace vorlin::cli

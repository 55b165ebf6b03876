// The commands of the vorlin program and their own flags: what main()
// dispatches on, what each command parses, and what the manual page and the
// shell completions are written from (so none of them can drift).
#pragma once

#include <string>
#include <vector>

#include "options.h"

namespace vorlin::cli {

struct CommandEntry {
    const char *name;
    int (*run)(int argc, char **argv, int first);
    const char *summary;
    std::vector<OwnFlag> flags;  // the command's own flags (beside the common ones)
    bool takesPlace;             // takes the common place, date and settings flags
};

const std::vector<CommandEntry> &Commands();

// The own flags of a command (empty for an unknown name).
const std::vector<OwnFlag> &OwnFlagsOf(const std::string &command);

// Shell completion scripts (bash, zsh, fish) and the manual page (troff).
std::string CompletionScript(const std::string &shell);
std::string ManualPage();

}  // namespace vorlin::cli

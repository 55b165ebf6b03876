#include "output.h"
#include "command_table.h"

#include <cstdio>

#include "commands.h"
#include "places.h"
#include "vorlin.h"

namespace vorlin::cli {

namespace {

const OwnFlag Help{"--help", false, "", "", "this help (also -h)"};

OwnFlag Format(const char *words) { return {"--format", true, "FORMAT", words, "output format"}; }

const OwnFlag Day{"--day", false, "", "", "one day"};
const OwnFlag Month{"--month", false, "", "", "the month of the date (the default)"};
const OwnFlag Year{"--year", false, "", "", "a year of twelve months"};
const OwnFlag HijriMonths{"--hijri-months", false, "", "", "count months as Hijri months"};

}  // namespace

const std::vector<CommandEntry> &Commands() {
    static const std::vector<CommandEntry> commands = {
        {"check", RunCheck, "tell whether a civil or Hijri date exists",
         {{"--hijri", false, "", "", "the date is a Hijri date"}, Help}, false},
        {"jd", RunJulianDay, "Julian Date of a civil date, and back",
         {{"--to-date", true, "JD", "", "the civil date and time of a Julian Date"}, Help}, false},
        {"times", RunTimes, "prayer times for a day, a month, a year or a range (the default job)",
         {Day, Month, Year, HijriMonths,
          {"--from", true, "Y-M-D", "", "first day of a range (with --to)"},
          {"--to", true, "Y-M-D", "", "last day of a range (at most 3660 days)"},
          {"--hijri-month", true, "Y-M", "", "the days of a Hijri month (1448-09)"},
          Format("text|report|json|csv|ics|html"),
          {"--events", true, "LIST", "imsak|fajr|sunrise|dhuhr|asr|asrhanafi|sunset|maghrib|isha|midnight|lastthird",
           "ics: the events to write"},
          {"--remind", true, "MIN", "", "ics: an alarm MIN minutes before each event"},
          {"--duration", true, "MIN", "", "ics: events MIN minutes long"},
          Help},
         true},
        {"next", RunNext, "the prayer whose time it is, the next one and the time left",
         {{"--at", true, "Y-M-DTHH:MM", "", "the moment (default: now)"}, Format("text|json"), Help}, true},
        {"moon", RunMoon, "moonrise, transit and set, new moons, start of the Hijri month",
         {Day, Month, Year, {"--year-from-month", false, "", "", "twelve months from the date's"}, HijriMonths,
          Format("text|json"), Help},
         true},
        {"crescent", RunCrescent, "can the new crescent be seen here this evening? every criterion's verdict",
         {Format("text|json"),
          {"--map", true, "FILE", "", "a visibility map of the evening over the Earth instead: FILE.svg or FILE.png"},
          Help},
         true},
        {"events", RunEvents, "the year's occasions: Ramadan, the Eids, Arafah, New Year, Ashura",
         {{"--year", true, "YEAR", "", "a Hijri year (below 1900) or a civil year"},
          {"--next", true, "NAME", "new-year|ashura|ramadan|eid-al-fitr|arafah|eid-al-adha", "the next one"},
          Format("text|json"), Help},
         true},
        {"hijri", RunHijri, "civil date to Hijri date at a place, and back",
         {{"--to-civil", true, "Y-M-D", "", "the civil date of a Hijri date"}, Format("text|json"), Help}, true},
        {"qibla", RunQibla, "qibla direction and distance, magnetic declination", {Format("text|json"), Help},
         true},
        {"methods", RunMethods, "the named calculation methods (--method)", {Format("text|json"), Help}, false},
        {"config", RunConfig, "your defaults: place, method, settings (set, get, list, unset)", {Help}, false},
        {"places", RunPlaces, "the places of the gazetteer (--city)", {Format("text|json"), Help}, false},
        {"cities", RunPlaces, "the same as places", {Format("text|json"), Help}, false},
        {"serve", RunServe, "the web service: a JSON API and a page over HTTP",
         {{"--host", true, "ADDRESS", "", "the address to listen on (default 127.0.0.1)"},
          {"--port", true, "N", "", "the port (default 8080; 0 a free one, printed)"},
          {"--threads", true, "N", "", "connections served at once (default: eight per core, at least 16)"},
          {"--quiet", false, "", "", "no access log"},
          {"--page-dir", true, "DIR", "", "the page's files from DIR instead of the built-in ones"},
          Help},
         false},
        {"completion", RunCompletion, "shell completion script: bash, zsh or fish", {Help}, false},
        {"man", RunManual, "the manual page (troff)", {Help}, false},
    };
    return commands;
}

const std::vector<OwnFlag> &OwnFlagsOf(const std::string &command) {
    static const std::vector<OwnFlag> none;
    for (const CommandEntry &c : Commands())
        if (command == c.name) return c.flags;
    return none;
}

namespace {

std::string Words(const char *words) {
    std::string out = words;
    for (char &c : out)
        if (c == '|') c = ' ';
    return out;
}

// zsh's list of values: "(a b c)", or " " for any value.
std::string Choices(const char *words) {
    if (words[0] == '\0') return " ";
    std::string out = "(";
    out += Words(words);
    out += ')';
    return out;
}

// The value words of a flag (common or own) for completion, "" for none.
std::string ValueWords(const std::string &flag, const CommandEntry &c) {
    for (const OwnFlag &f : c.flags)
        if (flag == f.name) return Words(f.words);
    for (const FlagRow &f : CommonFlags())
        if (flag == f.name && f.kind == FlagRow::Word) return Words(f.words);
    return "";
}

std::vector<std::string> FlagsOf(const CommandEntry &c) {
    std::vector<std::string> flags;
    for (const OwnFlag &f : c.flags) flags.push_back(f.name);
    if (c.takesPlace)
        for (const FlagRow &f : CommonFlags()) flags.push_back(f.name);
    return flags;
}

std::string Bash() {
    std::string out =
        "# bash completion for vorlin (written by `vorlin completion bash`)\n"
        "_vorlin() {\n"
        "    local cur prev cmd\n"
        "    cur=\"${COMP_WORDS[COMP_CWORD]}\"\n"
        "    prev=\"${COMP_WORDS[COMP_CWORD-1]}\"\n"
        "    cmd=\"${COMP_WORDS[1]}\"\n"
        "    if [ \"$COMP_CWORD\" -eq 1 ]; then\n"
        "        COMPREPLY=($(compgen -W \"";
    for (const CommandEntry &c : Commands()) out += std::string(c.name) + " ";
    out += "--help --version\" -- \"$cur\"))\n        return\n    fi\n    case \"$cmd\" in\n";
    for (const CommandEntry &c : Commands()) {
        out += std::string("    ") + c.name + ")\n        case \"$prev\" in\n";
        for (const std::string &flag : FlagsOf(c)) {
            const std::string words = ValueWords(flag, c);
            if (!words.empty())
                out += "        " + flag + ") COMPREPLY=($(compgen -W \"" + words + "\" -- \"$cur\")); return;;\n";
        }
        out += "        esac\n        COMPREPLY=($(compgen -W \"";
        for (const std::string &flag : FlagsOf(c)) out += flag + " ";
        out += "\" -- \"$cur\"));;\n";
    }
    out += "    esac\n}\ncomplete -F _vorlin vorlin\n";
    return out;
}

std::string Zsh() {
    std::string out =
        "#compdef vorlin\n"
        "# zsh completion for vorlin (written by `vorlin completion zsh`)\n"
        "_vorlin() {\n"
        "    local -a commands\n"
        "    commands=(\n";
    for (const CommandEntry &c : Commands()) out += std::string("        '") + c.name + ":" + c.summary + "'\n";
    out += "    )\n"
           "    if (( CURRENT == 2 )); then\n"
           "        _describe 'command' commands\n"
           "        return\n"
           "    fi\n"
           "    case $words[2] in\n";
    for (const CommandEntry &c : Commands()) {
        out += std::string("    ") + c.name + ")\n        _arguments \\\n";
        for (const OwnFlag &f : c.flags) {
            std::string row = std::string("            '") + f.name + "[" + f.help + "]";
            if (f.takesValue) row += std::string(":") + f.valueName + ":" + Choices(f.words);
            out += row + "' \\\n";
        }
        if (c.takesPlace) {
            for (const FlagRow &f : CommonFlags()) {
                std::string help = f.help;
                for (char &ch : help)
                    if (ch == '\'' || ch == '[' || ch == ']' || ch == ':') ch = ' ';
                out += std::string("            '") + f.name + "[" + help + "]:" + f.valueName + ":" +
                       (f.kind == FlagRow::Word ? Choices(f.words) : std::string(" ")) + "' \\\n";
            }
        }
        out += "            '*::argument: '\n        ;;\n";
    }
    out += "    esac\n}\n_vorlin \"$@\"\n";
    return out;
}

std::string Fish() {
    std::string out = "# fish completion for vorlin (written by `vorlin completion fish`)\n"
                      "complete -c vorlin -f\n";
    for (const CommandEntry &c : Commands())
        out += std::string("complete -c vorlin -n '__fish_use_subcommand' -a ") + c.name + " -d '" + c.summary + "'\n";
    for (const CommandEntry &c : Commands()) {
        auto line = [&](const std::string &flag, bool value, const std::string &words, std::string help) {
            for (char &ch : help)
                if (ch == '\'') ch = ' ';
            out += std::string("complete -c vorlin -n '__fish_seen_subcommand_from ") + c.name + "' -l " +
                   flag.substr(2) + (value ? " -r" : "") + (words.empty() ? "" : " -a '" + words + "'") + " -d '" +
                   help + "'\n";
        };
        for (const OwnFlag &f : c.flags) line(f.name, f.takesValue, Words(f.words), f.help);
        if (c.takesPlace)
            for (const FlagRow &f : CommonFlags())
                line(f.name, true, f.kind == FlagRow::Word ? Words(f.words) : "", f.help);
    }
    return out;
}

// troff text: backslashes and leading dots or quotes escaped.
std::string Roff(const std::string &text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\') out += "\\e";
        else if (c == '-') out += "\\-";
        else out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out = "\\&" + out;
    return out;
}

}  // namespace

std::string CompletionScript(const std::string &shell) {
    if (shell == "bash") return Bash();
    if (shell == "zsh") return Zsh();
    if (shell == "fish") return Fish();
    return "";
}

std::string ManualPage() {
    std::string out = ".TH VORLIN 1 \"\" \"vorlin " VORLIN_VERSION "\" \"User Commands\"\n"
                      ".SH NAME\nvorlin \\- Islamic prayer times, Hijri calendar, moon and qibla\n"
                      ".SH SYNOPSIS\n.B vorlin\n.I command\n[\\fIflags\\fR]\n"
                      ".SH DESCRIPTION\nPrayer times by any authority's method on the place's own clock, an "
                      "observational Hijri calendar, moon data and the qibla, for any place and date.  "
                      "Every command takes \\fB\\-\\-help\\fR.  Flags take their value as \\fB\\-\\-flag value\\fR "
                      "or \\fB\\-\\-flag=value\\fR.  Exit status: 0 success, 1 a well-formed request whose "
                      "answer is no, 2 a usage error.\n.SH COMMANDS\n";
    for (const CommandEntry &c : Commands()) {
        out += std::string(".TP\n.B ") + c.name + "\n" + Roff(c.summary) + "\n";
        for (const OwnFlag &f : c.flags) {
            out += std::string(".RS\n.TP\n.B ") + Roff(f.name) +
                   (f.takesValue ? std::string(" \\fI") + Roff(f.valueName) + "\\fR" : "") + "\n" + Roff(f.help) +
                   (f.words[0] ? std::string(" (") + Roff(Words(f.words)) + ")" : "") + "\n.RE\n";
        }
    }
    out += ".SH PLACE, DATE AND SETTINGS\nThe commands that take a place (times, next, moon, hijri, qibla) "
           "take these flags:\n";
    for (const FlagRow &f : CommonFlags()) {
        out += std::string(".TP\n.B ") + Roff(f.name) + " \\fI" + Roff(f.valueName) + "\\fR\n" + Roff(f.help);
        if (f.kind == FlagRow::Number || f.kind == FlagRow::Integer) {
            char range[64];
            std::snprintf(range, sizeof range, " (%g..%g)", f.low, f.high);
            out += range;
        }
        if (f.kind == FlagRow::Word) out += " (" + Roff(Words(f.words)) + ")";
        out += "\n";
    }
    out += ".SH FILES\n.TP\n.I $XDG_CONFIG_HOME/vorlin/config\n(else \\fI~/.config/vorlin/config\\fR) your defaults, "
           "\\fBname = value\\fR lines of the flags above without their dashes; see \\fBvorlin config\\fR.\n"
           ".SH ENVIRONMENT\n.TP\n.B LANG, LC_ALL, LC_CTYPE\nText goes out as UTF-8 when the locale is UTF-8, "
           "else as Latin-1 (\\fB\\-\\-encoding\\fR).\n.TP\n.B SOURCE_DATE_EPOCH\nthe DTSTAMP of calendar files.\n"
           ".SH CREDITS\n" +
           Roff(frontend::PlaceDataCredit) + "\nTime zones: the tz database of the system.\n";
    return out;
}

int RunCompletion(int argc, char **argv, int first) {
    const std::string shell = first < argc ? argv[first] : "";
    if (shell == "--help" || shell == "-h" || first + 1 < argc || CompletionScript(shell).empty()) {
        Out("usage: vorlin completion bash|zsh|fish\n"
                    "Prints the shell's completion script, e.g.\n"
                    "  vorlin completion bash > /etc/bash_completion.d/vorlin\n"
                    "(cmake --install puts them where the shells look).\n");
        return shell == "--help" || shell == "-h" ? 0 : 2;
    }
    const std::string script = CompletionScript(shell);
    OutText(script);
    return 0;
}

int RunManual(int argc, char **argv, int first) {
    if (first < argc) {
        Out("usage: vorlin man   (prints the manual page; man -l <(vorlin man) shows it)\n");
        return std::string(argv[first]) == "--help" || std::string(argv[first]) == "-h" ? 0 : 2;
    }
    const std::string page = ManualPage();
    OutText(page);
    return 0;
}

}  // namespace vorlin::cli

#!/usr/bin/env python3
"""The manual page and the shell completions agree with what the program
parses: every flag the manual lists for a command is in that command's
--help; every value a completion offers for a flag is accepted by it; the
bash completion completes commands, flags and values when bash runs it.

Run as: check_shell.py PATH_TO_VORLIN
"""
import re
import shutil
import subprocess

import cli_check
from cli_check import fail, finish


def run(args, status=0):
    return cli_check.run(args, status).stdout.decode("utf-8", "replace")


# The manual page: its commands with their own flags, and the common flags.
page = run(["man"])
if not page.startswith(".TH VORLIN 1 "):
    fail("the manual page does not begin with its title line")
commands, common, section, current = {}, [], None, None
lines = page.split("\n")
for i, line in enumerate(lines):
    if line.startswith(".SH "):
        section = line[4:]
    elif line.startswith(".B ") and section == "COMMANDS":
        name = line[3:].split(" ")[0]
        if name.startswith("\\-\\-"):
            commands[current].append(name.replace("\\-", "-"))
        else:
            current = name
            commands[current] = []
    elif line.startswith(".B ") and section == "PLACE, DATE AND SETTINGS":
        common.append(line[3:].split(" ")[0].replace("\\-", "-"))
if len(commands) < 10 or len(common) < 30:
    fail("the manual lists %d commands and %d common flags" % (len(commands), len(common)))

# Every command's --help names its flags; the place commands name the common ones.
place_commands = {"times", "next", "moon", "hijri", "qibla"}
for command, flags in commands.items():
    if command in ("completion", "man", "config"):
        continue
    text = run([command, "--help"])
    for flag in flags:
        if flag != "--help" and flag not in text:
            fail("vorlin %s --help does not mention %s" % (command, flag))
    if command in place_commands:
        for flag in common:
            if flag not in text:
                fail("vorlin %s --help does not mention %s" % (command, flag))

# Every value the completions offer is one the flag takes.
bash = run(["completion", "bash"])
offered = re.findall(r"^        (--[a-z-]+)\) COMPREPLY=\(\$\(compgen -W \"([^\"]*)\"", bash, re.M)
checked = 0
for flag, words in set(offered):
    for word in words.split():
        if flag in ("--format", "--events", "--encoding"):
            continue  # checked below, they go with their own commands or formats
        # A command's own flag is tried with that command, a common one with times.
        owner = next((c for c, flags in commands.items() if flag in flags and c != "times"), "times")
        if owner == "times":
            run(["times", "--day", "--date", "2024-03-11", "--lat", "21.4", "--lon", "39.8", "--tz", "3",
                 flag, word] + (["--twilight", "seasonal"] if flag == "--shafaq" else []))
        else:
            run([owner, "--date", "2024-03-11", flag, word])
        checked += 1
for word in ("text", "report", "json", "csv", "ics", "html"):
    run(["times", "--day", "--date", "2024-03-11", "--format", word])
for word in ("utf8", "latin1"):
    run(["times", "--day", "--date", "2024-03-11", "--encoding", word])
run(["times", "--day", "--date", "2024-03-11", "--format", "ics", "--asr", "both", "--events",
     "imsak,fajr,sunrise,dhuhr,asr,asrhanafi,sunset,maghrib,isha,midnight,lastthird"])
if checked < 20:
    fail("only %d completion values checked" % checked)

# bash itself completes with the script.
if shutil.which("bash"):
    def complete(words):
        script = bash + "\nCOMP_WORDS=(%s); COMP_CWORD=%d; _vorlin; printf '%%s\\n' \"${COMPREPLY[@]}\"\n" % (
            " ".join("'%s'" % w for w in words), len(words) - 1)
        result = subprocess.run(["bash", "-c", script], capture_output=True, text=True)
        return set(result.stdout.split())
    for words, expected in ((["vorlin", "ti"], {"times"}), (["vorlin", "ne"], {"next"}),
                            (["vorlin", "times", "--for"], {"--format"}),
                            (["vorlin", "times", "--asr", ""], {"standard", "shafii", "hanafi", "both"}),
                            (["vorlin", "times", "--format", "j"], {"json"}),
                            (["vorlin", "next", "--hig"], {"--high-latitude-rule"}),
                            (["vorlin", "methods", "--c"], set())):
        got = complete(words)
        if got != expected:
            fail("bash completes %r as %r, not %r" % (words, sorted(got), sorted(expected)))
    for shell in ("bash",):
        result = subprocess.run([shell, "-n"], input=bash, capture_output=True, text=True)
        if result.returncode != 0:
            fail("%s -n: %s" % (shell, result.stderr))
for shell in ("zsh", "fish"):
    if shutil.which(shell):
        result = subprocess.run([shell, "-n"], input=run(["completion", shell]), capture_output=True, text=True)
        if result.returncode != 0:
            fail("%s -n: %s" % (shell, result.stderr))
run(["completion", "tcsh"], status=2)

finish("manual page and completions agree with the parser (%d values tried)" % checked)

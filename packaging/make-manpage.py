#!/usr/bin/python3
"""Writes the man page of nlx from its own help: nlx --help, then each subcommand's --help."""
import re
import subprocess
import sys

nlx, out, version = sys.argv[1], sys.argv[2], sys.argv[3]


def help_of(*args):
    text = subprocess.run([nlx, *args, "--help"], capture_output=True, text=True, check=True).stdout
    return text.replace(nlx, "nlx")


def roff(text):
    text = text.replace("\\", "\\\\").replace("-", "\\-")
    return "\n".join(("\\&" + line) if line.startswith((".", "'")) else line for line in text.splitlines())


main = help_of()
summary = main.splitlines()[0].split(": ", 1)[-1]
commands = re.findall(r"^  (\S+)\s{2,}(.*)$", main.split("Subcommands:", 1)[1], re.M)
page = [f'.TH NLX 1 "" "nlx {version}" "User Commands"',
        ".SH NAME", f"nlx \\- {roff(summary)}",
        ".SH SYNOPSIS", ".B nlx", "\\fICOMMAND\\fR [\\fIOPTIONS\\fR]",
        ".SH DESCRIPTION", roff(summary) + ".",
        "The desktop program is \\fBnlx\\-gui\\fR; installed, both keep their data in ~/.local/share/nlx "
        "(sys.cfg, noise.db and the storage folder of capture and history files) unless NLX_HOME names another folder.",
        ".SH COMMANDS"]
for name, description in commands:
    text = help_of(name)
    page += [f".SS {roff(name)}", roff(description), ".PP", ".nf", roff(text.split("\n", 1)[1].strip()), ".fi"]
    # A command with commands of its own (nlx team) gets each of them too.
    if "Subcommands:" in text:
        for sub, sub_description in re.findall(r"^  (\S+)\s{2,}(.*)$", text.split("Subcommands:", 1)[1], re.M):
            page += [f".SS {roff(name + ' ' + sub)}", roff(sub_description), ".PP", ".nf",
                     roff(help_of(name, sub).split("\n", 1)[1].strip()), ".fi"]
page += [".SH EXIT STATUS", "0 success, 1 failure (with a message on standard error), 2 usage error.",
         ".SH ENVIRONMENT", ".TP", ".B NLX_HOME", "The application folder to use instead of ~/.local/share/nlx.",
         ".TP", ".B PGHOST, PGPORT, PGDATABASE, PGUSER, PGPASSFILE, PGSSLMODE",
         "libpq's variables complete the team database's address for nlx sync and nlx team; the password "
         "comes from ~/.pgpass (or PGPASSFILE), never from nlx."]
with open(out, "w", encoding="utf-8") as f:
    f.write("\n".join(page) + "\n")

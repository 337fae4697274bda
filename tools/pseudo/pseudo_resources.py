#!/usr/bin/env python3
"""Writes the pseudo-language (qps-ploc) resources from the US English resource scripts.

Every dialog template and string table of the English scripts is copied with its layout unchanged
and each text made longer by about 40 %, its letters swapped for accented look-alikes and the whole
bracketed ("Print Mode" becomes "[Ƥŕîñţ Ṁöðé ~~~~]"). A text cut off or overlapping in these
templates, or one shown without brackets on a page, is a layout that cannot grow or a text that
does not come from the resources. Access keys, escapes and format specifiers stay as they are.

usage: pseudo_resources.py OUTPUT.rc ENGLISH.rc...
"""
import math
import re
import sys

LOOK_ALIKES = str.maketrans(
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ",
    "åƀçðéƒĝĥîĵķļɱñöþǫŕšţûṽŵẋýžÅƁÇÐÉƑĜĤÎĴĶĻṀÑÖƤǪŔŠŢÛṼŴẊÝŽ",
)
GROWTH = 0.4
# qps-ploc, LANGID 0x0501: primary language 0x101, sublanguage 1.
LANGUAGE = "LANGUAGE 0x101, 0x01"
STRING = re.compile(r'"((?:[^"]|"")*)"')
# Statements of a template whose text is not shown: the font, the styles.
NOT_SHOWN = re.compile(r"^\s*(FONT|STYLE|EXSTYLE|BEGIN|END|CLASS|MENU)\b")


def pseudo(text):
    """The pseudo-language form of the body of one string literal, kept as valid script text."""
    if not text:
        return text
    out, shown, at = [], 0, 0
    while at < len(text):
        char = text[at]
        if char in '\\%&"' and at + 1 < len(text):
            # An escape, a format specifier, an access key or a doubled quote keeps its next character.
            out.append(text[at : at + 2])
            shown += 1
            at += 2
            continue
        out.append(char.translate(LOOK_ALIKES))
        shown += 1
        at += 1
    return "[" + "".join(out) + " " + "~" * max(1, math.floor(shown * GROWTH + 0.5)) + "]"


def first_string(line):
    """The line with its first string literal in the pseudo-language."""
    return STRING.sub(lambda m: '"' + pseudo(m.group(1)) + '"', line, count=1)


def blocks(script):
    """The dialog templates and string tables of one script, line by line, texts replaced."""
    out, kind, depth = [], None, 0
    for line in script.splitlines():
        bare = line.strip()
        if kind is None:
            if re.match(r"^\w+\s+DIALOG(EX)?\b", bare):
                kind = "dialog"
            elif bare == "STRINGTABLE":
                kind = "strings"
            else:
                continue
            out.append(line)
            continue
        if bare.startswith("//") or not bare:
            continue
        if bare == "BEGIN":
            depth += 1
        elif bare == "END":
            depth -= 1
        elif not NOT_SHOWN.match(line):
            line = first_string(line)
        out.append(line)
        if depth == 0 and bare == "END":
            kind = None
            out.append("")
    return out


def main(output, scripts):
    lines = [
        "// Generated from the US English resources by tools/pseudo/pseudo_resources.py: do not edit.",
        "#include <windows.h>",
        '#include "resource_ids.h"',
        "",
        LANGUAGE,
        "",
    ]
    for path in scripts:
        with open(path, encoding="utf-8") as script:
            lines += blocks(script.read())
    with open(output, "w", encoding="utf-8") as out:
        out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__.strip().splitlines()[-1])
    main(sys.argv[1], sys.argv[2:])

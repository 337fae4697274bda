#!/usr/bin/env python3
"""Writes the pseudo-language (qps-ploc) resources from the US English resource scripts.

Every dialog template and string table of the English scripts is copied, each text made longer by
about 40 %, its letters swapped for accented look-alikes and the whole bracketed ("Print Mode"
becomes "[Prîñt Mödé ~~~~]"), and each template widened as a translator widens a template for
longer words: every horizontal position and width by WIDENING. A text cut off or overlapping in
these templates, or one shown without brackets on a page, is a layout that cannot grow (sized or
placed by code) or a text that does not come from the resources. Access keys, escapes and format
specifiers stay as they are.

usage: pseudo_resources.py OUTPUT.rc ENGLISH.rc...
"""
import math
import re
import sys

# Look-alikes from the Western code page only: every font the templates name has them, so a text's
# height is that of English (a letter the font lacks is drawn from a taller fallback font).
LOOK_ALIKES = str.maketrans("acdeinopsuyzACDEINOSUYZ", "åçðéîñöþšûýžÅÇÐÉÎÑÖŠÛÝŽ")
# The padding is cut into words so that a long text still wraps.
PADDING_WORD = 8
GROWTH = 0.4
# The brackets and tildes make a short text more than 40 % longer ("OK" becomes "[ÖK ~]"), as a
# short word of a translation often is.
WIDENING = 1.8
# Where the box of each statement starts among its comma-separated fields: after the text and the
# id, after the id alone, or after text, id, class and style.
BOX_AFTER = {"CONTROL": 4, "COMBOBOX": 1, "EDITTEXT": 1, "LISTBOX": 1, "SCROLLBAR": 1}
BOX_AFTER_TEXT_AND_ID = 2
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
    padding = max(1, math.floor(shown * GROWTH + 0.5))
    words = ["~" * min(PADDING_WORD, padding - at) for at in range(0, padding, PADDING_WORD)]
    return "[" + "".join(out) + " " + " ".join(words) + "]"


def fields(line):
    """The comma-separated fields of a statement's arguments (commas inside strings kept)."""
    out, current, quoted = [], "", False
    for char in line:
        if char == '"':
            quoted = not quoted
        if char == "," and not quoted:
            out.append(current)
            current = ""
        else:
            current += char
    out.append(current)
    return out


def widened(line):
    """The statement with its box's x and width (or the template's) multiplied by WIDENING."""
    header = re.match(r"^(\s*\w+\s+DIALOG(?:EX)?\s+)(.*)$", line)
    if header:
        prefix, arguments, first = header.group(1), header.group(2), 0
    else:
        statement = re.match(r"^(\s*([A-Z]+)\s+)(.*)$", line)
        if not statement or NOT_SHOWN.match(line) or statement.group(2) == "CAPTION":
            return line
        prefix, arguments = statement.group(1), statement.group(3)
        first = BOX_AFTER.get(statement.group(2), BOX_AFTER_TEXT_AND_ID)
    parts = fields(arguments)
    for at in (first, first + 2):
        value = parts[at].strip()
        parts[at] = parts[at].replace(value, str(math.ceil(int(value) * WIDENING)))
    return prefix + ",".join(parts)


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
                line = widened(line)
            elif bare == "STRINGTABLE":
                kind = "strings"
            else:
                continue
            out.append(line)
            continue
        if bare.startswith("//") or not bare:
            continue
        if kind == "dialog":
            line = widened(line)
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

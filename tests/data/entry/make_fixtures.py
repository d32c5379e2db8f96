#!/usr/bin/env python3
"""Builds the fixtures of tests/cli/batch_entry.sh from the sample study (data/studie.dt1), written
from the file rules, not from the program:

- studie.inc: an entry-check file. A 16-bit count of 32-bit units (6 per entry), a 128-byte
  descriptor, then 24 bytes per entry: position (16 bits), type byte (length, bit 7 text), kind,
  lower and upper bound (10 characters each) or the allowed texts (20 characters). The entries are
  in descending order of position on purpose.
- checks.expected.txt: the listing of `checks` (position right-aligned in 5, name in 10, kind in 16,
  two blanks apart, then the bounds "lower .. upper" or "zugelassen: list").
- the statistics file after each step of the test (records are lines "1" + positions 1..79 with
  trailing blanks cut; numeric values right-aligned, texts left-aligned in their field; the line
  editor leaves the end mark Ctrl-Z after the last line).
- record2.expected.txt: `record 2` (3 columns) after the first step: label " " + name padded to the
  widest label, two blanks, the value padded to the longest field, three blanks between column pairs.

Run from this directory: python3 make_fixtures.py ../../../data/studie.dt1
"""
import struct
import sys

VARIABLES = [  # name, position, length, text
    ("PATNR", 1, 5, False), ("GESCHL", 7, 1, False), ("ALTER", 9, 3, False), ("GEWICHT", 13, 5, False),
    ("GROESSE", 19, 3, False), ("THERAPIE", 23, 1, False), ("DIAGNOSE>", 25, 24, True),
    ("AUFNAHME>", 50, 10, True), ("ENTLASS>", 61, 10, True), ("FUPTAGE", 72, 4, False),
    ("EREIGNIS", 77, 1, False),
]
BY_NAME = {v[0]: v for v in VARIABLES}

ENTRIES = [  # position, type byte, kind, lower, upper (or allowed texts for text variables)
    (77, 1, "G", "0", "1"),
    (72, 4, "G", "0", "9999"),
    (40, 5, "A", "01.01.2000", "31.12.2000"),
    (25, 128 | 24, " ", "COPD;Pneumonie;", None),
    (23, 1, "G", "1", "3"),
    (19, 3, "G", "abc", "230"),
    (13, 5, " ", "20", "250"),
    (9, 3, "G", "0", "120"),
    (7, 1, "G", "1", "2"),
    (7, 2, "G", "5", "6"),
]


def entry_bytes(position, type_byte, kind, lower, upper):
    head = struct.pack("<hBB", position, type_byte, ord(kind))
    if upper is None:
        return head + lower.ljust(20).encode("cp1252")
    return head + lower.ljust(10).encode("cp1252") + upper.ljust(10).encode("cp1252")


def listing():
    kinds = {" ": "Zahl", "G": "ganze Zahl", "A": "Datum TT.MM.JJJJ"}
    names = {(p, (l | (128 if t else 0))): n for n, p, l, t in VARIABLES}
    lines = ["Eingabeprüfungen aus studie.inc", "   FA  Variable    Art               Prüfung"]
    for position, type_byte, kind, lower, upper in ENTRIES:
        name = names.get((position, type_byte))
        shown = name or "%d.%d%s" % (position, type_byte & 127, ">" if type_byte & 128 else "")
        text = bool(type_byte & 128)
        line = str(position).rjust(5) + "  " + shown.ljust(10) + "  " + ("Text" if text else kinds[kind]).ljust(16) + "  "
        if text:
            line += "zugelassen: " + lower
        else:
            def bound(b):
                readable = b.lstrip("-").replace(".", "", 1).isdigit() or kind == "A"
                return b if readable else b + " (unlesbar, unbeachtet)"
            line += bound(lower) + " .. " + bound(upper)
        if name is None:
            line += "  (keine Variable)"
        lines.append(line.rstrip())
    return "\n".join(lines) + "\n"


def put(record, name, value):
    _, position, length, text = BY_NAME[name]
    field = value.ljust(length) if text else value.rjust(length)
    return record[: position - 1] + field + record[position - 1 + length:]


def line_of(record):
    return "1" + record.rstrip() + "\r\n"


def records_of(path):
    with open(path, "rb") as f:
        lines = f.read().decode("cp1252").split("\r\n")
    assert lines[-1] == ""
    return [l[1:].ljust(79) for l in lines[:-1]]


def write_file(name, records):
    with open(name, "wb") as f:
        f.write("".join(line_of(r) for r in records).encode("cp1252") + b"\x1a")


def printout(record, number):
    labels = [" " + n for n, _, _, _ in VARIABLES]
    values = [record[p - 1 : p - 1 + l].strip().replace(",", ".") for _, p, l, _ in VARIABLES]
    lw = max(len(l) for l in labels)
    vw = max(l for _, _, l, _ in VARIABLES)
    out = ["* Satz-Nr.: %d" % number]
    for i in range(0, len(labels), 3):
        cells = [labels[j].ljust(lw) + "  " + values[j].ljust(vw) for j in range(i, min(len(labels), i + 3))]
        out.append("   ".join(cells).rstrip())
    return "\n".join(out) + "\n"


def main():
    records = records_of(sys.argv[1])
    with open("studie.inc", "wb") as f:
        f.write(struct.pack("<h", 6 * len(ENTRIES)) + b"\0" * 128)
        for e in ENTRIES:
            f.write(entry_bytes(*e))
    with open("checks.expected.txt", "w", encoding="utf-8") as f:
        f.write(listing())

    # 1: enter 2 ALTER=78 GEWICHT=80,5
    records[1] = put(put(records[1], "ALTER", "78"), "GEWICHT", "80.5")
    write_file("enter2.expected.dt1", records)
    with open("record2.expected.txt", "w", encoding="utf-8") as f:
        f.write(printout(records[1], 2))
    # 2: enter new PATNR=1301 GESCHL=2 DIAGNOSE>=Pneumonie ALTER=64
    new = " " * 79
    for name, value in (("PATNR", "1301"), ("GESCHL", "2"), ("DIAGNOSE>", "Pneumonie"), ("ALTER", "64")):
        new = put(new, name, value)
    records.append(new)
    write_file("new.expected.dt1", records)
    # 3: enter 3 GESCHL=3 GROESSE=5 --accept (GESCHL fails its check and is taken as entered)
    records[2] = put(put(records[2], "GESCHL", "3"), "GROESSE", "5")
    write_file("accept.expected.dt1", records)
    # 4: delete 4 --yes
    del records[3]
    write_file("delete.expected.dt1", records)
    # 5: every field of record 5 blanked: the record is deleted
    del records[4]
    write_file("blank.expected.dt1", records)


main()

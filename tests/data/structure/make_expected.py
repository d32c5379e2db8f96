#!/usr/bin/env python3
# The expected structure listings of tests/cli/batch_structure.sh, worked out here from the rules of
# structure editing (not by running the program): new variables start after the end of the last one,
# a series NAME*k stands for NAME-0..NAME-k, a freely defined variable takes its place in the order of
# field starts, a recompute puts the variables one after the other from position 1. The listing shows
# them in three columns, column-major, each cell " " + name left-aligned in 15, then FA.FL
# right-aligned in 7 (a blank after FL below 10), cells 25 wide with one blank between, under the
# title and the heading row.
# Run it in this folder to write the files again.

SAMPLE = [("PATNR", 1, 5), ("GESCHL", 7, 1), ("ALTER", 9, 3), ("GEWICHT", 13, 5), ("GROESSE", 19, 3),
          ("THERAPIE", 23, 1), ("DIAGNOSE>", 25, 24), ("AUFNAHME>", 50, 10), ("ENTLASS>", 61, 10),
          ("FUPTAGE", 72, 4), ("EREIGNIS", 77, 1)]


def append(table, items):
    table = list(table)
    end = max((fa + fl - 1 for _, fa, fl in table), default=0)
    for name, fl in items:
        members = [name]
        if len(name) >= 3 and name[-2] == "*":
            first = "A" if name[-1].isalpha() else "0"
            members = [name[:-2] + "-" + chr(c) for c in range(ord(first), ord(name[-1]) + 1)]
        for member in members:
            table.append((member, end + 1, fl))
            end += fl
    return table


def define(table, items):
    table = [v for v in table if v[0] not in {name for name, _, _ in items}]
    return sorted(table + list(items), key=lambda v: v[1])


def recompute(items):
    table, position = [], 1
    for name, fl in items:
        table.append((name, position, fl))
        position += fl
    return table


def cell(name, fa, fl):
    number = f"{fa}.{fl}" + (" " if fl < 10 else "")
    return (" " + name).ljust(15) + number.rjust(7)


def listing(table):
    dashes = "-" * 77
    lines = ["STRUKTUR DATENSATZ".ljust(77), dashes, "".join((" Bezeichnung".ljust(15) + "FA.FL".rjust(7)).ljust(26)
                                                           for _ in range(3)).rstrip()]
    rows = max(1, -(-len(table) // 3))
    for j in range(rows):
        cells = [cell(*table[j + c * rows]) for c in range(3) if j + c * rows < len(table)]
        lines.append("".join(c.ljust(26) for c in cells).rstrip())
    return "\n".join(lines + [dashes, "", ""]) + "\n"


CASES = {
    "sample": SAMPLE,
    "append": append(SAMPLE, [("BMI", 5), ("WERT*3", 2), ("NOTIZ>", 60)]),
    "define": define(SAMPLE, [("KLINIK", 90, 2), ("ALTER", 95, 3)]),
    "rename": [("KG" if n == "GEWICHT" else n, fa, fl) for n, fa, fl in SAMPLE],
    "delete": [v for v in SAMPLE if v[0] not in ("THERAPIE", "GESCHL")],
    "compact": recompute([(n, fl) for n, _, fl in SAMPLE]),
    "recompute": recompute([("X", 3), ("Y", 2), ("TEXT>", 20)]),
}

for name, table in CASES.items():
    with open(f"{name}.expected.txt", "w", encoding="utf-8") as out:
        out.write(listing(table))

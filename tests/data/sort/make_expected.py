#!/usr/bin/env python3
# Builds the expected sorted files of tests/cli/batch_sort.sh from the sample study, written from the
# ordering rule alone (not from the program): records are single lines here (every line of the
# sample study is line 1 of a record); a numeric field sorts blank first, then by value, then text by
# its first 21 characters; a text field by its first 21 characters as stored; equal keys keep their
# order (Python's sort is stable). Run: python3 make_expected.py ../../../data/studie.dt1
import sys

source = open(sys.argv[1], 'rb').read()
lines = [l for l in source.split(b'\r\n') if l]
assert all(l[:1] == b'1' for l in lines)

def field(line, position, length):
    content = line[1:80]  # the 79 characters after the line number
    return content[position - 1:position - 1 + length].ljust(length)

def numeric_key(text):
    t = text.strip(b' ').strip(b'+')
    if not t:
        return (0, 0.0, b'')
    try:
        return (1, float(t.replace(b',', b'.', 1)), b'')
    except ValueError:
        return (2, 0.0, t[:21])

def text_key(text):
    return text[:21].ljust(21)

cases = {
    'studie.alter.dt1': lambda l: numeric_key(field(l, 9, 3)),
    'studie.gewicht.dt1': lambda l: numeric_key(field(l, 13, 5)),
    'studie.diagnose.dt1': lambda l: text_key(field(l, 25, 24)),
}
for name, key in cases.items():
    with open(name, 'wb') as out:
        for line in sorted(lines, key=key):
            out.write(line + b'\r\n')
# The file sorted by DIAGNOSE> sorted again by ALTER: equal ages in the order of the diagnoses.
with open('studie.diagnose.alter.dt1', 'wb') as out:
    for line in sorted(sorted(lines, key=cases['studie.diagnose.dt1']), key=cases['studie.alter.dt1']):
        out.write(line + b'\r\n')

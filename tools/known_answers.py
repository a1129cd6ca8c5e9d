"""Writing and checking the known-answer files that the reference scripts make.

A known-answer file is C++ that tests include: one X-macro line per answer, with every macro
defined empty unless the test defined it first. The reference script writes it after a change of
what it is made from; ctest runs the script with --check, which fails while the committed file is
out of date.
"""
import argparse
import sys


def c_string(text):
    """A C string literal of text; bytes outside printable ASCII as three-digit octal escapes."""
    if isinstance(text, str):
        text = text.encode()
    out = []
    for byte in text:
        char = chr(byte)
        if char in '\\"':
            out.append("\\" + char)
        elif 0x20 <= byte < 0x7F:
            out.append(char)
        else:
            out.append("\\%03o" % byte)
    return '"' + "".join(out) + '"'


def macro_file(maker, names, lines):
    """The whole file: the answers' lines between the default definitions of names and their
    removal."""
    head = ["// Known answers made by %s; do not edit." % maker,
            "// Define the macros you need before including; the others expand to nothing."]
    for name in names:
        head += ["#ifndef " + name, "#define %s(...)" % name, "#endif"]
    tail = ["#undef " + name for name in names]
    return "\n".join(head + lines + tail) + "\n"


def write_or_check(script, make_text, arguments=None):
    """--write FILE or --check FILE; extra options of the script come in through arguments (a
    function that adds them to the parser) and reach make_text as the parsed namespace."""
    parser = argparse.ArgumentParser()
    if arguments:
        arguments(parser)
    group = parser.add_mutually_exclusive_group(required=True)
    group.add_argument("--write")
    group.add_argument("--check")
    args = parser.parse_args()
    text = make_text(args)
    if args.write:
        with open(args.write, "w", encoding="ascii") as f:
            f.write(text)
        return 0
    with open(args.check, encoding="ascii") as f:
        if f.read() != text:
            print("%s is out of date: run %s --write" % (args.check, script), file=sys.stderr)
            return 1
    print("known answers match the reference")
    return 0

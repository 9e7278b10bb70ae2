#!/usr/bin/env python3
"""Reads memcheck's XML report and fails when an error or a definite leak is ours.

An error is ours when the code that made it is ours: the first frame of its
stack below the allocator and the C and C++ libraries lies in this repository,
or, for a value found uninitialised, the first such frame of the stack that
created the value does. A Mesa, X, SDL or freeglut error that our code merely
called into is reported, not counted. Usage: valgrind_report.py MEMCHECK.xml
"""
import os
import sys
import xml.etree.ElementTree as ElementTree

REPO = os.path.realpath(os.path.join(os.path.dirname(__file__), ".."))

# Frames that only pass a request on: the allocator, valgrind's replacements of
# the string functions, and the C and C++ runtime libraries.
PASS_THROUGH_OBJECTS = ("vgpreload_memcheck", "/libc.so", "/libstdc++.so", "/libm.so")


def frames(stack):
    return [] if stack is None else stack.findall("frame")


def inside_repo(path):
    # Library debug information names relative source directories: never ours.
    return bool(path) and os.path.isabs(path) and os.path.realpath(path).startswith(REPO + os.sep)


def is_ours(frame):
    """Code of our binary (library templates inlined into it included), or our sources."""
    return inside_repo(frame.findtext("obj")) or inside_repo(frame.findtext("dir"))


def owner(stack):
    """The first frame that is not the allocator or the C and C++ runtime."""
    for frame in frames(stack):
        obj = frame.findtext("obj") or ""
        if not any(part in obj for part in PASS_THROUGH_OBJECTS) or is_ours(frame):
            return frame
    return None


def describe(frame):
    if frame is None:
        return "?"
    function = frame.findtext("fn") or "???"
    if frame.findtext("file"):
        return f"{function} ({frame.findtext('file')}:{frame.findtext('line')})"
    return f"{function} ({os.path.basename(frame.findtext('obj') or '?')})"


def what(error):
    return error.findtext("what") or error.findtext("xwhat/text") or error.findtext("kind")


def main(path):
    root = ElementTree.parse(path).getroot()
    errors = root.findall("error")
    ours, theirs = [], []
    leaked_ours = 0
    for error in errors:
        stacks = error.findall("stack")
        makers = [owner(stack) for stack in stacks]
        mine = any(frame is not None and is_ours(frame) for frame in makers)
        (ours if mine else theirs).append(error)
        if mine and error.findtext("kind") == "Leak_DefinitelyLost":
            leaked_ours += int(error.findtext("xwhat/leakedbytes") or 0)

    suppressed = [(int(pair.findtext("count")), pair.findtext("name"))
                  for pair in root.findall("suppcounts/pair")]
    print(f"memcheck: {len(errors)} error(s) reported, {len(ours)} in our code, "
          f"{len(theirs)} in libraries; {sum(count for count, _ in suppressed)} suppressed")
    for count, name in sorted(suppressed, reverse=True):
        print(f"  suppressed {count:5d} x {name}")
    for error in theirs:
        print(f"  library: {what(error)} at {describe(owner(error.find('stack')))}")
    for error in ours:
        print(f"  OURS: {what(error)}")
        for stack in error.findall("stack"):
            for frame in frames(stack)[:12]:
                print(f"      {describe(frame)}")
    print(f"memcheck: definitely lost in our code: {leaked_ours} bytes")
    return 1 if ours else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))

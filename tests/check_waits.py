#!/usr/bin/env python3
"""Fails, naming file:line, where a test waits in real time without a named bound.

A bound is how long a test waits before it calls something missing. On a loaded
machine under the sanitizers the toolkit's defaults (5 s for QTRY_*, qWaitFor and
qWaitForWindow*, 30 s for a process's waits) and numbers picked on an idle machine
are too short, and nobody can tell from a number what it was meant to hold for; so
every bound is a constant from tests/support (Bounds.h) whose comment says why.

Checked, in every .cpp and .h below the folder given (fixture folders aside):
- QTRY_* without _WITH_TIMEOUT, and their timeout a number;
- qWaitFor, qWaitForWindowExposed/Active and a spy's (or thread's) wait() without a
  timeout, or with one that holds a number;
- a process's or socket's waitFor...() without a timeout, or with a number;
- qWait(number), a wait helper of the tests' own (waitFor, WaitOnScreen, Settle,
  ...) given a number, a deadline (elapsed(), hasExpired(), QDeadlineTimer) against
  a number, and a time parameter (timeout..., ms, ...Ms) whose default is a number;
- a bound constant (k...Ms) set to a number outside tests/support;
and in the build's CMake files, a gtest_discover_tests without a DISCOVERY_TIMEOUT
(listing a test binary's cases runs it; its default is 5 s) or with a number.
A poll loop's turn is no exception: it takes kPollMs, so that no number is left to
tell apart from a bound.

Run as: check_waits.py <folder> [<folder> ...]
"""

import pathlib
import re
import sys

NUMBER = r"-?\d[\d']*[a-zA-Z]*"
HAS_NUMBER = re.compile(r"(?<![\w.])\d")


def code_only(text):
    """The text with comments, strings and characters blanked out; lines kept."""
    out = []
    i, n = 0, len(text)

    def blank(s):
        return re.sub(r"[^\n]", " ", s)

    while i < n:
        c = text[i]
        if text.startswith("//", i):
            end = text.find("\n", i)
            end = n if end < 0 else end
            out.append(blank(text[i:end]))
            i = end
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            out.append(blank(text[i:end]))
            i = end
        elif c == '"' and re.search(r"(?:^|\W)(?:u8|u|U|L)?R$", text[max(0, i - 4) : i]):
            delim = text[i + 1 : text.find("(", i)]
            end = text.find(")" + delim + '"', i)
            end = n if end < 0 else end + len(delim) + 2
            out.append('"' + blank(text[i + 1 : end - 1]) + '"')
            i = end
        elif c == '"' or (c == "'" and not re.match(r"[0-9a-fA-F]", text[i - 1 : i])):
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            out.append(c + blank(text[i + 1 : j]) + text[j : j + 1])
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def arguments(code, open_at):
    """The top-level arguments of the call whose "(" is at open_at."""
    depth, start, args = 0, open_at + 1, []
    for i in range(open_at, len(code)):
        c = code[i]
        if c in "([{":
            depth += 1
        elif c in ")]}":
            depth -= 1
            if depth == 0:
                args.append(code[start:i].strip())
                return [a for a in args if a]
        elif c == "," and depth == 1:
            args.append(code[start:i].strip())
            start = i + 1
    return []


def is_number(arg):
    """Whether arg is a bare number (of ms, or negative: for ever)."""
    return re.fullmatch(NUMBER, arg) is not None


PROCESS_WAITS = r"waitFor(?:Started|Finished|ReadyRead|BytesWritten|Connected|Disconnected|NewConnection|Encrypted)"


def problems(path, in_support):
    code = code_only(path.read_text(encoding="utf-8", errors="replace"))

    def line(at):
        return code.count("\n", 0, at) + 1

    def calls(pattern):
        for m in re.finditer(rf"\b(?:{pattern})\s*\(", code):
            name = m.group(0).rstrip("( \t\n")
            yield line(m.start()), name, arguments(code, m.end() - 1)

    for at, name, args in calls(r"QTRY_\w+"):
        if not name.endswith("_WITH_TIMEOUT"):
            yield at, f"{name} waits the toolkit's default 5 s"
        elif args and HAS_NUMBER.search(args[-1]):
            yield at, f"{name} waits a number ({args[-1]})"

    for at, name, args in calls(r"qWaitFor(?:WindowExposed|WindowActive)?"):
        if len(args) < 2:
            yield at, f"{name} waits the toolkit's default 5 s"
        elif HAS_NUMBER.search(args[-1]):
            yield at, f"{name} waits a number ({args[-1]})"

    for m in re.finditer(r"(?:\.|->)wait\s*\(", code):
        args = arguments(code, m.end() - 1)
        if not args:
            yield line(m.start()), "wait() without a bound"
        elif HAS_NUMBER.search(args[-1]):
            yield line(m.start()), f"wait() waits a number ({args[-1]})"

    for at, name, args in calls(PROCESS_WAITS):
        if not args:
            yield at, f"{name} waits its default 30 s"
        elif is_number(args[-1]):
            yield at, f"{name} waits a number ({args[-1]})"

    for at, name, args in calls(r"qWait"):
        if args and is_number(args[0]):
            yield at, f"qWait waits a number ({args[0]})"

    # Helpers of the tests' own that wait (waitFor, waitForLine, Settle, ...);
    # waitpid's number is its flags.
    for at, name, args in calls(r"[wW]ait\w*|Settle"):
        if not re.fullmatch(rf"{PROCESS_WAITS}|wait|waitpid", name) and args and is_number(args[-1]):
            yield at, f"{name} waits a number ({args[-1]})"

    deadline = rf"(?:\belapsed\(\)\s*(?:[<>]=?|,)|\bhasExpired\(|\bQDeadlineTimer\s*\w*\s*[({{])\s*({NUMBER})"
    for m in re.finditer(deadline, code):
        if is_number(m.group(1)):
            yield line(m.start()), f"a deadline at a number ({m.group(1)})"

    default = rf"[(,]\s*(?:const\s+)?(?:int|qint64)\s+(\w*[Tt]imeout\w*|ms|\w+Ms)\s*=\s*({NUMBER})"
    for m in re.finditer(default, code):
        if is_number(m.group(2)):
            yield line(m.start(1)), f"{m.group(1)} defaults to a number ({m.group(2)})"

    if not in_support:
        for m in re.finditer(rf"\b(k[A-Z]\w*Ms)\s*=\s*{NUMBER}", code):
            yield line(m.start()), f"{m.group(1)} is a bound of its own: put it in tests/support"


def cmake_problems(path):
    code = re.sub(r"#[^\n]*", lambda m: " " * len(m.group(0)), path.read_text(encoding="utf-8"))
    for m in re.finditer(r"\bgtest_discover_tests\s*\(([^)]*)\)", code, re.IGNORECASE):
        at = code.count("\n", 0, m.start()) + 1
        given = re.search(r"\bDISCOVERY_TIMEOUT\s+(\S+)", m.group(1))
        if not given:
            yield at, "gtest_discover_tests lists the cases within its default 5 s"
        elif HAS_NUMBER.match(given.group(1)):
            yield at, f"gtest_discover_tests lists the cases within a number ({given.group(1)})"


def main():
    roots = [pathlib.Path(a).resolve() for a in sys.argv[1:]]
    found = []
    for root in roots:
        named = f"{root.name}/" if len(roots) > 1 else ""
        for path in sorted(root.rglob("*")):
            rel = path.relative_to(root)
            if any(p.endswith("_fixture") for p in rel.parts[:-1]):
                continue
            if path.suffix in (".cpp", ".h"):
                checked = problems(path, rel.parts[0] == "support")
            elif path.suffix == ".cmake" or path.name == "CMakeLists.txt":
                checked = cmake_problems(path)
            else:
                continue
            for at, what in sorted(checked):
                found.append(f"{named}{rel.as_posix()}:{at}: {what}")
    for f in found:
        print(f)
    if found:
        print(f"{len(found)} real-time waits without a named bound from tests/support", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

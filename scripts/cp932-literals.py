#!/usr/bin/env python3
"""Rewrites the string and character literals of a UTF-8 C++ source so that
every non-ASCII character becomes its code page 932 (Shift-JIS) bytes as
octal escapes. The result compiles to the same bytes as g++ with
-fexec-charset=CP932, with any compiler (clang has no such option).

usage: cp932-literals.py IN OUT
"""
import os
import sys


def convert_literal(body: str) -> str:
    out = []
    for ch in body:
        if ord(ch) < 128:
            out.append(ch)
        else:
            out.extend("\\%03o" % b for b in ch.encode("cp932"))
    return "".join(out)


def convert(src: str) -> str:
    out = []
    i, n = 0, len(src)
    while i < n:
        c = src[i]
        if src.startswith("//", i):
            j = src.find("\n", i)
            j = n if j < 0 else j
            out.append(src[i:j])
            i = j
        elif src.startswith("/*", i):
            j = src.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(src[i:j])
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and src[j] != c:
                j += 2 if src[j] == "\\" else 1
            out.append(c + convert_literal(src[i + 1:j]) + c)
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def main() -> None:
    with open(sys.argv[1], encoding="utf-8") as f:
        text = f.read()
    result = convert(text)
    os.makedirs(os.path.dirname(os.path.abspath(sys.argv[2])), exist_ok=True)
    with open(sys.argv[2], "w", encoding="utf-8") as f:
        f.write(result)


if __name__ == "__main__":
    main()

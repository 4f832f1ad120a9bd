#!/usr/bin/env python3
"""Turns one English text (standard input) into the pseudo-language (standard output), for msgfilter.

Every letter is accented and each line is bracketed and made about 40 % longer, so a screen in the
pseudo-language shows at a glance a text that is not from the catalogue, one cut off at either
end, and one that would not fit a longer language. The {name} places are kept as they are.
"""
import math
import re
import sys

ACCENTED = dict(zip(
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ",
    "áƀçđéƒĝĥîĵķĺɱñöþǫŕšţûṽŵẋýžÅƁÇĐÉƑĜĤÎĴĶĹṀÑÖÞǪŔŠŢÛṼŴẊÝŽ"))


def pseudo_line(line):
    if not line.strip():
        return line
    parts = re.split(r"(\{\{|\}\}|\{[^{}]*\})", line)
    body = "".join(p if p.startswith(("{", "}")) else "".join(ACCENTED.get(c, c) for c in p) for p in parts)
    return "[" + body + " " + "~" * max(1, math.ceil(0.4 * len(line)) - 3) + "]"


text = sys.stdin.read()
sys.stdout.write("\n".join(pseudo_line(line) for line in text.split("\n")))

#!/usr/bin/env python3
"""Renames private data members spelled m_name to name_, the house style.

    tools/rename-members.py [--dry-run] [--root DIR] [FILE...]

FILEs are named from the root of the tree; without them it takes the files
still written in the older style. Only a member declared in a private
section of a class in those files is renamed, and only as a whole word,
everywhere in those files (code and comments). Nothing is written when a
new name is already used in a file that uses the old one (the member and a
parameter or global of that name would hide one another), or when a file not
given still uses an old name: that file must join the list first. Public
and protected m_ members, and m_ names that are not members, are reported
and left alone. Exit code 0 when done (or nothing was to do), 1 when it
refused, 2 for a bad argument.
"""

import argparse
import os
import re
import subprocess
import sys

DEFAULT_FILES = [
    "ui/dialogs/NovaFigurka.h",
    "ui/dialogs/NovaFigurka.cpp",
    "ui/dialogs/Mylabel.h",
    "ui/dialogs/Mylabel.cpp",
    "ui/platform/JpegImage.cpp",
    "files/ProfileFile.cpp",
    "record/Fen.cpp",
    "tests/ui/dialogs/tst_about.cpp",
    "tools/perft_main.cpp",
]

OLD_NAME = re.compile(r"\bm_(\w+)\b")
CLASS_HEAD = re.compile(r"^\s*(?:template\s*<[^>]*>\s*)?(class|struct)\s+(\w+)[^;]*$")
ACCESS = re.compile(r"^\s*(public|protected|private)\b[^:]*:(?!:)")
# A data member: no parenthesis before its name (that would be a function),
# any initialiser after it.
DATA_MEMBER = re.compile(r"^\s*(?!return\b|using\b|typedef\b|friend\b)[^;()=]*?[\s*&](m_\w+)\s*(?:[=\[{][^;]*)?;")


def strip_comments_and_strings(line, in_block_comment):
    """The line with comments and string literals blanked, for finding declarations."""
    out = []
    i = 0
    while i < len(line):
        if in_block_comment:
            end = line.find("*/", i)
            if end < 0:
                return "".join(out), True
            i = end + 2
            in_block_comment = False
        elif line.startswith("//", i):
            break
        elif line.startswith("/*", i):
            in_block_comment = True
            i += 2
        elif line[i] in "\"'":
            quote = line[i]
            i += 1
            while i < len(line) and line[i] != quote:
                i += 2 if line[i] == "\\" else 1
            i += 1
            out.append(quote + quote)
        else:
            out.append(line[i])
            i += 1
    return "".join(out), in_block_comment


def private_members(text):
    """Names of the m_ data members declared in a private section, and of the other m_ members."""
    private, other = set(), set()
    # One entry per open brace: the access in force when it is a class body, else None.
    stack = []
    pending_class = None
    in_comment = False
    for raw in text.splitlines():
        line, in_comment = strip_comments_and_strings(raw, in_comment)
        head = CLASS_HEAD.match(line)
        if head:
            pending_class = "private" if head.group(1) == "class" else "public"
        access = ACCESS.match(line)
        if access and stack and stack[-1] is not None:
            stack[-1] = access.group(1)
        elif stack and stack[-1] is not None:
            member = DATA_MEMBER.match(line)
            if member:
                (private if stack[-1] == "private" else other).add(member.group(1))
        for c in line:
            if c == "{":
                stack.append(pending_class)
                pending_class = None
            elif c == "}" and stack:
                stack.pop()
            elif c == ";":
                pending_class = None
    return private, other


def tracked_sources(root):
    try:
        out = subprocess.run(["git", "-C", root, "ls-files", "*.cpp", "*.h", "*.c"],
                             check=True, capture_output=True, text=True).stdout
    except (OSError, subprocess.CalledProcessError):
        return []
    return [name for name in out.splitlines() if name]


def main():
    parser = argparse.ArgumentParser(description="Rename private m_name members to name_.")
    parser.add_argument("files", nargs="*", help="files to rename in (default: the older-style files)")
    parser.add_argument("--root", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."),
                        help="the source tree (default: the one this script is in)")
    parser.add_argument("--dry-run", action="store_true", help="say what would change, write nothing")
    args = parser.parse_args()

    root = os.path.abspath(args.root)
    if not os.path.isdir(root):
        print(f"rename-members: no such folder: {root}", file=sys.stderr)
        return 2
    # Names relative to the tree, so that they compare with git's list.
    names = [os.path.relpath(os.path.join(root, n), root) for n in (args.files or DEFAULT_FILES)]
    texts = {}
    for name in names:
        path = os.path.join(root, name)
        try:
            with open(path, encoding="utf-8", newline="") as f:
                texts[name] = f.read()
        except FileNotFoundError:
            print(f"rename-members: {name}: not found, skipped", file=sys.stderr)
        except (OSError, UnicodeDecodeError) as e:
            print(f"rename-members: {name}: cannot read: {e}", file=sys.stderr)
            return 2

    private, other = set(), set()
    for text in texts.values():
        p, o = private_members(text)
        private |= p
        other |= o
    # A name declared private in one class and public in another is left
    # alone: renaming it in one place only would break the other.
    ambiguous = private & other
    renames = {old: old[2:] + "_" for old in sorted(private - ambiguous)}

    if not renames:
        print("rename-members: no private m_ member to rename")
    refused = []
    for old, new in renames.items():
        files = [n for n, t in texts.items() if re.search(rf"\b{old}\b", t)]
        for n in files:
            if re.search(rf"\b{new}\b", texts[n]):
                refused.append(f"{n}: {old} cannot become {new}, which the file already uses")
    for name in tracked_sources(root):
        if name in texts:
            continue
        try:
            with open(os.path.join(root, name), encoding="utf-8", errors="replace") as f:
                text = f.read()
        except OSError:
            continue
        for old in renames:
            if re.search(rf"\b{old}\b", text):
                refused.append(f"{name}: uses {old} but is not among the files to rename in")
    if refused:
        for line in refused:
            print(f"rename-members: {line}", file=sys.stderr)
        print("rename-members: nothing renamed", file=sys.stderr)
        return 1

    for name, text in texts.items():
        left = sorted({"m_" + m for m in OLD_NAME.findall(text)} - set(renames))
        for old in left:
            if old in ambiguous:
                why = "private in one class, not in another"
            elif old in other:
                why = "not private"
            else:
                why = "not a data member"
            print(f"{name}: {old} left alone ({why})")
        count = 0

        def rename(match):
            nonlocal count
            new = renames.get(match.group(0))
            if new is None:
                return match.group(0)
            count += 1
            return new

        changed = OLD_NAME.sub(rename, text)
        if count:
            print(f"{name}: {count} renamed" + (" (dry run)" if args.dry_run else ""))
            if not args.dry_run:
                with open(os.path.join(root, name), "w", encoding="utf-8", newline="") as f:
                    f.write(changed)
    return 0


if __name__ == "__main__":
    sys.exit(main())

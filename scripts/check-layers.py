#!/usr/bin/env python3
"""Fails when an include runs up or sideways between the layers of src/.

The layers, lowest first (docs/architecture.md):
    core <- payload <- log <- variables <- ui <- actions | system | crash <- uninstall <- startup
A file may include its own layer and any lower one; the three middle siblings
never include each other. Portable files (outside a win32/ folder) never
include <windows.h> or a win32/ header, so that they build natively.
Usage: check-layers.py [SOURCE_ROOT]   (default: the repository's src/)
"""
import os
import re
import sys

RANK = {
    "core": 0,
    "payload": 1,
    "log": 2,
    "variables": 3,
    "ui": 4,
    "actions": 5,
    "system": 5,
    "crash": 5,
    "uninstall": 6,
    "startup": 7,
}
INCLUDE = re.compile(r'\s*#\s*include\s+([<"])([^>"]+)[>"]')
SYSTEM_HEADERS = re.compile(r"^(windows|winsock2|ole2|shlobj|shellapi|commctrl|wininet|winhttp|aclapi|objbase)\.h$",
                            re.IGNORECASE)


def problems_in(path, layer, portable):
    with open(path, encoding="utf-8", errors="replace") as source:
        for number, line in enumerate(source, 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            bracket, target = match.groups()
            where = f"{path}:{number}"
            if bracket == "<":
                if portable and SYSTEM_HEADERS.match(target):
                    yield f"{where}: portable file includes <{target}>"
                continue
            top = target.split("/", 1)[0]
            if top not in RANK:
                continue
            if portable and "/win32/" in f"/{target}":
                yield f"{where}: portable file includes the Win32 header {target}"
            if top == layer:
                continue
            if RANK[top] > RANK[layer]:
                yield f"{where}: {layer} includes the higher layer {top} ({target})"
            elif RANK[top] == RANK[layer]:
                yield f"{where}: {layer} includes its sibling {top} ({target})"


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "src")
    found = []
    for folder, _, files in os.walk(root):
        for name in sorted(files):
            if not name.endswith((".cpp", ".h")):
                continue
            path = os.path.join(folder, name)
            parts = os.path.relpath(path, root).split(os.sep)
            layer = parts[0]
            if layer not in RANK:
                found.append(f"{path}: folder {layer} is not a known layer")
                continue
            found.extend(problems_in(path, layer, "win32" not in parts))
    for line in found:
        print(line)
    if found:
        print(f"{len(found)} include(s) break the layering", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

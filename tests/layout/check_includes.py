#!/usr/bin/env python3
"""Checks the direction of the dependencies in src/.

Units are a header and its source file taken together (src/windows/tbxLamps.h and
.cpp are one unit); a quoted include of another unit's header is an edge. Fails
when the units form a cycle, or when a file other than the main window's own and
the program's start includes the main window's header: child windows are handed
what they need and talk back with signals.

Folders are the library targets, and LAYERS says what each may include. Fails too
when a folder includes one it may not (a folder above it, or a sibling it does not
build on), when the folders form a cycle, and for a folder LAYERS does not know.

    check_includes.py SRC_DIR      check a source tree
    check_includes.py --self-test  show that both faults are found
"""

import os
import re
import sys
import tempfile

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
MAIN_WINDOW = "shell/frmMain"
# The main window's own implementation (its File commands apart) and the program's start.
MAY_INCLUDE_MAIN_WINDOW = {"shell/frmMain", "shell/file_commands", "shell/main"}
EXTENSIONS = (".h", ".hpp", ".cpp")

# Each folder of src/ and the folders it may include, lowest layer first.
LAYERS = {
    "base": set(),
    "core": {"base"},
    "qtcore": {"base", "core"},
    "fixture": {"base", "core", "qtcore"},
    "library": {"base", "core", "qtcore", "fixture"},
    "sheet": {"base", "core", "qtcore"},
    "ui": {"base", "core", "qtcore"},
    "windows": {"base", "core", "qtcore", "fixture", "library", "ui", "sheet"},
    "shell": {"base", "core", "qtcore", "fixture", "library", "ui", "windows"},
    "cli": {"base", "core", "qtcore", "fixture", "library", "sheet"},
}


def folder_of(unit):
    return unit.split("/", 1)[0] if "/" in unit else ""


def units_of(src):
    """Maps each unit (path below src without extension) to the units it includes."""
    files = []
    for folder, _, names in os.walk(src):
        for name in names:
            if name.endswith(EXTENSIONS):
                files.append(os.path.relpath(os.path.join(folder, name), src).replace(os.sep, "/"))
    known = {os.path.splitext(f)[0] for f in files}
    graph = {unit: set() for unit in known}
    includers = {}
    for f in files:
        unit = os.path.splitext(f)[0]
        with open(os.path.join(src, f), encoding="utf-8", errors="replace") as handle:
            text = handle.read()
        for target in INCLUDE.findall(text):
            # Paths are written from src/; a bare name is beside the including file.
            candidates = [target, os.path.normpath(os.path.join(os.path.dirname(f), target)).replace(os.sep, "/")]
            for candidate in candidates:
                other = os.path.splitext(candidate)[0]
                if other in known:
                    if other != unit:
                        graph[unit].add(other)
                    includers.setdefault(other, set()).add(f)
                    break
    return graph, includers


def find_cycle(graph):
    """One cycle as a list of units (first repeated at the end), or None."""
    white, grey, black = 0, 1, 2
    colour = {unit: white for unit in graph}
    for start in sorted(graph):
        if colour[start] != white:
            continue
        path = [start]
        stack = [iter(sorted(graph[start]))]
        colour[start] = grey
        while stack:
            advanced = False
            for nxt in stack[-1]:
                if colour[nxt] == grey:
                    return path[path.index(nxt):] + [nxt]
                if colour[nxt] == white:
                    colour[nxt] = grey
                    path.append(nxt)
                    stack.append(iter(sorted(graph[nxt])))
                    advanced = True
                    break
            if not advanced:
                colour[path.pop()] = black
                stack.pop()
    return None


def folder_problems(graph, layers):
    found = []
    folders = {}
    for unit, targets in graph.items():
        here = folder_of(unit)
        folders.setdefault(here, set())
        for other in targets:
            there = folder_of(other)
            if there != here:
                folders[here].add(there)
    for folder in sorted(folders):
        if folder not in layers:
            found.append("folder %s/ is not in the layer map of this check" % folder)
            continue
        for there in sorted(folders[folder] - layers[folder]):
            found.append("folder %s/ includes %s/, which it may not" % (folder, there))
    cycle = find_cycle(folders)
    if cycle:
        found.append("folder cycle: " + " -> ".join(cycle))
    return found


def problems(src, layers=None):
    graph, includers = units_of(src)
    found = []
    cycle = find_cycle(graph)
    if cycle:
        found.append("include cycle: " + " -> ".join(cycle))
    found += folder_problems(graph, LAYERS if layers is None else layers)
    for f in sorted(includers.get(MAIN_WINDOW, ())):
        if os.path.splitext(f)[0] not in MAY_INCLUDE_MAIN_WINDOW:
            found.append(f + " includes the main window's header " + MAIN_WINDOW + ".h")
    return found


def self_test():
    def tree(files):
        root = tempfile.mkdtemp()
        for path, text in files.items():
            os.makedirs(os.path.dirname(os.path.join(root, path)), exist_ok=True)
            with open(os.path.join(root, path), "w", encoding="utf-8") as handle:
                handle.write(text)
        return root

    clean = tree({
        "shell/frmMain.h": '#include "windows/frmStageScreen.h"\n',
        "shell/frmMain.cpp": '#include "shell/frmMain.h"\n#include "windows/tbxLamps.h"\n',
        "shell/main.cpp": '#include "shell/frmMain.h"\n',
        "windows/frmStageScreen.h": '#include "windows/mnuMenus.h"\n#include "core/lamp.h"\n',
        "windows/frmStageScreen.cpp": '#include "windows/frmStageScreen.h"\n#include "windows/tbxLamps.h"\n',
        "windows/tbxLamps.h": "#include <QWidget>\n",
        "windows/mnuMenus.cpp": '#include "mnuMenus.h"\n',
        "windows/mnuMenus.h": "",
        "core/lamp.h": '#include "base/byte_io.h"\n',
        "base/byte_io.h": "",
    })
    # The cycle runs through a source file: units, not single files, are checked.
    cyclic = tree({
        "windows/frmStageScreen.h": "",
        "windows/frmStageScreen.cpp": '#include "windows/frmStageScreen.h"\n#include "windows/mnuMenus.h"\n',
        "windows/mnuMenus.h": "",
        "windows/mnuMenus.cpp": '#include "frmStageScreen.h"\n',
    })
    reaching = tree({
        "shell/frmMain.h": "",
        "windows/frmImport.cpp": '#include "shell/frmMain.h"\n',
    })
    # No unit cycle, but core reaches up into the windows.
    upward = tree({
        "windows/frmDocument.h": '#include "core/lamp.h"\n',
        "core/lamp.h": "",
        "core/verify.cpp": '#include "windows/frmDocument.h"\n',
    })
    # Two folders that include each other, allowed by a careless map.
    careless = {"a": {"b"}, "b": {"a"}}
    folder_cycle = tree({"a/x.h": '#include "b/y.h"\n', "b/y.h": "", "b/z.h": '#include "a/w.h"\n', "a/w.h": ""})
    stranger = tree({"gadgets/x.h": '#include "core/lamp.h"\n', "core/lamp.h": ""})
    checks = [
        (problems(clean) == [], "a clean tree passes"),
        (any("include cycle" in p for p in problems(cyclic)), "a cycle through a source file is found"),
        (any("windows/frmImport.cpp" in p for p in problems(reaching)), "a child including frmMain.h is found"),
        (any("core/ includes windows/" in p for p in problems(upward)), "an include up the layers is found"),
        (any("folder cycle" in p for p in problems(folder_cycle, careless)), "a folder cycle is found"),
        (any("gadgets/" in p for p in problems(stranger)), "a folder the map does not know is found"),
    ]
    failed = [what for ok, what in checks if not ok]
    for what in failed:
        print("self-test failed: " + what)
    return 1 if failed else 0


def main(argv):
    if len(argv) == 2 and argv[1] == "--self-test":
        return self_test()
    if len(argv) != 2 or not os.path.isdir(argv[1]):
        print(__doc__)
        return 2
    found = problems(argv[1])
    for p in found:
        print(p)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

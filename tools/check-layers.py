#!/usr/bin/env python3
"""Fails when a layer includes a header of a layer above it.

    app -> removal -> scan -> db -> base
    removal -> olmaticpost (the reporting library's header; linked by import)
    app -> ui -> ui/framework -> base
    updater -> ui/framework, base, resources   (a program of its own; resources/ for the art geometry)
    olmaticpost -> base             (the reporting library)
    setup -> base                   (the setup program)
    programs -> everything           (the entry points)

Usage: check-layers.py SOURCE_DIR          check the tree
       check-layers.py --self-test         plant an upward include in a copy and expect a failure
"""
import os
import re
import shutil
import sys
import tempfile

# Folder -> the folders its files may include from (itself always allowed).
ALLOWED = {
    "base": set(),
    "ui/framework": {"base"},
    "ui": {"ui/framework", "base", "resources"},
    "db": {"base"},
    "scan": {"db", "base"},
    "removal": {"scan", "db", "base", "olmaticpost"},
    "app": {"removal", "scan", "db", "ui", "ui/framework", "base", "resources", "olmaticpost"},
    "updater": {"ui/framework", "base", "resources"},
    "olmaticpost": {"base"},
    "setup": {"base"},
    # The programs' entry points stand above every library.
    "programs": {"app", "removal", "scan", "db", "ui", "ui/framework", "base", "resources", "olmaticpost",
                 "updater", "setup"},
}
# Project folders an include can name; "resource.h" and other bare names live in resources/
# unless the including folder has a file of that name.
KNOWN = sorted(ALLOWED, key=len, reverse=True)
# Headers the build generates for every layer (cmake/TarnockVersion.h.in): part of no layer.
GENERATED = {"TarnockVersion.h"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def layer_of(relpath):
    for layer in KNOWN:
        if relpath == layer or relpath.startswith(layer + "/"):
            # ui/framework/x is the framework, not ui.
            return layer
    return None


def target_layer(include, including_dir, root):
    if "/" not in include:
        if os.path.exists(os.path.join(root, including_dir, include)):
            return layer_of(including_dir)
        return "resources"
    folder = include.rsplit("/", 1)[0]
    return layer_of(folder) or folder.split("/", 1)[0]


def check(root):
    problems = []
    for layer in KNOWN:
        top = os.path.join(root, layer)
        if not os.path.isdir(top):
            continue
        for name in sorted(os.listdir(top)):
            if not name.endswith((".h", ".cpp", ".c", ".rc")):
                continue
            rel = layer + "/" + name
            with open(os.path.join(top, name), encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    if m.group(1) in GENERATED:
                        continue
                    target = target_layer(m.group(1), layer, root)
                    if target == layer:
                        continue
                    if target not in ALLOWED[layer]:
                        problems.append(f"{rel}:{number}: {layer} must not include {m.group(1)} ({target})")
    return problems


def self_test(root):
    with tempfile.TemporaryDirectory() as tmp:
        for layer in ("base", "scan"):
            src = os.path.join(root, layer)
            if os.path.isdir(src):
                shutil.copytree(src, os.path.join(tmp, layer))
        os.makedirs(os.path.join(tmp, "base"), exist_ok=True)
        with open(os.path.join(tmp, "base", "Planted.h"), "w") as f:
            f.write('#pragma once\n#include "scan/KelvoEngine.h"\n')
        problems = check(tmp)
        planted = [p for p in problems if p.startswith("base/Planted.h:2:")]
        if not planted:
            print("self-test: the planted upward include was not reported")
            return 1
        print("self-test: reported as expected:", planted[0])
        return 0


def main(argv):
    if len(argv) >= 2 and argv[1] == "--self-test":
        root = argv[2] if len(argv) > 2 else os.path.join(os.path.dirname(__file__), "..")
        return self_test(os.path.abspath(root))
    root = os.path.abspath(argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    problems = check(root)
    for p in problems:
        print(p)
    if problems:
        print(f"layers: {len(problems)} upward include(s)")
        return 1
    print("layers: every include points down")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

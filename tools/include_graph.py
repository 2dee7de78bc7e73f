#!/usr/bin/env python3
"""Prints how the library's folders include each other, bottom floor first.

    tools/include_graph.py [--check] [--files]

Reads every '#include "folder/file.h"' of the library's sources (tests, benchmarks, the host
harness and tools are left out: they may include anything). A folder stands on a floor one
above the highest folder it includes; an arrow that runs from a folder to one on its own floor
or above runs back up, which only a loop of folders can cause. With --check it exits with 1
when there is a loop of folders, more than one arrow running back up, or a loop of files.
--files also prints each folder-level arrow's includes.
"""
import os
import re
import sys
from collections import defaultdict

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LIBRARY_FOLDERS = ["core", "math", "imagecodec", "files", "graphics", "image", "sprite", "input",
                   "services", "app", "plugin"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def read_includes():
    """Maps each library file ('folder/name') to the project files it includes."""
    includes = {}
    for folder in LIBRARY_FOLDERS:
        for directory, _, names in os.walk(os.path.join(ROOT, folder)):
            for name in sorted(names):
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.join(directory, name)
                relative = os.path.relpath(path, ROOT).replace(os.sep, "/")
                with open(path, encoding="utf-8") as source:
                    found = INCLUDE.findall(source.read())
                includes[relative] = [f for f in found if os.path.exists(os.path.join(ROOT, f))]
    return includes


def folder_of(path):
    return path.split("/", 1)[0]


def strongly_connected(nodes, edges):
    """Tarjan's algorithm: the components of more than one node, or with a self-loop."""
    index, low, stack, on_stack, result = {}, {}, [], set(), []
    counter = [0]

    def visit(node):
        index[node] = low[node] = counter[0]
        counter[0] += 1
        stack.append(node)
        on_stack.add(node)
        for target in sorted(edges.get(node, ())):
            if target not in index:
                visit(target)
                low[node] = min(low[node], low[target])
            elif target in on_stack:
                low[node] = min(low[node], index[target])
        if low[node] == index[node]:
            component = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                component.append(member)
                if member == node:
                    break
            if len(component) > 1 or node in edges.get(node, ()):
                result.append(sorted(component))

    sys.setrecursionlimit(10000)
    for node in sorted(nodes):
        if node not in index:
            visit(node)
    return result


def floors(folders, edges):
    """Longest path to the bottom, ignoring arrows inside a loop so that it ends."""
    floor = {}

    def height(folder, seen):
        if folder in floor:
            return floor[folder]
        below = [t for t in edges.get(folder, ()) if t != folder and t not in seen]
        value = 1 + max((height(t, seen | {folder}) for t in below), default=0)
        floor[folder] = value
        return value

    for folder in folders:
        height(folder, frozenset())
    return floor


def main(argv):
    check = "--check" in argv
    show_files = "--files" in argv
    includes = read_includes()

    folder_edges = defaultdict(set)
    reasons = defaultdict(list)
    for source, targets in includes.items():
        for target in targets:
            if folder_of(target) != folder_of(source):
                folder_edges[folder_of(source)].add(folder_of(target))
                reasons[(folder_of(source), folder_of(target))].append(f"{source} -> {target}")

    folders = [f for f in LIBRARY_FOLDERS if os.path.isdir(os.path.join(ROOT, f))]
    floor = floors(folders, folder_edges)
    back_up = [(a, b) for a in folders for b in sorted(folder_edges.get(a, ())) if floor[b] >= floor[a]]

    for level in sorted(set(floor.values())):
        for folder in sorted(f for f in folders if floor[f] == level):
            targets = sorted(folder_edges.get(folder, ()), key=lambda t: (-floor[t], t))
            print(f"floor {level}  {folder:<11} -> {', '.join(targets) if targets else '(nothing)'}")
            if show_files:
                for target in targets:
                    for reason in reasons[(folder, target)]:
                        print(f"              {reason}")

    folder_loops = strongly_connected(folders, folder_edges)
    file_edges = {source: set(targets) for source, targets in includes.items()}
    file_loops = strongly_connected(includes.keys(), file_edges)
    for a, b in back_up:
        print(f"back up: {a} -> {b}: {'; '.join(reasons[(a, b)])}")
    for loop in folder_loops:
        print(f"folder loop: {' <-> '.join(loop)}")
    for loop in file_loops:
        print(f"include loop: {' <-> '.join(loop)}")
    print(f"{len(back_up)} arrow(s) back up, {len(folder_loops)} folder loop(s), "
          f"{len(file_loops)} include loop(s)")
    if check and (folder_loops or file_loops or len(back_up) > 1):
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

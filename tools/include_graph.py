#!/usr/bin/env python3
"""The project's include graph, and the check that it only runs downwards.

A unit is a source file with its header (x.cpp and x.h are one unit); a
folder is the folder a unit sits in (core/engine, windows/shell, ...). An
arrow is an #include "..." of a file of this tree. The check fails when the
units, or the folders, include each other round in a circle: then some arrow
runs back up, and neither side can be read, built or tested without the
other.

    tools/include_graph.py [--picture] [--doc FILE]

Exits 1 when an arrow runs back up. --picture prints the folders floor by
floor, lowest first, each with the folders it includes: the picture
DEVELOPERS.md shows; --doc FILE also fails when FILE does not show the
folders' picture of the tree as it is.
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SOURCES = ("core", "windows", "tools", "resources", "tests", "fuzz", "bench")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)


def units():
    """{unit: set of units it includes}, units as paths without extension."""
    graph = {}
    for top in SOURCES:
        for folder, _, names in os.walk(os.path.join(ROOT, top)):
            for name in names:
                if not name.endswith((".cpp", ".h", ".inc")):
                    continue
                path = os.path.relpath(os.path.join(folder, name), ROOT)
                unit = os.path.splitext(path)[0]
                with open(os.path.join(ROOT, path), encoding="utf-8", errors="replace") as f:
                    text = f.read()
                arrows = graph.setdefault(unit, set())
                for target in INCLUDE.findall(text):
                    if os.path.exists(os.path.join(ROOT, target)):
                        to = os.path.splitext(target)[0]
                        if to != unit:
                            arrows.add(to)
    return graph


def circles(graph):
    """The strongly connected groups of more than one node (Tarjan's)."""
    index, low, stack, on, found, counter = {}, {}, [], set(), [], [0]

    def visit(node):
        index[node] = low[node] = counter[0]
        counter[0] += 1
        stack.append(node)
        on.add(node)
        for to in sorted(graph.get(node, ())):
            if to not in index:
                visit(to)
                low[node] = min(low[node], low[to])
            elif to in on:
                low[node] = min(low[node], index[to])
        if low[node] == index[node]:
            group = []
            while True:
                top = stack.pop()
                on.discard(top)
                group.append(top)
                if top == node:
                    break
            if len(group) > 1:
                found.append(sorted(group))

    sys.setrecursionlimit(10000)
    for node in sorted(graph):
        if node not in index:
            visit(node)
    return found


def folders(graph):
    out = {}
    for unit, arrows in graph.items():
        here = os.path.dirname(unit)
        out.setdefault(here, set()).update(os.path.dirname(t) for t in arrows if os.path.dirname(t) != here)
    return out


def floors(graph):
    """Each node's floor: 0 for one that includes nothing, else one above the highest it includes."""
    floor = {}

    def height(node, seen=()):
        if node in floor:
            return floor[node]
        below = [height(t, seen + (node,)) for t in graph.get(node, ()) if t not in seen]
        floor[node] = 1 + max(below) if below else 0
        return floor[node]

    for node in graph:
        height(node)
    return floor


def main():
    graph = units()
    folder_graph = folders(graph)
    unit_circles, folder_circles = circles(graph), circles(folder_graph)
    lines = [f"units {len(graph)}, arrows {sum(len(a) for a in graph.values())}; "
             f"folders {len(folder_graph)}, arrows {sum(len(a) for a in folder_graph.values())}; "
             f"circles of units {len(unit_circles)}, of folders {len(folder_circles)}"]
    floor = floors(folder_graph)
    for level in range(max(floor.values()) + 1):
        for name in sorted(n for n in folder_graph if floor[n] == level):
            below = ", ".join(sorted(folder_graph[name])) or "-"
            lines.append(f"  {level}  {name:<16} -> {below}")
    picture = "\n".join(lines[1:]) + "\n"  # the folders by floor, without the counts
    print(lines[0])
    for group in unit_circles + folder_circles:
        print("  circle: " + " <-> ".join(group))
    if "--picture" in sys.argv:
        print(picture, end="")
    stale = False
    if "--doc" in sys.argv:
        doc = sys.argv[sys.argv.index("--doc") + 1]
        with open(doc, encoding="utf-8") as f:
            stale = picture not in f.read()
        if stale:
            print(f"{doc} does not show this picture: copy in the output of --picture")
    return 1 if unit_circles or folder_circles or stale else 0


if __name__ == "__main__":
    sys.exit(main())

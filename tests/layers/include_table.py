#!/usr/bin/env python3
"""Reads every #include "..." of the project's sources, tabulates which
folder includes which, and fails on any edge tests/layers/layers.txt does
not allow, naming the file and the line.

  include_table.py ROOT [TARGETS]  check the includes against the table and,
                                   given the build's table of targets, that
                                   every library links the folders its
                                   sources include
  include_table.py ROOT --table    print the folder -> folder counts

A folder is a top-level folder, except that the OpenGL backend (render/gl,
platform/gl), each system's implementations (platform/linux,
platform/windows) and their subfolders (sound, dialogs) are folders of
their own: they sit at other heights than the interfaces above them."""
import os
import re
import subprocess
import sys
from collections import Counter

SOURCE_SUFFIXES = ('.cpp', '.h', '.c', '.cc', '.hpp')
OWN_FOLDERS = {('platform', 'gl'), ('platform', 'linux'), ('platform', 'windows'), ('render', 'gl')}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def Folder(path):
    parts = path.split('/')
    if len(parts) > 2 and (parts[0], parts[1]) in OWN_FOLDERS:
        # A system's sound, dialogs or settings program: a layer of its own.
        if parts[0] == 'platform' and parts[1] != 'gl' and len(parts) > 3:
            return '/'.join(parts[:3])
        return parts[0] + '/' + parts[1]
    return parts[0]


def TrackedSources(root):
    try:
        listed = subprocess.run(['git', '-C', root, 'ls-files'], check=True, capture_output=True,
                                text=True).stdout.split('\n')
    except (OSError, subprocess.CalledProcessError):
        # An unpacked source tree: every file but those of a build tree.
        listed = []
        for folder, dirs, files in os.walk(root):
            dirs[:] = [d for d in dirs
                       if not d.startswith('.') and not os.path.exists(os.path.join(folder, d, 'CMakeCache.txt'))]
            listed += [os.path.relpath(os.path.join(folder, f), root) for f in files]
    return sorted(p for p in listed if p.endswith(SOURCE_SUFFIXES) and '/' in p)


def Includes(root):
    """Yields (file, line number, included file) for every include of a
    project file; includes of other libraries' headers are left out."""
    for path in TrackedSources(root):
        with open(os.path.join(root, path), encoding='utf-8', errors='replace') as f:
            for number, line in enumerate(f, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                name = match.group(1)
                beside = os.path.normpath(os.path.join(os.path.dirname(path), name))
                if os.path.isfile(os.path.join(root, beside)):
                    yield path, number, beside
                elif os.path.isfile(os.path.join(root, name)):
                    yield path, number, os.path.normpath(name)


def ReadTable(path):
    """The allowed edges: lines 'folder: folder folder ...'; '*' allows every
    folder; '#' starts a comment."""
    allowed = {}
    with open(path, encoding='utf-8') as f:
        for number, line in enumerate(f, 1):
            line = line.split('#', 1)[0].strip()
            if not line:
                continue
            if ':' not in line:
                sys.exit(f'{path}:{number}: expected "folder: folders it may include"')
            folder, targets = line.split(':', 1)
            allowed.setdefault(folder.strip(), set()).update(targets.split())
    return allowed


def BuildTargets(table):
    """(name, sources, names of the targets it links, directly) for every
    target, from the table tests/layers/CMakeLists.txt writes: one line per
    target with its folder, sources, and link libraries, '|' between items."""
    with open(table, encoding='utf-8') as f:
        for line in f:
            fields = line.rstrip('\n').split('\t')
            if len(fields) != 5:
                continue
            name, folder, sources, links, interface_links = fields
            paths = [os.path.join(folder, s) for s in sources.split('|') if s and '$<' not in s]
            linked = []
            for item in (links + '|' + interface_links).split('|'):
                # $<TARGET_OBJECTS:x> and other expressions name a target too.
                match = re.search(r'\$<[A-Z_]+:([^>$]+)>', item)
                linked.append(match.group(1) if match else item)
            yield name, paths, [l for l in linked if l]


def LinkFaults(root, table, includes):
    """Every include of a target's source whose folder neither the target nor
    anything it links, directly or not, builds."""
    root = os.path.realpath(root)
    targets = {}
    for name, sources, linked in BuildTargets(table):
        own = []
        for source in sources:
            path = os.path.relpath(os.path.realpath(source), root)
            if not path.startswith('..') and path.endswith(SOURCE_SUFFIXES):
                own.append(path)
        targets[name] = (own, linked)
    by_file = {}
    for path, number, included in includes:
        by_file.setdefault(path, []).append((number, included))
    faults = []
    for name, (own, linked) in sorted(targets.items()):
        built, seen, pending = set(), set(), [name]
        while pending:
            target = pending.pop()
            if target in seen or target not in targets:
                continue
            seen.add(target)
            built |= {Folder(p) for p in targets[target][0]}
            pending += targets[target][1]
        for path in own:
            for number, included in by_file.get(path, []):
                # tests/support is headers only, for tests and benchmarks.
                if Folder(included) not in built and Folder(included) != 'tests':
                    faults.append(f'{path}:{number}: {name} includes {Folder(included)} ("{included}") '
                                  'without linking a library of that folder')
    return faults


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    root = sys.argv[1]
    edges = Counter()
    faults = []
    allowed = ReadTable(os.path.join(root, 'tests', 'layers', 'layers.txt'))
    includes = list(Includes(root))
    for path, number, included in includes:
        source, target = Folder(path), Folder(included)
        if source == target:
            continue
        edges[(source, target)] += 1
        may = allowed.get(source, set())
        if target not in may and '*' not in may:
            faults.append(f'{path}:{number}: {source} may not include {target} ("{included}")')
    if '--table' in sys.argv[2:]:
        for (source, target), count in sorted(edges.items()):
            print(f'{source:24} -> {target:24} {count:4}')
        return
    link_faults = LinkFaults(root, sys.argv[2], includes) if len(sys.argv) > 2 else []
    for fault in faults + link_faults:
        print(fault)
    if faults:
        print(f'{len(faults)} includes run against tests/layers/layers.txt')
    if link_faults:
        print(f'{len(link_faults)} includes of folders the library does not link')
    if faults or link_faults:
        sys.exit(1)
    print(f'{sum(edges.values())} includes between folders, all allowed' +
          (', every library links what it includes' if len(sys.argv) > 2 else ''))


if __name__ == '__main__':
    main()

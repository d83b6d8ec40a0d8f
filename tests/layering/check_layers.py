#!/usr/bin/env python3
"""Fails when a source file includes a header of a higher layer.

The layers, from the ground up: shell < asf < mms < control < ui < app. A file may include
headers of its own layer and of the layers below it. The core (everything below ui) never
includes Qt Widgets, and the test server shares no code with the client.
"""
import pathlib
import re
import sys

LAYERS = ["shell", "asf", "mms", "control", "ui", "app"]
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]', re.MULTILINE)
WIDGETS = re.compile(r"^(QtWidgets/|QtPrintSupport/|QtMultimedia|Q(Widget|Dialog|MainWindow|Application|MessageBox)\b)")


def layer_of_file(root, path):
    rel = path.relative_to(root).parts
    if rel[0] == "app":
        return "app"
    if rel[0] == "src" and rel[1] in LAYERS:
        return rel[1]
    return None


def main(root):
    root = pathlib.Path(root).resolve()
    faults = []
    files = [p for d in ("src", "app") for p in (root / d).rglob("*") if p.suffix in (".h", ".cpp")]
    for path in sorted(files):
        own = layer_of_file(root, path)
        if own is None:
            continue
        for included in INCLUDE.findall(path.read_text(encoding="utf-8")):
            first = included.split("/")[0]
            where = f"{path.relative_to(root)}: #include {included}"
            if first in LAYERS[:-1] and LAYERS.index(first) > LAYERS.index(own):
                faults.append(f"{where}: {first} is above {own}")
            if LAYERS.index(own) < LAYERS.index("ui") and WIDGETS.match(included):
                faults.append(f"{where}: the core links no window toolkit")
    for path in sorted((root / "tools").rglob("*")):
        if path.suffix in (".h", ".cpp"):
            for included in INCLUDE.findall(path.read_text(encoding="utf-8")):
                if included.split("/")[0] in LAYERS[:-1]:
                    faults.append(f"{path.relative_to(root)}: #include {included}: the test server shares no client code")
    for fault in faults:
        print(fault)
    print(f"{len(files)} files checked, {len(faults)} upward includes")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parents[2]))

#!/usr/bin/env python3
"""The level file schema under a real JSON Schema validator (python3-jsonschema).

Every level, menu and prefab file under data/ must pass it, each against its own
shape (a file that a "prefab" value names is a prefab, any other a level, as the
loader reads them); the level header must be described; and every broken file of
the validator's table whose fault lies in the file itself (a value of the wrong
kind, an unknown name, a wrong shape) must fail it, where `velmaris-sim --validate`
fails too.

Exit status: 0 passed, 1 failed, 77 skipped (no jsonschema module).
"""

import argparse
import json
import os
import subprocess
import sys
import tempfile

try:
    import jsonschema
except ImportError:
    print("SKIPPED: the Python module jsonschema is missing "
          "(scripts/install-deps installs python3-jsonschema)")
    sys.exit(77)

# Broken files the schema refuses, as the validator's table has them: name, files
# (relative path -> text), the file checked. Each must also fail `--validate`.
#
# Rows of the validator's table that a schema cannot catch, because their fault is
# not in the file's own text and shape: malformed JSON (the editor's parser reports
# it before any schema), a fraction-less float given to an integer (JSON Schema
# counts 2.0 as an integer), a name given twice (parsers keep one of them), prefab
# files that are missing or loop, pictures, scripts and sounds missing from data/,
# frames outside a sheet another layer gives, the spaces and objects the game looks
# up by name, and files that are FIFOs or absent.
LEVEL = '{"S": {\n  "o": %s\n}}'
CAUGHT = [
    ("root is not an object", {"Levels/L.txt": "[1, 2]"}, "Levels/L.txt"),
    ("unknown component type", {"Levels/L.txt": LEVEL % '{"Transform": {},\n    "Sprit": {}}'}, "Levels/L.txt"),
    ("unknown component type before a prefab",
     {"Levels/L.txt": LEVEL % '{"Trasnform": {}, "prefab": "Prefabs/Star.txt"}',
      "Prefabs/Star.txt": '{"Star": {"Sprite": {}}}'}, "Levels/L.txt"),
    ("unknown member", {"Levels/L.txt": LEVEL % '{"Transform": {"x_positon": 1.0}}'}, "Levels/L.txt"),
    ("string for a float", {"Levels/L.txt": LEVEL % '{"Transform": {"x_position": "left"}}'}, "Levels/L.txt"),
    ("float out of range", {"Levels/L.txt": LEVEL % '{"Transform": {"rotation": 1e39}}'}, "Levels/L.txt"),
    ("fraction for an integer", {"Levels/L.txt": LEVEL % '{"SpriteSource": {"numrows": 2.5}}'}, "Levels/L.txt"),
    ("integer out of range", {"Levels/L.txt": LEVEL % '{"Sprite": {"frame_index": 3000000000}}'}, "Levels/L.txt"),
    ("fraction in an integer array",
     {"Levels/L.txt": LEVEL % '{"Animation": {"AnimationFrames": [0, 1.5]}}'}, "Levels/L.txt"),
    ("boolean for a float", {"Levels/L.txt": LEVEL % '{"RotateAround": {"clockwise": true}}'}, "Levels/L.txt"),
    ("prefab is not a string", {"Levels/L.txt": LEVEL % '{"prefab": 5}'}, "Levels/L.txt"),
    ("empty prefab file", {"Prefabs/Empty.txt": " {}"}, "Prefabs/Empty.txt"),
    ("prefab with a second table", {"Prefabs/Two.txt": '{"Two": {},\n "Other": {}}'}, "Prefabs/Two.txt"),
    ("unknown type in the level timer, a level under Prefabs/",
     {"Prefabs/LevelTimer.txt": '{"U_LevelTimer": {"a": {"Sprit": {}}}}'}, "Prefabs/LevelTimer.txt"),
    ("sprite sheet without rows",
     {"Levels/L.txt": LEVEL % '{"SpriteSource": {"numrows": 0, "numcols": 4}}'}, "Levels/L.txt"),
    ("negative frame", {"Levels/L.txt": LEVEL % '{"SpriteSource": {}, "Sprite": {"frame_index": -1}}'},
     "Levels/L.txt"),
]

# Files under Prefabs/ that the game loads as levels (by name), as in the rows above.
LOADED_AS_LEVELS = {"Prefabs/LevelTimer.txt"}

# Level headers: (text of the "level" member, whether the schema takes it).
HEADERS = [
    ('{}', True),
    ('{"name": "Windy Ridge", "starGoal": 0, "timeGoal": 90.5}', True),
    ('{"starGoal": 30, "timeGoal": 60}', True),
    ('{"starGoal": -1}', False),
    ('{"starGoal": 2.5}', False),
    ('{"timeGoal": 0}', False),
    ('{"timeGoal": "two minutes"}', False),
    ('{"name": 5}', False),
    ('{"stars": 25}', False),
    ('[]', False),
]


class Checker:
    def __init__(self, schema):
        jsonschema.Draft202012Validator.check_schema(schema)
        self.schema = schema
        self.failures = []

    def shape(self, name):
        """A validator of one shape of the schema: levelFile or prefabFile."""
        return jsonschema.Draft202012Validator(dict(self.schema, **{"$ref": "#/$defs/" + name}))

    def errors(self, shape, document):
        return [e.message for e in self.shape(shape).iter_errors(document)]

    def fail(self, text):
        self.failures.append(text)


def read_json(path):
    with open(path, encoding="utf-8") as f:
        return json.load(f)


def data_files(data):
    for folder in ("Levels", "Menu", "Prefabs"):
        for root, _, names in os.walk(os.path.join(data, folder)):
            for name in sorted(names):
                yield os.path.relpath(os.path.join(root, name), data).replace(os.sep, "/")


def prefab_values(document):
    """Every "prefab" value of a level or prefab document."""
    if isinstance(document, dict):
        for key, value in document.items():
            if key == "prefab" and isinstance(value, str):
                yield os.path.normpath(value).replace(os.sep, "/")
            else:
                yield from prefab_values(value)


def check_data_folder(checker, data):
    documents = {name: read_json(os.path.join(data, name)) for name in data_files(data)}
    prefabs = {p for document in documents.values() for p in prefab_values(document)}
    for name, document in documents.items():
        shape = "prefabFile" if name in prefabs else "levelFile"
        for message in checker.errors(shape, document):
            checker.fail("data/%s (%s): %s" % (name, shape, message))
        if list(jsonschema.Draft202012Validator(checker.schema).iter_errors(document)):
            checker.fail("data/%s: refused by the whole schema" % name)
    if len(documents) < 10 or not prefabs:
        checker.fail("data/ holds only %d files and %d prefabs: the walk found too little"
                     % (len(documents), len(prefabs)))


def check_headers(checker):
    for header, taken in HEADERS:
        document = json.loads('{"level": %s, "Custom": {"Player": {"Transform": {}}}}' % header)
        errors = checker.errors("levelFile", document)
        if taken and errors:
            checker.fail("level header %s is refused: %s" % (header, errors[0]))
        if not taken and not errors:
            checker.fail("level header %s is taken" % header)


def check_bad_files(checker, sim):
    for name, files, checked in CAUGHT:
        with tempfile.TemporaryDirectory(prefix="velmaris_schema_") as data:
            for relative, text in files.items():
                os.makedirs(os.path.join(data, os.path.dirname(relative)), exist_ok=True)
                with open(os.path.join(data, relative), "w", encoding="utf-8") as f:
                    f.write(text)
            validate = subprocess.run([sim, "--data", data, "--validate", checked],
                                      capture_output=True, text=True)
            if validate.returncode != 1:
                checker.fail("%s: --validate gives %d, not 1:\n%s" % (name, validate.returncode, validate.stdout))
            shape = "prefabFile" if checked.startswith("Prefabs/") and checked not in LOADED_AS_LEVELS \
                else "levelFile"
            if not checker.errors(shape, json.loads(files[checked])):
                checker.fail("%s: the schema takes %s" % (name, files[checked]))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--schema", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--sim", required=True, help="the velmaris-sim program")
    arguments = parser.parse_args()
    checker = Checker(read_json(arguments.schema))
    check_data_folder(checker, arguments.data)
    check_headers(checker)
    check_bad_files(checker, arguments.sim)
    for failure in checker.failures:
        print("FAILED: " + failure)
    print("%d problems" % len(checker.failures))
    return 1 if checker.failures else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Validates every example project file against the project file's JSON Schema.

    validate_examples.py SCHEMA EXAMPLES_DIR

Each examples/*/palisade.toml must pass, and its first line must be the
'#:schema' comment of TOML language servers, naming SCHEMA by a path relative
to the project file. A copy of each example with one misspelt key must fail,
so that a schema which accepts anything cannot pass.
"""
import datetime
import json
import pathlib
import sys
import tomllib

try:
    import jsonschema
except ImportError:
    sys.exit("python3-jsonschema is missing (scripts/bootstrap.sh installs it)")


def as_json(value):
    """TOML values as a language server hands them to the schema: dates become text."""
    if isinstance(value, dict):
        return {key: as_json(item) for key, item in value.items()}
    if isinstance(value, list):
        return [as_json(item) for item in value]
    if isinstance(value, (datetime.datetime, datetime.date, datetime.time)):
        return value.isoformat()
    return value


def main():
    schema_path = pathlib.Path(sys.argv[1]).resolve()
    schema = json.loads(schema_path.read_text(encoding="utf-8"))
    jsonschema.Draft7Validator.check_schema(schema)
    validator = jsonschema.Draft7Validator(schema)
    projects = sorted(pathlib.Path(sys.argv[2]).glob("*/palisade.toml"))
    if not projects:
        sys.exit("no example project files found")
    failures = 0
    for project in projects:
        text = project.read_text(encoding="utf-8")
        first = text.splitlines()[0] if text else ""
        named = first[len("#:schema"):].strip() if first.startswith("#:schema") else None
        if named is None or (project.parent / named).resolve() != schema_path:
            print(f"FAIL {project}: the first line must be '#:schema <relative path of {schema_path.name}>'")
            failures += 1
        document = as_json(tomllib.loads(text))
        errors = sorted(validator.iter_errors(document), key=lambda error: list(error.path))
        for error in errors:
            print(f"FAIL {project}: {'/'.join(map(str, error.path)) or '(top)'}: {error.message}")
        failures += len(errors)
        misspelt = dict(document, ProductNmae="typo")
        if validator.is_valid(misspelt):
            print(f"FAIL {project}: the schema accepts an unknown key")
            failures += 1
    print(f"{len(projects)} example(s) checked against {schema_path.name}: {failures} problem(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

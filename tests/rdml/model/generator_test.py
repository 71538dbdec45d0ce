#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# generate_rdml_model.py refuses malformed tables and writes the accessors a table asks for.
# Usage: generator_test.py GENERATOR
import os
import subprocess
import sys
import tempfile

HEADER = "| XML name | node | value | set | separator text conversion |\n|---|---|---|---|---|\n"
ORDER = "\n## Element order of X\n| class | order |\n|---|---|\n| TXMLRdml | {} |\n"
TWO = "| a | element | text | yes | |\n| b | element | text | yes | |\n"


def table(rows, extra=""):
    return "root: rdml TXMLRdml\nentry: GetRdml\n\n## TXMLRdml\n" + HEADER + rows + extra


GOOD = table("| version | attribute | text | yes | |\n| cq | element | Single | yes | set |\n"
             "| cyc | element | Single | no | get and set |\n| n | element | Cardinal | yes | |\n"
             "| item | element, list | TXMLItemType | no | |\n",
             "\n## TXMLItemType\n" + HEADER + "| id | attribute | Cardinal | yes | |\n")
EXPECTED = (
    "DO NOT EDIT",
    'inline std::string TXMLRdml::Get_Version() const { return attrText("version"); }',
    "inline float TXMLRdml::Get_Cq() const { return elemSingle(0, SeparatorRule::documentOrPoint); }",
    "inline float TXMLRdml::Get_Cyc() const { return elemSingle(1, SeparatorRule::documentOnly); }",
    "inline void TXMLRdml::Set_Cq(float value) { setElemSingle(0, value); }",
    "inline TXMLItemTypeList TXMLRdml::Get_Item() const { return listChild<TXMLItemTypeList>(3); }",
    'inline std::uint32_t TXMLItemType::Get_Id() const { return attrCardinal("id"); }',
    "class TXMLItemTypeList : public TXMLNodeList<TXMLItemType>",
)
BAD = {
    "unknown value type": table("| cq | element | Float | yes | |\n"),
    "unknown node kind": table("| cq | node | text | yes | |\n"),
    "separator on text": table("| cq | element | text | yes | get |\n"),
    "undefined class": table("| item | element, list | TXMLMissingType | no | |\n"),
    "four cells": table("| cq | element | text | yes |\n"),
    "boolean attribute": table("| flag | attribute | Boolean | yes | |\n"),
    "order missing a member": table(TWO, ORDER.format("a, c")),
    "order against the members": table(TWO, ORDER.format("b, x, a")),
}


def generate(generator, text, folder):
    path = os.path.join(folder, "T_v1.md")
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    out = os.path.join(folder, "out")
    return subprocess.run([sys.executable, generator, path, out], capture_output=True, text=True), out


def main():
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        result, out = generate(sys.argv[1], GOOD, folder)
        if result.returncode != 0:
            failures.append("good table refused: " + result.stderr)
        else:
            header = open(os.path.join(out, "T_v1.h"), encoding="utf-8").read()
            failures += ["missing from the generated header: " + e for e in EXPECTED if e not in header]
            if "Set_Cyc" in header:
                failures.append("a member without setter got one")
        failures += ["accepted a table with " + why for why, text in BAD.items()
                     if generate(sys.argv[1], text, folder)[0].returncode == 0]
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks that generate_rdml_model.py refuses malformed tables and writes the
accessor kinds a table asks for. Usage: generator_test.py GENERATOR"""

import os
import subprocess
import sys
import tempfile

HEADER = "| XML name | node | value | set | separator text conversion |\n|---|---|---|---|---|\n"


def table(rows, extra=""):
    return "root: rdml TXMLRdml\nentry: GetRdml\n\n## TXMLRdml\n" + HEADER + rows + extra


GOOD = table(
    "| version | attribute | text | yes | |\n"
    "| cq | element | Single | yes | set |\n"
    "| cyc | element | Single | no | get and set |\n"
    "| n | element | Cardinal | yes | |\n"
    "| item | element, list | TXMLItemType | no | |\n",
    "\n## TXMLItemType\n" + HEADER + "| id | attribute | Cardinal | yes | |\n",
)

BAD = {
    "unknown value type": table("| cq | element | Float | yes | |\n"),
    "unknown node kind": table("| cq | node | text | yes | |\n"),
    "separator on text": table("| cq | element | text | yes | get |\n"),
    "undefined class": table("| item | element, list | TXMLMissingType | no | |\n"),
    "four cells": table("| cq | element | text | yes |\n"),
    "boolean attribute": table("| flag | attribute | Boolean | yes | |\n"),
    "order missing a member": table(
        "| a | element | text | yes | |\n| b | element | text | yes | |\n",
        "\n## Element order of X\n| class | order |\n|---|---|\n| TXMLRdml | a, c |\n"),
    "order against the members": table(
        "| a | element | text | yes | |\n| b | element | text | yes | |\n",
        "\n## Element order of X\n| class | order |\n|---|---|\n| TXMLRdml | b, x, a |\n"),
}


def run(generator, text, folder, name):
    path = os.path.join(folder, name + ".md")
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    out = os.path.join(folder, "out")
    result = subprocess.run([sys.executable, generator, path, out], capture_output=True, text=True)
    return result, out


def main():
    generator = sys.argv[1]
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        result, out = run(generator, GOOD, folder, "GOOD_v1")
        if result.returncode != 0:
            failures.append("good table refused: " + result.stderr)
        else:
            header = open(os.path.join(out, "GOOD_v1.h"), encoding="utf-8").read()
            for expected in (
                "DO NOT EDIT",
                'inline std::string TXMLRdml::Get_Version() const { return attrText("version"); }',
                "inline float TXMLRdml::Get_Cq() const { return elemSingle(0, SeparatorRule::documentOrPoint); }",
                "inline float TXMLRdml::Get_Cyc() const { return elemSingle(1, SeparatorRule::documentOnly); }",
                "inline void TXMLRdml::Set_Cq(float value) { setElemSingle(0, value); }",
                "inline TXMLItemTypeList TXMLRdml::Get_Item() const { return listChild<TXMLItemTypeList>(3); }",
                'inline std::uint32_t TXMLItemType::Get_Id() const { return attrCardinal("id"); }',
                "class TXMLItemTypeList : public TXMLNodeList<TXMLItemType>",
            ):
                if expected not in header:
                    failures.append("missing from the generated header: " + expected)
            if "Set_Cyc" in header:
                failures.append("a member without setter got one")
        for why, text in BAD.items():
            result, _ = run(generator, text, folder, "BAD_v1")
            if result.returncode == 0:
                failures.append("accepted a table with " + why)
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

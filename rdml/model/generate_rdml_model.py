#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the element and list classes of one RDML version from its table.

Usage: generate_rdml_model.py TABLE.md OUT_DIR

TABLE.md holds one markdown table per element class (see tables/). A table
file with a "base:" line lists only the classes that differ from the base
version; "absent:" names the base classes the version lacks. The C++ namespace
and the output names (NAME.h, NAME.cpp) come from the table's file name.
"""

import os
import re
import sys

VALUE_TYPES = {"text", "Boolean", "Integer", "Cardinal", "Single", "Double"}
CPP_TYPE = {
    "text": "std::string",
    "Boolean": "bool",
    "Integer": "std::int32_t",
    "Cardinal": "std::uint32_t",
    "Single": "float",
    "Double": "double",
}
SETTER_ARG = dict(CPP_TYPE, text="std::string_view")
ELEMENT_READ = {
    "text": "elemText({i})",
    "Boolean": "elemBoolean({i})",
    "Integer": "elemInteger({i})",
    "Cardinal": "elemCardinal({i})",
    "Single": "elemSingle({i}, SeparatorRule::{rule})",
    "Double": "elemDouble({i})",
}
ELEMENT_WRITE = {
    "text": "setElemText({i}, value)",
    "Boolean": "setElemBoolean({i}, value)",
    "Integer": "setElemInteger({i}, value)",
    "Cardinal": "setElemCardinal({i}, value)",
    "Single": "setElemSingle({i}, value)",
    "Double": "setElemDouble({i}, value)",
}


class Member:
    def __init__(self, name, node, value, setter, separator, where):
        self.name, self.node, self.value = name, node, value
        self.setter = setter == "yes"
        self.separator = separator
        if node not in ("attribute", "element", "element, one", "element, list"):
            sys.exit(f"{where}: unknown node kind '{node}'")
        if node in ("attribute", "element") and value not in VALUE_TYPES:
            sys.exit(f"{where}: unknown value type '{value}'")
        if node == "attribute" and value not in ("text", "Cardinal"):
            sys.exit(f"{where}: attributes hold text or Cardinal")
        if node.startswith("element, ") and not value.startswith("TXML"):
            sys.exit(f"{where}: a complex or repeated child needs a class")
        if separator not in ("", "get", "set", "get and set"):
            sys.exit(f"{where}: unknown separator rule '{separator}'")
        if separator and value != "Single":
            sys.exit(f"{where}: only Single members take a separator rule")

    @property
    def accessor(self):
        return self.name[0].upper() + self.name[1:]


def parse_table_file(path):
    """Returns (settings, ordered list of (class, members), wider orders)."""
    settings = {}
    classes = []
    orders = {}
    current = None
    in_orders = False
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            where = f"{path}:{number}"
            m = re.match(r"^(base|absent|root|entry):\s*(.*)$", line)
            if m:
                settings[m.group(1)] = m.group(2).strip()
                continue
            m = re.match(r"^## (TXML\w+)\s*$", line)
            if m:
                current = (m.group(1), [])
                classes.append(current)
                in_orders = False
                continue
            if line.startswith("## Element order"):
                current, in_orders = None, True
                continue
            if line.startswith("|") and in_orders:
                cells = [c.strip() for c in line.strip().strip("|").split("|")]
                if cells[0] == "class" or set(cells[0]) <= {"-"}:
                    continue
                if len(cells) != 2:
                    sys.exit(f"{where}: an order row has two cells")
                orders[cells[0]] = [n.strip() for n in cells[1].split(",")]
                continue
            if line.startswith("|") and current is not None:
                cells = [c.strip() for c in line.strip().strip("|").split("|")]
                if cells[0] == "XML name" or set(cells[0]) <= {"-"}:
                    continue
                if len(cells) != 5:
                    sys.exit(f"{where}: a member row has five cells")
                current[1].append(Member(*cells, where))
    return settings, classes, orders


def load_version(path):
    settings, classes, orders = parse_table_file(path)
    if "base" in settings:
        base_settings, base, _ = load_version(os.path.join(os.path.dirname(path), settings["base"]))
        absent = {c.strip() for c in settings.get("absent", "").split(",") if c.strip()}
        changed = dict(classes)
        merged = []
        for name, members in base:
            if name in absent:
                continue
            merged.append((name, changed.pop(name, members)))
        merged.extend((n, m) for n, m in classes if n in changed)
        for key in ("root", "entry"):
            settings.setdefault(key, base_settings.get(key))
        classes = merged
    return settings, classes, orders


def child_order(name, members, orders):
    """Names of the child elements in the order new children are placed by:
    the wider order of the table when given (the members must appear in it in
    the same order), else the members' own order."""
    own = [m.name for m in members if m.node != "attribute"]
    if name not in orders:
        return own
    wide = orders[name]
    positions = []
    for child in own:
        if child not in wide:
            sys.exit(f"{name}: member {child} is missing from its element order")
        positions.append(wide.index(child))
    if positions != sorted(positions):
        sys.exit(f"{name}: the members are not in the element order")
    return wide


def check(classes, root):
    known = {name for name, _ in classes}
    if root not in known:
        sys.exit(f"root class {root} is not defined")
    for name, members in classes:
        for m in members:
            if m.node.startswith("element, ") and m.value not in known:
                sys.exit(f"{name}.{m.name}: class {m.value} is not defined")


def list_classes(classes):
    seen = []
    for _, members in classes:
        for m in members:
            if m.node == "element, list" and m.value not in seen:
                seen.append(m.value)
    return seen


def declarations(name, members):
    out = [
        f"class {name} : public TXMLNode {{",
        "public:",
        "    static const ElementSchema kSchema;",
        f"    {name}() = default;",
        f"    {name}(pugi::xml_node node, DocumentStatePtr doc) : TXMLNode(node, std::move(doc), &kSchema) {{}}",
    ]
    for m in members:
        if m.node == "element, list":
            out.append(f"    {m.value}List Get_{m.accessor}() const;")
        elif m.node == "element, one":
            out.append(f"    {m.value} Get_{m.accessor}();")
        else:
            out.append(f"    {CPP_TYPE[m.value]} Get_{m.accessor}() const;")
    for m in members:
        if m.setter and m.node in ("attribute", "element"):
            out.append(f"    void Set_{m.accessor}({SETTER_ARG[m.value]} value);")
    out.append("};")
    out.append(f"using I{name[1:]} = {name};")
    return out


def definitions(name, members, order):
    out = []
    index = {child: i for i, child in enumerate(order)}
    for m in members:
        head = f"inline"
        if m.node == "attribute":
            reader = "attrText" if m.value == "text" else "attrCardinal"
            out.append(f'{head} {CPP_TYPE[m.value]} {name}::Get_{m.accessor}() const {{ return {reader}("{m.name}"); }}')
        elif m.node == "element":
            rule = "documentOnly" if m.separator in ("get", "get and set") else "documentOrPoint"
            expr = ELEMENT_READ[m.value].format(i=index[m.name], rule=rule)
            out.append(f"{head} {CPP_TYPE[m.value]} {name}::Get_{m.accessor}() const {{ return {expr}; }}")
        elif m.node == "element, one":
            out.append(f"{head} {m.value} {name}::Get_{m.accessor}() {{ return complexChild<{m.value}>({index[m.name]}); }}")
        else:
            out.append(
                f"{head} {m.value}List {name}::Get_{m.accessor}() const {{ return listChild<{m.value}List>({index[m.name]}); }}")
    for m in members:
        if not m.setter or m.node not in ("attribute", "element"):
            continue
        if m.node == "attribute":
            writer = "setAttrText" if m.value == "text" else "setAttrCardinal"
            body = f'{writer}("{m.name}", value)'
        else:
            body = ELEMENT_WRITE[m.value].format(i=index[m.name])
        out.append(f"{head} void {name}::Set_{m.accessor}({SETTER_ARG[m.value]} value) {{ {body}; }}")
    return out


def generate(table_path, out_dir):
    unit = os.path.splitext(os.path.basename(table_path))[0]
    settings, classes, orders = load_version(table_path)
    for name in orders:
        if name not in dict(classes):
            sys.exit(f"element order given for unknown class {name}")
    order_of = {name: child_order(name, members, orders) for name, members in classes}
    root_tag, root = settings["root"].split()
    entries = [e.strip() for e in settings["entry"].split(",")]
    check(classes, root)
    lists = list_classes(classes)
    rel_table = "rdml/model/tables/" + os.path.basename(table_path)
    banner = [
        "// SPDX-License-Identifier: GPL-3.0-or-later",
        f"// generated by rdml/model/generate_rdml_model.py from {rel_table} - DO NOT EDIT",
    ]

    h = banner + [
        "#pragma once",
        "",
        '#include "rdml/model/XMLNode.h"',
        "",
        "#include <cstdint>",
        "#include <span>",
        "#include <string>",
        "#include <string_view>",
        "",
        "// Element classes of one RDML version (see rdml/model/README.md):",
        "// - Get_X of a value member reads the child element or attribute X; a missing",
        "//   one gives \"\", false or 0 and the document is left unchanged; a text that",
        "//   does not convert throws RdmlError naming the element and the text.",
        "// - Set_X writes X, creating the child at its schema position when missing.",
        "// - Get_X of a complex child returns it, creating it empty at its schema",
        "//   position when missing; Get_X of a repeated child returns its list view.",
        "",
        f"namespace qurvex::{unit} {{",
        "",
    ]
    h += [f"class {name};" for name, _ in classes]
    h += [f"class {item}List;" for item in lists]
    h.append("")
    for name, members in classes:
        h += declarations(name, members) + [""]
    for item in lists:
        h += [
            f"class {item}List : public TXMLNodeList<{item}> {{",
            "public:",
            "    using TXMLNodeList::TXMLNodeList;",
            "};",
            f"using I{item[1:]}List = {item}List;",
            "",
        ]
    for name, members in classes:
        h += definitions(name, members, order_of[name])
    h += [
        "",
        f"// Binds the document element of `document` as the \"{root_tag}\" root of this version;",
        "// throws RdmlError when it is not \"rdml\" in the RDML namespace (or none), when the",
        "// document holds no element or is inactive.",
        f"I{root[1:]} GetRdml(RdmlDocument& document);",
    ]
    if "NewRdml" in entries:
        h += [
            "",
            "// A new active document (declaration version \"1.0\", encoding UTF-8) whose",
            f"// \"{root_tag}\" element declares the RDML namespace as the default namespace.",
            f"I{root[1:]} NewRdml();",
        ]
    h += [
        "",
        "// The schema order of every element class of this version, for checks.",
        "std::span<const ElementSchema* const> ElementSchemas();",
        "",
        f"}}  // namespace qurvex::{unit}",
        "",
    ]

    c = banner + [f'#include "rdml/model/{unit}.h"', "", f"namespace qurvex::{unit} {{", "", "namespace {", ""]
    for name, members in classes:
        kids = order_of[name]
        if kids:
            c.append(f"const char* const k{name}Children[] = {{" + ", ".join(f'"{k}"' for k in kids) + "};")
    c += ["", "}  // namespace", ""]
    for name, members in classes:
        kids = order_of[name]
        array = f"k{name}Children" if kids else "nullptr"
        c.append(f'const ElementSchema {name}::kSchema = {{"{name}", {array}, {len(kids)}}};')
    c += [
        "",
        f"I{root[1:]} GetRdml(RdmlDocument& document)",
        "{",
        "    const pugi::xml_node root = document.BindRoot();",
        f"    return {root}(root, document.State());",
        "}",
        "",
    ]
    if "NewRdml" in entries:
        c += [
            f"I{root[1:]} NewRdml()",
            "{",
            "    RdmlDocument document;",
            f'    pugi::xml_node root = document.Dom().append_child("{root_tag}");',
            '    root.append_attribute("xmlns") = kRdmlNamespace;',
            "    return GetRdml(document);",
            "}",
            "",
        ]
    c += ["std::span<const ElementSchema* const> ElementSchemas()", "{", "    static const ElementSchema* const all[] = {"]
    c += [f"        &{name}::kSchema," for name, _ in classes]
    c += ["    };", "    return all;", "}", "", f"}}  // namespace qurvex::{unit}", ""]

    os.makedirs(out_dir, exist_ok=True)
    write_if_changed(os.path.join(out_dir, unit + ".h"), "\n".join(h))
    write_if_changed(os.path.join(out_dir, unit + ".cpp"), "\n".join(c))


def write_if_changed(path, text):
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            if f.read() == text:
                return
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    generate(sys.argv[1], sys.argv[2])

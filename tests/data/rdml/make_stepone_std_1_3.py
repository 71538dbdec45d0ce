#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes stepone_std_1_3.rdml: the 24 curves of stepone_std.rdml (MIT, see SOURCES.md) as an
# RDML 1.3 document on a plate of 3 rows and 8 columns, the reactions under three targets that
# carry efficiencies of their own (the standards under "RNase P" 0.95, the unknowns under
# "RNase P unkn" 1.01, the no-template controls, which do not amplify, under "RNase P ntc" 0.9).
# Run from this folder: python3 make_stepone_std_1_3.py
import xml.etree.ElementTree as ET
import zipfile

NS = {"r": "http://www.rdml.org"}
SOURCE, TARGET = "stepone_std.rdml", "stepone_std_1_3.rdml"
TARGETS = [("RNase P", "0.95"), ("RNase P unkn", "1.01"), ("RNase P ntc", "0.9")]


def target_of(sample_type):
    return {"std": "RNase P", "unkn": "RNase P unkn", "ntc": "RNase P ntc"}[sample_type]


def sub(parent, tag, text=None, **attributes):
    element = ET.SubElement(parent, tag, attributes)
    if text is not None:
        element.text = text
    return element


def main():
    with zipfile.ZipFile(SOURCE) as z:
        source = ET.fromstring(z.read("rdml_data.xml"))
    rdml = ET.Element("rdml", {"xmlns": NS["r"], "version": "1.3"})
    sub(rdml, "dateMade", "2014-09-05T00:29:23")
    sub(rdml, "dye", id="FAM")
    types = {}
    for sample in source.findall("r:sample", NS):
        types[sample.get("id")] = sample.find("r:type", NS).text
        element = sub(rdml, "sample", id=sample.get("id"))
        sub(element, "type", types[sample.get("id")])
        quantity = sample.find("r:quantity/r:value", NS)
        if quantity is not None:
            q = sub(element, "quantity")
            sub(q, "value", quantity.text)
            sub(q, "unit", "other")
    for name, efficiency in TARGETS:
        target = sub(rdml, "target", id=name)
        sub(target, "type", "toi")
        sub(target, "amplificationEfficiency", efficiency)
        sub(target, "dyeId", id="FAM")
    experiment = sub(rdml, "experiment", id="Standard Curve Example")
    run = sub(experiment, "run", id="Run001")
    fmt = sub(run, "pcrFormat")
    for tag, value in (("rows", "3"), ("columns", "8"), ("rowLabel", "ABC"), ("columnLabel", "123")):
        sub(fmt, tag, value)
    for react in source.findall("r:experiment/r:run/r:react", NS):
        well = react.get("id")  # A1 .. C8
        number = (ord(well[0]) - ord("A")) * 8 + int(well[1:])
        sample = react.find("r:sample", NS).get("id")
        element = sub(run, "react", id=str(number))
        sub(element, "sample", id=sample)
        data = sub(element, "data")
        sub(data, "tar", id=target_of(types[sample]))
        for adp in react.findall("r:data/r:adp", NS):
            point = sub(data, "adp")
            sub(point, "cyc", str(int(float(adp.find("r:cyc", NS).text))))
            sub(point, "fluor", adp.find("r:fluor", NS).text)
    ET.indent(rdml, " ")
    xml = b'<?xml version="1.0" encoding="UTF-8"?>\n' + ET.tostring(rdml, encoding="utf-8")
    with zipfile.ZipFile(TARGET, "w", zipfile.ZIP_DEFLATED) as z:
        info = zipfile.ZipInfo("rdml_data.xml", date_time=(2014, 9, 5, 0, 29, 22))
        info.compress_type = zipfile.ZIP_DEFLATED
        z.writestr(info, xml + b"\n")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Writes the office report templates in Reports/ from the layout tables below.

The tables are the one place to check and change a layout: one "template" line per file, its
bands in file order ("band <type> <name> <height> [grouping <field>|-]"), then one "field" line per
field: band type | value | left | top | width | height | style words. "(rectangle)" is a filled
box. Style words: size N, bold, underline, Tahoma, centred, right, top, boxed, white text,
blue text, black/blue/mid-blue/white fill (also "fill X"), border colour X, sides white, wrap,
not printed, z N. Everything not named keeps the house defaults in FIELD_DEFAULTS.

Run it from this folder after changing a table: python3 maketemplates.py
"""

import os
import re
from xml.sax.saxutils import quoteattr

WHITE = "rgba(255,255,255,255)"
BLACK = "rgba(0,0,0,255)"
COLOURS = {
    "black": BLACK,
    "white": WHITE,
    "blue": "rgba(0,0,255,255)",
    "mid-blue": "rgba(0,85,255,255)",
}

PAGE = [
    ("pageFormat", ""), ("pageWidth", "840"), ("pageHeight", "1188"),
    ("marginsLeft", "40"), ("marginsRight", "40"), ("marginsTop", "40"), ("marginsBottom", "40"),
    ("orientation", "0"), ("pageNo", "1"), ("border", "0"), ("borderWidth", "1"),
    ("borderColor", ""), ("borderStyle", ""), ("watermark", "0"), ("watermarkOpacity", "1"),
    ("watermarkPixmap", ""),
]

# Attribute order of a field, in groups written one per line so that diffs stay readable.
FIELD_LINES = [
    ["name", "type", "value", "left", "top", "width", "height"],
    ["fontFamily", "fontSize", "fontBold", "fontItalic", "fontUnderline", "fontStrikeout",
     "aligmentH", "aligmentV"],
    ["fontColor", "backgroundColor", "borderTop", "borderBottom", "borderLeft", "borderRight",
     "borderColor", "borderStyle", "borderWidth"],
    ["autoHeight", "textWrap", "printing", "rotate", "renderingMode", "format", "highlighting",
     "ZValue", "groupName"],
]

FIELD_DEFAULTS = {
    "fontFamily": "MS Shell Dlg 2", "fontSize": "8", "fontBold": "0", "fontItalic": "0",
    "fontUnderline": "0", "fontStrikeout": "0", "aligmentH": "hLeft", "aligmentV": "vCenter",
    "fontColor": BLACK, "backgroundColor": WHITE, "borderTop": WHITE, "borderBottom": WHITE,
    "borderLeft": WHITE, "borderRight": WHITE, "borderColor": BLACK, "borderStyle": "solid",
    "borderWidth": "1px", "autoHeight": "0", "textWrap": "0", "printing": "1", "rotate": "0",
    "renderingMode": "0", "format": "", "highlighting": "", "ZValue": "11", "groupName": "",
}

# Rectangles are boxes, not text: they carry no text-only attributes.
RECTANGLE_SKIPS = {"format", "highlighting", "rotate", "textWrap"}

SIDES = ("borderTop", "borderBottom", "borderLeft", "borderRight")


def apply_style(attrs, style, rectangle):
    for word in [w.strip() for w in style.split(",") if w.strip()]:
        if word.startswith("size "):
            attrs["fontSize"] = word[5:]
        elif word == "bold":
            attrs["fontBold"] = "1"
        elif word == "underline":
            attrs["fontUnderline"] = "1"
        elif word == "Tahoma":
            attrs["fontFamily"] = "Tahoma"
        elif word == "centred":
            attrs["aligmentH"] = "hCenter"
        elif word == "right":
            attrs["aligmentH"] = "hRight"
        elif word == "top":
            attrs["aligmentV"] = "vTop"
        elif word == "boxed":
            for side in SIDES:
                attrs[side] = BLACK
            attrs["borderColor"] = WHITE
        elif word == "white text":
            attrs["fontColor"] = WHITE
        elif word == "blue text":
            attrs["fontColor"] = COLOURS["blue"]
        elif word.endswith(" fill") or word.startswith("fill "):
            colour = word.replace("fill", "").strip()
            attrs["backgroundColor"] = COLOURS[colour]
            if colour == "black":
                for side in SIDES:
                    attrs[side] = BLACK
        elif word.startswith("border colour "):
            attrs["borderColor"] = COLOURS[word[len("border colour "):]]
        elif word == "sides white":
            for side in SIDES:
                attrs[side] = WHITE
        elif word == "wrap":
            attrs["textWrap"] = "1"
        elif word == "not printed":
            attrs["printing"] = "0"
        elif word.startswith("z "):
            attrs["ZValue"] = word[2:]
        else:
            raise ValueError("unknown style word: " + word)
    if rectangle:
        for key in RECTANGLE_SKIPS:
            attrs.pop(key, None)


def base_name(value):
    if value == "(rectangle)":
        return "Rect"
    inner = re.sub(r"[^A-Za-z0-9]", "", value)
    return "lbl" + inner


def band_xml(band, fields):
    kind, name, height, grouping = band
    attrs = [("name", name), ("type", kind), ("height", height), ("width", "760"),
             ("left", "0"), ("right", "0"), ("bandNo", "1")]
    if kind == "MasterData":
        attrs += [("dataSourceName", "GoodSource"), ("groupingField", grouping),
                  ("startNewPage", "0"), ("startNewNumeration", "0")]
    elif kind == "MasterHeader":
        attrs += [("showInGroup", "0")]
    elif kind == "DataGroupFooter":
        attrs += [("showInGroup", "1"), ("groupLevel", "0")]
    head = "  <ReportBand " + " ".join("%s=%s" % (k, quoteattr(v)) for k, v in attrs)
    if not fields:
        return [head + "/>"]
    return [head + ">"] + fields + ["  </ReportBand>"]


def field_xml(attrs):
    lines = []
    for group in FIELD_LINES:
        parts = ["%s=%s" % (k, quoteattr(attrs[k])) for k in group if k in attrs]
        if parts:
            lines.append(" ".join(parts))
    return ["   <TContainerField " + lines[0]] + ["     " + l for l in lines[1:-1]] + \
        ["     " + lines[-1] + "/>"]


def write_template(file_name, bands, fields):
    used = {}
    by_band = {b[0]: [] for b in bands}
    for kind, value, left, top, width, height, style in fields:
        rectangle = value == "(rectangle)"
        base = base_name(value)
        used[base] = used.get(base, 0) + 1
        attrs = dict(FIELD_DEFAULTS)
        attrs.update({
            "name": base if used[base] == 1 else "%s%d" % (base, used[base]),
            "type": "reactangle" if rectangle else "label",
            "value": "New Label" if rectangle else value,
            "left": left, "top": top, "width": width, "height": height,
        })
        apply_style(attrs, style, rectangle)
        by_band[kind].extend(field_xml(attrs))
    out = ['<?xml version="1.0" encoding="UTF-8"?>', '<Reports lib="RptEngine">',
           " <Report " + " ".join("%s=%s" % (k, quoteattr(v)) for k, v in PAGE) + ">"]
    for band in bands:
        out.extend(band_xml(band, by_band[band[0]]))
    out += [" </Report>", " <Script><![CDATA[]]></Script>", "</Reports>", ""]
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "Reports", file_name),
              "w", encoding="utf-8") as f:
        f.write("\n".join(out))


def main():
    current = None
    bands, fields = [], []
    for line in TABLES.splitlines():
        line = line.strip()
        if not line:
            continue
        if line.startswith("template "):
            if current:
                write_template(current, bands, fields)
            current, bands, fields = line.split()[1], [], []
        elif line.startswith("band "):
            words = line.split()
            grouping = ""
            if len(words) > 5 and words[4] == "grouping":
                grouping = "" if words[5] == "-" else words[5]
            bands.append((words[1], words[2], words[3], grouping))
        elif line.startswith("field "):
            cells = [c.strip() for c in line[len("field "):].split("|")]
            fields.append(tuple(cells))
    if current:
        write_template(current, bands, fields)


TABLES = """

template owners.xml
band ReportTitle RepTitleBand1 59
band PageFooter PageFooterBand1 42
band DataGroupHeader DataGroupHeaderBand1 166
band MasterData MasterDataBand1 40 grouping [Code]
field ReportTitle | [Owners] | 3 | 4 | 755 | 37 | size 16, bold, centred, boxed
field PageFooter | <Page> | 8 | 12 | 92 | 20 | centred
field PageFooter | <Date> | 564 | 11 | 194 | 20 | right
field DataGroupHeader | (rectangle) | 7 | 1 | 755 | 125 | fill blue, sides white
field DataGroupHeader | [trList] | 28 | 104 | 274 | 20 | bold, underline, white text
field DataGroupHeader | [trAddress] | 26 | 75 | 77 | 20 | bold, white text, wrap
field DataGroupHeader | [Address] | 116 | 75 | 274 | 20 | white text
field DataGroupHeader | [trName] | 26 | 48 | 77 | 20 | bold, white text, wrap
field DataGroupHeader | [Name] | 116 | 48 | 150 | 20 | white text
field DataGroupHeader | [Code] | 116 | 21 | 150 | 20 | white text
field DataGroupHeader | [trCode] | 26 | 21 | 77 | 20 | bold, white text, wrap
field DataGroupHeader | [Email] | 502 | 75 | 150 | 20 | white text
field DataGroupHeader | [trEmail] | 414 | 75 | 77 | 20 | bold, white text, wrap
field DataGroupHeader | [Fax] | 502 | 48 | 150 | 20 | white text
field DataGroupHeader | [trFax] | 414 | 48 | 77 | 20 | bold, white text, wrap
field DataGroupHeader | [trTel] | 414 | 21 | 77 | 20 | bold, white text, wrap
field DataGroupHeader | [Tel] | 502 | 21 | 150 | 20 | white text
field DataGroupHeader | [trDescription] | 19 | 134 | 143 | 20 | 
field DataGroupHeader | [trAddress] | 168 | 134 | 155 | 20 | 
field DataGroupHeader | [trCity] | 331 | 134 | 89 | 20 | 
field DataGroupHeader | [trState] | 427 | 134 | 110 | 20 | 
field DataGroupHeader | [trTel] | 545 | 134 | 98 | 20 | 
field DataGroupHeader | [trApartments] | 651 | 134 | 89 | 20 | 
field DataGroupHeader | (rectangle) | 15 | 158 | 732 | 3 | fill white
field MasterData | [trList] | 23 | 99 | 274 | 20 | bold, underline, white text
field MasterData | [Tel] | 497 | 16 | 150 | 20 | white text
field MasterData | [Name] | 111 | 43 | 150 | 20 | white text
field MasterData | [Apartmentsx] | 651 | 11 | 89 | 20 | 
field MasterData | [Telx] | 545 | 11 | 98 | 20 | 
field MasterData | [Statex] | 427 | 11 | 110 | 20 | 
field MasterData | [Cityx] | 331 | 11 | 89 | 20 | 
field MasterData | [Addressx] | 168 | 11 | 155 | 20 | 
field MasterData | [Descriptionx] | 19 | 11 | 143 | 20 | 

template tenants.xml
band ReportTitle RepTitleBand1 59
band PageFooter PageFooterBand1 42
band MasterData MasterDataBand1 40 grouping [trID]
band MasterHeader MasterHeaderBand1 52
band ReportSummary ReportSummaryBand1 166
field ReportTitle | [Tenants] | 3 | 4 | 755 | 37 | size 16, bold, centred, boxed
field PageFooter | <Page> | 8 | 12 | 69 | 20 | centred
field PageFooter | <Date> | 614 | 12 | 134 | 20 | right
field MasterData | [trList] | 23 | 99 | 274 | 20 | bold, underline, white text
field MasterData | [Tel] | 497 | 16 | 150 | 20 | white text
field MasterData | [ID] | 10 | 9 | 79 | 20 | 
field MasterData | [Name] | 96 | 9 | 129 | 20 | 
field MasterData | [Address] | 231 | 9 | 294 | 20 | 
field MasterData | [Tel] | 535 | 9 | 93 | 20 | 
field MasterData | [Licence] | 637 | 9 | 115 | 20 | 
field MasterHeader | (rectangle) | 5 | 36 | 749 | 3 | black fill
field MasterHeader | [trLicence] | 637 | 12 | 115 | 20 | bold
field MasterHeader | [trTel] | 535 | 12 | 94 | 20 | bold
field MasterHeader | [trAddress] | 231 | 12 | 294 | 20 | bold
field MasterHeader | [trName] | 96 | 12 | 129 | 20 | bold
field MasterHeader | [trID] | 10 | 12 | 79 | 20 | bold
field ReportSummary | [trTotal] | 29 | 59 | 690 | 20 | bold
field ReportSummary | (rectangle) | 10 | 36 | 749 | 3 | black fill

template buildings.xml
band ReportTitle RepTitleBand1 59
band PageFooter PageFooterBand1 42
band MasterData MasterDataBand1 40 grouping [trID]
band MasterHeader MasterHeaderBand1 52
band ReportSummary ReportSummaryBand1 208
field ReportTitle | [Buildings] | 3 | 4 | 755 | 37 | size 16, bold, centred, boxed
field PageFooter | <Page> | 8 | 12 | 69 | 20 | centred
field PageFooter | <Date> | 614 | 12 | 134 | 20 | right
field MasterData | [trList] | 23 | 99 | 274 | 20 | bold, underline, white text
field MasterData | [Tel] | 497 | 16 | 150 | 20 | white text
field MasterData | [Description] | 10 | 9 | 158 | 20 | wrap
field MasterData | [City] | 379 | 9 | 104 | 20 | wrap
field MasterData | [Address] | 174 | 9 | 201 | 20 | wrap
field MasterData | [State] | 487 | 9 | 93 | 20 | wrap
field MasterData | [Tel] | 585 | 9 | 91 | 20 | wrap
field MasterData | [Apts] | 680 | 9 | 80 | 20 | wrap
field MasterHeader | (rectangle) | 5 | 36 | 749 | 3 | black fill
field MasterHeader | [trTel] | 585 | 12 | 91 | 20 | bold
field MasterHeader | [trState] | 487 | 12 | 94 | 20 | bold
field MasterHeader | [trAddress] | 174 | 12 | 201 | 20 | bold
field MasterHeader | [trCity] | 379 | 12 | 104 | 20 | bold
field MasterHeader | [trDescription] | 10 | 12 | 160 | 20 | bold
field MasterHeader | [trApts] | 680 | 12 | 80 | 20 | bold
field ReportSummary | [trTotal] | 29 | 59 | 690 | 20 | bold
field ReportSummary | (rectangle) | 10 | 36 | 749 | 3 | black fill

template vendors.xml
band ReportTitle RepTitleBand1 59
band PageFooter PageFooterBand1 42
band MasterData MasterDataBand1 40 grouping [trID]
band MasterHeader MasterHeaderBand1 52
band ReportSummary ReportSummaryBand1 160
field ReportTitle | [Vendors] | 3 | 4 | 755 | 37 | size 16, bold, centred, boxed
field PageFooter | <Page> | 8 | 12 | 69 | 20 | centred
field PageFooter | <Date> | 614 | 12 | 134 | 20 | right
field MasterData | [trList] | 23 | 99 | 274 | 20 | bold, underline, white text
field MasterData | [Tel] | 497 | 16 | 150 | 20 | white text
field MasterData | [Name] | 10 | 9 | 125 | 20 | 
field MasterData | [Tel] | 273 | 9 | 104 | 20 | 
field MasterData | [Contact] | 140 | 9 | 127 | 20 | 
field MasterData | [Address] | 383 | 9 | 144 | 20 | 
field MasterData | [City] | 533 | 9 | 91 | 20 | 
field MasterData | [VendorCategory] | 629 | 9 | 124 | 20 | 
field MasterHeader | (rectangle) | 5 | 36 | 749 | 3 | black fill
field MasterHeader | [trCity] | 533 | 12 | 91 | 20 | bold
field MasterHeader | [trAddress] | 383 | 12 | 144 | 20 | bold
field MasterHeader | [trContact] | 140 | 12 | 127 | 20 | bold
field MasterHeader | [trTel] | 273 | 12 | 104 | 20 | bold
field MasterHeader | [trName] | 10 | 12 | 125 | 20 | bold
field MasterHeader | [trVendorCategory] | 629 | 12 | 124 | 20 | bold
field ReportSummary | [trTotal] | 29 | 59 | 690 | 20 | bold
field ReportSummary | (rectangle) | 3 | 36 | 754 | 3 | black fill

template leaseExpiry.xml
band ReportTitle RepTitleBand1 48
band PageFooter PageFooterBand1 42
band MasterData MasterDataBand1 35 grouping [SuiteNum]
band MasterHeader MasterHeaderBand1 49
field ReportTitle | [ExpiringLeases] | 3 | 0 | 755 | 37 | size 16, bold, centred, boxed
field PageFooter | <Page> | 8 | 12 | 69 | 20 | centred
field PageFooter | <Date> | 614 | 12 | 134 | 20 | right
field MasterData | [trList] | 23 | 99 | 274 | 20 | bold, underline, white text
field MasterData | [Tel] | 497 | 16 | 150 | 20 | white text
field MasterData | [LeaseEnd] | 534 | 7 | 142 | 20 | wrap
field MasterData | [LeaseStart] | 430 | 7 | 98 | 20 | 
field MasterData | [Building] | 11 | 7 | 134 | 20 | wrap
field MasterData | [Tenant] | 253 | 7 | 165 | 20 | wrap
field MasterData | [Suite] | 155 | 7 | 92 | 20 | wrap
field MasterHeader | [trBuilding] | 11 | 19 | 134 | 20 | bold
field MasterHeader | [trTenant] | 253 | 19 | 165 | 20 | bold
field MasterHeader | [trSuite] | 155 | 19 | 92 | 20 | bold
field MasterHeader | (rectangle) | 6 | 40 | 757 | 3 | black fill
field MasterHeader | [trLeaseStart] | 430 | 19 | 98 | 20 | bold
field MasterHeader | [trLeaseEnd] | 534 | 19 | 142 | 20 | bold

template apartments.xml
band ReportTitle RepTitleBand1 59
band PageFooter PageFooterBand1 42
band MasterData MasterDataBand1 40 grouping [Building]
band ReportSummary ReportSummaryBand1 140
band DataGroupHeader DataGroupHeaderBand1 93
band DataGroupFooter DataGroupFooterBand1_0 80
field ReportTitle | [Apartments] | 3 | 4 | 755 | 37 | size 16, bold, centred, boxed
field PageFooter | <Page> | 8 | 12 | 69 | 20 | centred
field PageFooter | <Date> | 614 | 12 | 134 | 20 | right
field MasterData | [trList] | 23 | 99 | 274 | 20 | bold, underline, white text
field MasterData | [Tel] | 497 | 16 | 150 | 20 | white text
field MasterData | [AptNum] | 6 | 9 | 87 | 20 | 
field MasterData | [Floor] | 329 | 9 | 83 | 20 | right
field MasterData | [Tenant] | 111 | 9 | 201 | 20 | 
field MasterData | [Beds] | 445 | 9 | 75 | 20 | right
field MasterData | [Baths] | 554 | 9 | 74 | 20 | right
field MasterData | [Rent] | 659 | 9 | 76 | 20 | right
field ReportSummary | [trTotal] | 29 | 59 | 690 | 20 | bold
field ReportSummary | (rectangle) | 1 | 36 | 757 | 3 | black fill
field DataGroupHeader | (rectangle) | 0 | 2 | 760 | 44 | fill mid-blue, border colour white
field DataGroupHeader | [trBuilding] | 15 | 14 | 122 | 20 | bold, white text
field DataGroupHeader | [Building] | 135 | 14 | 350 | 20 | white text
field DataGroupHeader | [trRent] | 659 | 54 | 93 | 20 | bold
field DataGroupHeader | [trAptNum] | 6 | 54 | 87 | 20 | bold
field DataGroupHeader | [trFloor] | 329 | 54 | 102 | 20 | bold
field DataGroupHeader | [trTenant] | 111 | 54 | 201 | 20 | bold
field DataGroupHeader | [trBeds] | 445 | 54 | 93 | 20 | bold
field DataGroupHeader | [trBaths] | 554 | 54 | 93 | 20 | bold
field DataGroupHeader | (rectangle) | 1 | 78 | 757 | 3 | black fill
field DataGroupFooter | <Count([AptNum])> | 355 | 43 | 154 | 20 | bold
field DataGroupFooter | (rectangle) | 6 | 20 | 757 | 3 | black fill
field DataGroupFooter | [trSubTotal] | 29 | 43 | 313 | 20 | bold

template bills.xml
band ReportTitle RepTitleBand1 59
band PageFooter PageFooterBand1 42
band MasterData MasterDataBand1 40 grouping [Building]
band ReportSummary ReportSummaryBand1 163
band DataGroupHeader DataGroupHeaderBand1 172
field ReportTitle | [Bills] | 3 | 4 | 755 | 37 | size 16, bold, centred, boxed
field PageFooter | <Page> | 8 | 12 | 69 | 20 | centred
field PageFooter | <Date> | 614 | 12 | 134 | 20 | right
field MasterData | [trList] | 23 | 99 | 274 | 20 | bold, underline, white text
field MasterData | [Tel] | 497 | 16 | 150 | 20 | white text
field MasterData | [Type] | 6 | 9 | 149 | 20 | 
field MasterData | [Frequency] | 300 | 9 | 165 | 20 | 
field MasterData | [Amount] | 165 | 9 | 130 | 20 | 
field MasterData | [StartDate] | 473 | 9 | 75 | 20 | 
field MasterData | [EndDate] | 569 | 9 | 74 | 20 | 
field MasterData | [NextDate] | 668 | 9 | 76 | 20 | 
field ReportSummary | [trTotal] | 29 | 46 | 690 | 20 | bold
field ReportSummary | (rectangle) | 1 | 23 | 757 | 3 | black fill
field DataGroupHeader | (rectangle) | 0 | 0 | 760 | 119 | fill mid-blue, border colour white
field DataGroupHeader | [trBuilding] | 15 | 14 | 122 | 20 | bold, white text
field DataGroupHeader | [Building] | 135 | 14 | 350 | 20 | white text
field DataGroupHeader | [trNextDate] | 668 | 133 | 89 | 20 | bold
field DataGroupHeader | [trType] | 6 | 133 | 149 | 20 | bold
field DataGroupHeader | [trFrequency] | 300 | 133 | 165 | 20 | bold
field DataGroupHeader | [trAmount] | 165 | 133 | 130 | 20 | bold
field DataGroupHeader | [trStartDate] | 473 | 133 | 89 | 20 | bold
field DataGroupHeader | [trEndDate] | 569 | 133 | 89 | 20 | bold
field DataGroupHeader | (rectangle) | 1 | 157 | 757 | 3 | black fill
field DataGroupHeader | [Apartment] | 135 | 45 | 350 | 20 | white text
field DataGroupHeader | [trApartment] | 15 | 45 | 122 | 20 | bold, white text
field DataGroupHeader | [Tenant] | 135 | 76 | 350 | 20 | white text
field DataGroupHeader | [trTenant] | 15 | 76 | 122 | 20 | bold, white text

template Equipment.xml
band ReportTitle RepTitleBand1 59
band PageFooter PageFooterBand1 42
band MasterData MasterDataBand1 40 grouping [Building]
band ReportSummary ReportSummaryBand1 158
band DataGroupHeader DataGroupHeaderBand1 136
field ReportTitle | [Equipment] | 3 | 4 | 755 | 37 | size 16, bold, centred, boxed
field PageFooter | <Page> | 8 | 12 | 69 | 20 | centred
field PageFooter | <Date> | 614 | 12 | 134 | 20 | right
field MasterData | [trList] | 23 | 99 | 274 | 20 | bold, underline, white text
field MasterData | [Description] | 6 | 9 | 138 | 20 | 
field MasterData | [Model] | 302 | 9 | 138 | 20 | 
field MasterData | [Serial] | 153 | 9 | 138 | 20 | 
field MasterData | [Brand] | 451 | 9 | 138 | 20 | 
field MasterData | [PurchaseDate] | 604 | 9 | 138 | 20 | 
field ReportSummary | [trTotal] | 29 | 46 | 690 | 20 | bold
field ReportSummary | (rectangle) | 1 | 23 | 757 | 3 | black fill
field DataGroupHeader | (rectangle) | 0 | 0 | 760 | 85 | fill mid-blue, border colour white
field DataGroupHeader | [trBuilding] | 15 | 14 | 122 | 20 | bold, white text
field DataGroupHeader | [Building] | 135 | 14 | 350 | 20 | white text
field DataGroupHeader | [trDescription] | 6 | 98 | 138 | 20 | bold
field DataGroupHeader | [trModel] | 302 | 98 | 138 | 20 | bold
field DataGroupHeader | [trSerial] | 153 | 98 | 138 | 20 | bold
field DataGroupHeader | [trBrand] | 451 | 98 | 138 | 20 | bold
field DataGroupHeader | (rectangle) | 1 | 122 | 757 | 3 | black fill
field DataGroupHeader | [Apartment] | 135 | 45 | 350 | 20 | white text
field DataGroupHeader | [trApartment] | 15 | 45 | 122 | 20 | bold, white text
field DataGroupHeader | [trPurchaseDate] | 604 | 98 | 138 | 20 | bold

template maintenance.xml
band ReportTitle RepTitleBand1 59
band PageFooter PageFooterBand1 42
band MasterData MasterDataBand1 63 grouping [Building]
band ReportSummary ReportSummaryBand1 171
band DataGroupHeader DataGroupHeaderBand1 136
field ReportTitle | [Maintenance] | 3 | 4 | 755 | 37 | size 16, bold, centred, boxed
field PageFooter | <Page> | 8 | 12 | 69 | 20 | centred
field PageFooter | <Date> | 614 | 12 | 134 | 20 | right
field MasterData | [trList] | 23 | 99 | 274 | 20 | bold, underline, white text
field MasterData | [Date] | 6 | 9 | 80 | 20 | 
field MasterData | [Type] | 299 | 9 | 105 | 20 | wrap
field MasterData | [Description] | 92 | 9 | 197 | 20 | 
field MasterData | [Status] | 412 | 9 | 100 | 20 | 
field MasterData | [Priority] | 522 | 9 | 105 | 20 | 
field MasterData | [Vendor] | 632 | 9 | 105 | 20 | 
field MasterData | [Cost] | 6 | 32 | 80 | 20 | bold
field MasterData | [trApartment] | 92 | 32 | 80 | 20 | bold
field MasterData | [Apartment] | 175 | 32 | 114 | 20 | 
field ReportSummary | [trTotal] | 29 | 46 | 690 | 20 | bold
field ReportSummary | (rectangle) | 1 | 23 | 757 | 3 | black fill
field DataGroupHeader | (rectangle) | 0 | 0 | 760 | 85 | fill mid-blue, border colour white
field DataGroupHeader | [trBuilding] | 15 | 14 | 122 | 20 | bold, white text
field DataGroupHeader | [Building] | 135 | 14 | 350 | 20 | white text
field DataGroupHeader | [trDate] | 6 | 98 | 80 | 20 | bold
field DataGroupHeader | [trType] | 299 | 98 | 105 | 20 | bold
field DataGroupHeader | [trDescription] | 92 | 98 | 197 | 20 | bold
field DataGroupHeader | [trStatus] | 412 | 98 | 100 | 20 | bold
field DataGroupHeader | (rectangle) | 1 | 122 | 757 | 3 | black fill
field DataGroupHeader | [trPriority] | 522 | 98 | 105 | 20 | bold
field DataGroupHeader | [trVendor] | 632 | 98 | 127 | 20 | bold

template tenantDetails.xml
band ReportTitle RepTitleBand1 59
band PageFooter PageFooterBand1 40
band MasterData MasterDataBand1 953 grouping [trID]
field ReportTitle | [TenantDetails] | 3 | 4 | 755 | 40 | size 18, bold, centred, boxed
field ReportTitle | (rectangle) | 10 | 53 | 749 | 3 | black fill
field PageFooter | <Page> | 8 | 8 | 69 | 20 | centred
field PageFooter | <Date> | 614 | 8 | 134 | 20 | right
field MasterData | [trDriversLicense] | 403 | 86 | 123 | 20 | bold
field MasterData | [Tel] | 497 | 16 | 150 | 20 | white text
field MasterData | [trPersonalInfo] | 2 | 6 | 682 | 31 | size 14, bold, underline
field MasterData | [trName] | 4 | 129 | 123 | 20 | bold
field MasterData | [Name] | 133 | 129 | 249 | 20 | wrap
field MasterData | [City] | 133 | 209 | 249 | 20 | wrap
field MasterData | [trCity] | 4 | 209 | 123 | 20 | bold
field MasterData | [Address] | 133 | 169 | 249 | 20 | wrap
field MasterData | [Zip] | 133 | 288 | 249 | 20 | wrap
field MasterData | [trZip] | 4 | 288 | 123 | 20 | bold
field MasterData | [trState] | 4 | 250 | 123 | 20 | bold
field MasterData | [State] | 133 | 250 | 249 | 20 | wrap
field MasterData | [trPhone] | 403 | 48 | 123 | 20 | bold
field MasterData | [ID] | 133 | 48 | 249 | 20 | wrap
field MasterData | [Phone] | 530 | 48 | 231 | 20 | wrap
field MasterData | [trAddress] | 4 | 169 | 123 | 20 | bold
field MasterData | [trID] | 4 | 48 | 121 | 20 | bold
field MasterData | [trSSN] | 403 | 166 | 121 | 20 | bold
field MasterData | [Status] | 530 | 326 | 231 | 20 | wrap
field MasterData | [DriversLicense] | 530 | 86 | 231 | 20 | wrap
field MasterData | [trStatus] | 403 | 326 | 121 | 20 | bold
field MasterData | [Occupation] | 530 | 247 | 231 | 20 | wrap
field MasterData | [trOccupation] | 403 | 247 | 121 | 20 | bold
field MasterData | [trEmployer] | 403 | 285 | 121 | 20 | bold
field MasterData | [Employer] | 530 | 285 | 231 | 20 | wrap
field MasterData | [SSN] | 530 | 166 | 231 | 20 | wrap
field MasterData | [trDOB] | 403 | 206 | 121 | 20 | bold
field MasterData | [DOB] | 530 | 206 | 231 | 20 | wrap
field MasterData | [DriversLicenseProv] | 530 | 126 | 231 | 20 | wrap
field MasterData | [trDriversLicenseProv] | 403 | 126 | 121 | 20 | bold
field MasterData | [trEmergencyTel] | 403 | 485 | 121 | 20 | bold
field MasterData | [EmergencyTel] | 530 | 485 | 231 | 20 | wrap
field MasterData | [EmergencyRel] | 530 | 525 | 231 | 20 | wrap
field MasterData | [EmergencyName] | 530 | 445 | 231 | 20 | wrap
field MasterData | [trEmergencyRel] | 403 | 525 | 121 | 20 | bold
field MasterData | [trCreditCard] | 4 | 407 | 121 | 20 | bold
field MasterData | [trExpiry] | 4 | 487 | 123 | 20 | bold
field MasterData | [AccNum] | 133 | 647 | 249 | 20 | wrap
field MasterData | [CreditCard] | 133 | 407 | 249 | 20 | wrap
field MasterData | [trAccNum] | 4 | 647 | 123 | 20 | bold
field MasterData | [trType] | 4 | 687 | 123 | 20 | bold
field MasterData | [Type] | 133 | 687 | 249 | 20 | wrap
field MasterData | [Bank] | 133 | 568 | 249 | 20 | wrap
field MasterData | [trBank] | 4 | 568 | 123 | 20 | bold
field MasterData | [trBranch] | 4 | 606 | 123 | 20 | bold
field MasterData | [Branch] | 133 | 606 | 249 | 20 | wrap
field MasterData | [Expiry] | 133 | 487 | 249 | 20 | wrap
field MasterData | [trIncome] | 4 | 527 | 123 | 20 | bold
field MasterData | [Income] | 133 | 527 | 249 | 20 | wrap
field MasterData | [CCNum] | 133 | 447 | 249 | 20 | wrap
field MasterData | [trCCNum] | 4 | 447 | 123 | 20 | bold
field MasterData | [trFinancialInfo] | 2 | 358 | 332 | 31 | size 14, bold, underline
field MasterData | [trEmergencyName] | 403 | 445 | 121 | 20 | bold
field MasterData | [trEmergency] | 399 | 396 | 357 | 31 | size 14, bold, underline
field MasterData | [trNotes] | 3 | 738 | 332 | 31 | size 14, bold, underline
field MasterData | [Notes] | 5 | 776 | 750 | 60 | top, wrap
field MasterData | [Incidents] | 2 | 890 | 750 | 60 | top, wrap
field MasterData | [trIncidents] | 2 | 852 | 332 | 31 | size 14, bold, underline
field MasterData | [Company] | 133 | 87 | 249 | 20 | wrap
field MasterData | [trCompany] | 4 | 87 | 123 | 20 | bold

template deposits.xml
band ReportTitle RepTitleBand1 377
band PageFooter PageFooterBand1 42
band MasterData MasterDataBand1 40 grouping -
band MasterHeader MasterHeaderBand1 52
band ReportSummary ReportSummaryBand1 214
field ReportTitle | [Company] | 3 | 4 | 755 | 37 | size 16, bold, centred, boxed
field ReportTitle | [Add1] | 3 | 44 | 755 | 20 | size 10, Tahoma, centred, wrap
field ReportTitle | [Add2] | 3 | 70 | 755 | 20 | size 10, Tahoma, centred, wrap
field ReportTitle | [City] | 3 | 95 | 755 | 20 | size 10, Tahoma, centred, wrap
field ReportTitle | [Phone] | 3 | 121 | 755 | 20 | size 10, Tahoma, centred, wrap
field ReportTitle | (rectangle) | 4 | 172 | 749 | 3 | black fill
field ReportTitle | [trTenantNum] | 8 | 190 | 134 | 20 | size 9, bold, Tahoma, wrap
field ReportTitle | [TenantNum] | 150 | 190 | 134 | 20 | size 9, Tahoma, wrap
field ReportTitle | [Name] | 150 | 217 | 186 | 20 | size 9, Tahoma, wrap
field ReportTitle | [trName] | 8 | 217 | 134 | 20 | size 9, bold, Tahoma, wrap
field ReportTitle | [trApt] | 8 | 272 | 134 | 20 | size 9, bold, Tahoma, wrap
field ReportTitle | [Suite] | 150 | 272 | 186 | 20 | size 9, Tahoma, wrap
field ReportTitle | [Building] | 150 | 245 | 194 | 20 | size 9, Tahoma, wrap
field ReportTitle | [trBuilding] | 8 | 245 | 134 | 20 | size 9, bold, Tahoma, wrap
field ReportTitle | (rectangle) | 4 | 315 | 749 | 3 | black fill
field ReportTitle | [trSecDeposit] | 4 | 324 | 755 | 37 | size 16, bold, centred, boxed
field PageFooter | <Page> | 8 | 12 | 69 | 20 | centred
field PageFooter | <Date> | 614 | 12 | 134 | 20 | right
field MasterData | [trList] | 23 | 99 | 274 | 20 | bold, underline, white text
field MasterData | [Tel] | 497 | 16 | 150 | 20 | white text
field MasterData | [Date] | 10 | 9 | 118 | 20 | 
field MasterData | [Amount] | 176 | 9 | 153 | 20 | right
field MasterData | [Method] | 437 | 9 | 186 | 20 | 
field MasterHeader | (rectangle) | 5 | 36 | 749 | 3 | black fill
field MasterHeader | [trMethod] | 437 | 12 | 186 | 20 | bold
field MasterHeader | [trAmount] | 176 | 12 | 153 | 20 | bold
field MasterHeader | [trDate] | 10 | 12 | 118 | 20 | bold
field ReportSummary | (rectangle) | 10 | 36 | 749 | 3 | black fill
field ReportSummary | [trTotal] | 13 | 49 | 134 | 20 | size 9, bold, Tahoma, wrap
field ReportSummary | [Total] | 155 | 49 | 113 | 20 | size 9, Tahoma, right, wrap

template cashbook.xml
band ReportTitle RepTitleBand1 81
band PageFooter PageFooterBand1 42
band MasterData MasterDataBand1 40 grouping [trID]
band MasterHeader MasterHeaderBand1 52
band ReportSummary ReportSummaryBand1 195
field ReportTitle | [Cashbook] | 3 | 4 | 755 | 37 | size 16, bold, centred, boxed
field ReportTitle | [Range] | 4 | 48 | 755 | 26 | size 10, centred, boxed
field PageFooter | <Page> | 8 | 12 | 69 | 20 | centred
field PageFooter | <Date> | 614 | 12 | 134 | 20 | right
field MasterData | [Date] | 3 | 9 | 65 | 20 | 
field MasterData | [Description] | 78 | 9 | 230 | 20 | wrap
field MasterData | [Expense] | 423 | 9 | 93 | 20 | 
field MasterData | [Category] | 523 | 9 | 108 | 20 | 
field MasterData | [Apts] | 639 | 9 | 119 | 20 | 
field MasterData | [Income] | 315 | 9 | 104 | 20 | 
field MasterHeader | (rectangle) | 2 | 36 | 757 | 3 | black fill
field MasterHeader | [trCategory] | 523 | 12 | 108 | 20 | bold
field MasterHeader | [trExpense] | 423 | 12 | 94 | 20 | bold
field MasterHeader | [trDescription] | 78 | 12 | 230 | 20 | bold
field MasterHeader | [trIncome] | 315 | 12 | 104 | 20 | bold
field MasterHeader | [trDate] | 3 | 12 | 67 | 20 | bold
field MasterHeader | [trApts] | 639 | 12 | 119 | 20 | bold
field ReportSummary | [trTotal] | 29 | 59 | 690 | 20 | bold
field ReportSummary | (rectangle) | 2 | 36 | 757 | 3 | black fill

template cashbook2.xml
band ReportTitle RepTitleBand1 81
band PageFooter PageFooterBand1 42
band MasterData MasterDataBand1 40 grouping [trID]
band MasterHeader MasterHeaderBand1 123
band ReportSummary ReportSummaryBand1 190
field ReportTitle | [Cashbook] | 3 | 4 | 755 | 37 | size 16, bold, centred, boxed
field ReportTitle | [Range] | 4 | 48 | 755 | 26 | size 10, centred, boxed
field PageFooter | <Page> | 8 | 12 | 69 | 20 | centred
field PageFooter | <Date> | 614 | 12 | 134 | 20 | right
field MasterData | [Date] | 3 | 9 | 65 | 20 | 
field MasterData | [Description] | 78 | 9 | 299 | 20 | wrap
field MasterData | [Category] | 485 | 9 | 146 | 20 | 
field MasterData | [Apts] | 639 | 9 | 119 | 20 | 
field MasterData | [Income] | 382 | 9 | 96 | 20 | 
field MasterHeader | (rectangle) | 2 | 112 | 757 | 3 | black fill
field MasterHeader | [trCategory] | 485 | 88 | 146 | 20 | bold
field MasterHeader | [trDescription] | 78 | 88 | 299 | 20 | bold
field MasterHeader | [trIncome] | 382 | 88 | 96 | 20 | bold
field MasterHeader | [trDate] | 3 | 88 | 67 | 20 | bold
field MasterHeader | [trApts] | 639 | 88 | 119 | 20 | bold
field MasterHeader | (rectangle) | -1 | 3 | 761 | 70 | fill mid-blue, border colour mid-blue
field MasterHeader | [trBuilding] | 11 | 10 | 119 | 22 | size 9, bold, white text
field MasterHeader | [trAddress] | 11 | 42 | 119 | 22 | size 9, bold, white text
field MasterHeader | [Building] | 145 | 10 | 589 | 22 | size 9, white text, wrap
field MasterHeader | [Address] | 146 | 42 | 589 | 22 | size 9, white text, wrap
field ReportSummary | [trTotal] | 29 | 59 | 690 | 20 | bold
field ReportSummary | (rectangle) | 2 | 36 | 757 | 3 | black fill

template buildingcashbook.xml
band ReportTitle RepTitleBand1 81
band PageFooter PageFooterBand1 42
band MasterData MasterDataBand1 40 grouping [BuildingKey]
band MasterHeader MasterHeaderBand1 52
band DataGroupHeader DataGroupHeaderBand1 44
band DataGroupFooter DataGroupFooterBand1_0 44
band ReportSummary ReportSummaryBand1 110
field ReportTitle | [Cashbook] | 3 | 4 | 755 | 37 | size 16, bold, centred, boxed
field ReportTitle | [Range] | 4 | 48 | 755 | 26 | size 10, centred, boxed
field PageFooter | <Page> | 8 | 12 | 69 | 20 | centred
field PageFooter | <Date> | 614 | 12 | 134 | 20 | right
field MasterData | [Date] | 3 | 9 | 65 | 20 | 
field MasterData | [Description] | 78 | 9 | 299 | 20 | wrap
field MasterData | [Amount] | 382 | 9 | 96 | 20 | right
field MasterData | [Category] | 485 | 9 | 146 | 20 | 
field MasterData | [Apts] | 639 | 9 | 119 | 20 | 
field MasterHeader | [trDate] | 3 | 12 | 67 | 20 | bold
field MasterHeader | [trDescription] | 78 | 12 | 299 | 20 | bold
field MasterHeader | [trAmount] | 382 | 12 | 96 | 20 | bold, right
field MasterHeader | [trCategory] | 485 | 12 | 146 | 20 | bold
field MasterHeader | [trApts] | 639 | 12 | 119 | 20 | bold
field MasterHeader | (rectangle) | 2 | 36 | 757 | 3 | black fill
field DataGroupHeader | (rectangle) | -1 | 4 | 761 | 34 | fill mid-blue, border colour mid-blue
field DataGroupHeader | [trBuilding] | 11 | 10 | 119 | 22 | size 9, bold, white text
field DataGroupHeader | [Building] | 145 | 10 | 589 | 22 | size 9, white text
field DataGroupFooter | (rectangle) | 2 | 5 | 757 | 2 | black fill
field DataGroupFooter | [trSubTotal] | 3 | 13 | 374 | 20 | bold, right
field DataGroupFooter | [SubTotal] | 382 | 13 | 96 | 20 | bold, right
field ReportSummary | (rectangle) | 2 | 10 | 757 | 3 | black fill
field ReportSummary | [trGrandTotal] | 3 | 20 | 374 | 20 | bold, right
field ReportSummary | [GrandTotal] | 382 | 20 | 96 | 20 | bold, right
field ReportSummary | [trTotal] | 29 | 59 | 690 | 20 | bold

template paymentsreport.xml
band ReportTitle RepTitleBand1 76
band PageFooter PageFooterBand1 42
band MasterData MasterDataBand1 28 grouping [InvoiceKey]
band DataGroupHeader DataGroupHeaderBand1 230
band ReportSummary ReportSummaryBand1 60
field ReportTitle | [Payment] | 3 | 0 | 755 | 37 | size 16, bold, centred, boxed
field ReportTitle | [Range] | 3 | 38 | 755 | 37 | size 10, centred, boxed
field PageFooter | <Page> | 8 | 12 | 69 | 20 | centred
field PageFooter | <Date> | 614 | 12 | 134 | 20 | right
field MasterData | [trList] | 23 | 99 | 274 | 20 | bold, underline, white text
field MasterData | [Tel] | 497 | 16 | 150 | 20 | white text
field MasterData | [BillDate] | 6 | 3 | 107 | 20 | 
field MasterData | [Amount] | 353 | 3 | 165 | 20 | 
field MasterData | [Type] | 122 | 3 | 130 | 20 | 
field DataGroupHeader | (rectangle) | -3 | 0 | 764 | 191 | fill mid-blue, border colour mid-blue, z 10
field DataGroupHeader | [trName] | 1 | 14 | 113 | 20 | bold, white text
field DataGroupHeader | [Name] | 120 | 14 | 339 | 20 | white text
field DataGroupHeader | [trBillDate] | 6 | 203 | 107 | 20 | bold
field DataGroupHeader | [trAmount] | 353 | 203 | 165 | 20 | bold
field DataGroupHeader | [trType] | 122 | 203 | 130 | 20 | bold
field DataGroupHeader | (rectangle) | 1 | 227 | 757 | 3 | black fill
field DataGroupHeader | [Building] | 120 | 45 | 339 | 20 | white text
field DataGroupHeader | [trBuilding] | 1 | 45 | 113 | 20 | bold, white text
field DataGroupHeader | [Suite] | 120 | 76 | 339 | 20 | white text
field DataGroupHeader | [trSuite] | 1 | 76 | 113 | 20 | bold, white text
field DataGroupHeader | [trTotalDue] | 479 | 77 | 113 | 20 | bold, white text
field DataGroupHeader | [TotalDue] | 598 | 77 | 159 | 20 | white text
field DataGroupHeader | [trInvoice] | 479 | 46 | 113 | 20 | bold, white text
field DataGroupHeader | [Invoice] | 598 | 46 | 159 | 20 | white text
field DataGroupHeader | [Date] | 598 | 15 | 159 | 20 | white text
field DataGroupHeader | [trDate] | 479 | 15 | 113 | 20 | bold, white text
field DataGroupHeader | (rectangle) | 1 | 188 | 757 | 2 | black fill, not printed
field DataGroupHeader | [trTotalPaid] | 5 | 113 | 113 | 20 | bold, underline, white text
field DataGroupHeader | [TotalPaid] | 5 | 136 | 113 | 20 | white text
field DataGroupHeader | [Cash] | 133 | 136 | 113 | 20 | white text
field DataGroupHeader | [trCash] | 133 | 113 | 113 | 20 | bold, underline, white text
field DataGroupHeader | [trCheck] | 246 | 112 | 113 | 20 | bold, underline, white text
field DataGroupHeader | [Check] | 246 | 135 | 113 | 20 | white text
field DataGroupHeader | [CreditCard] | 366 | 136 | 113 | 20 | white text
field DataGroupHeader | [trCreditCard] | 366 | 113 | 113 | 20 | bold, underline, white text
field DataGroupHeader | [trCheckNum] | 486 | 113 | 113 | 20 | bold, underline, white text
field DataGroupHeader | [CheckNum] | 486 | 136 | 113 | 20 | white text
field DataGroupHeader | [CreditNum] | 605 | 136 | 113 | 20 | white text
field DataGroupHeader | [trCreditNum] | 605 | 113 | 113 | 20 | bold, underline, white text
field DataGroupHeader | (rectangle) | 2 | 2 | 757 | 3 | black fill, not printed
field ReportSummary | (rectangle) | 1 | 5 | 757 | 2 | black fill
field ReportSummary | [trGrandTotal] | 122 | 13 | 130 | 20 | bold
field ReportSummary | [GrandTotal] | 353 | 13 | 165 | 20 | bold

template paymentssummary.xml
band ReportTitle RepTitleBand1 76
band PageFooter PageFooterBand1 42
band MasterData MasterDataBand1 28 grouping [Invoice]
band DataGroupHeader DataGroupHeaderBand1 230
field ReportTitle | [Payment] | 3 | 0 | 755 | 37 | size 16, bold, centred, boxed
field ReportTitle | [Range] | 3 | 38 | 755 | 37 | size 10, centred, boxed
field PageFooter | <Page> | 8 | 12 | 69 | 20 | centred
field PageFooter | <Date> | 614 | 12 | 134 | 20 | right
field MasterData | [trList] | 23 | 99 | 274 | 20 | bold, underline, white text
field MasterData | [Tel] | 497 | 16 | 150 | 20 | white text
field MasterData | [Total] | 353 | 3 | 165 | 20 | 
field MasterData | [Type] | 122 | 3 | 130 | 20 | 
field DataGroupHeader | [trCashTotal] | 25 | 59 | 150 | 20 | bold
field DataGroupHeader | [CashTotal] | 190 | 59 | 339 | 20 | 
field DataGroupHeader | [trTotal] | 353 | 203 | 165 | 20 | bold
field DataGroupHeader | [trType] | 122 | 203 | 130 | 20 | bold
field DataGroupHeader | (rectangle) | 1 | 227 | 757 | 3 | black fill
field DataGroupHeader | [ChecksTotal] | 190 | 90 | 339 | 20 | 
field DataGroupHeader | [trChecksTotal] | 25 | 90 | 150 | 20 | bold
field DataGroupHeader | [CreditTotal] | 190 | 121 | 339 | 20 | 
field DataGroupHeader | [trCreditTotal] | 25 | 121 | 150 | 20 | bold
field DataGroupHeader | (rectangle) | 1 | 188 | 757 | 2 | black fill
field DataGroupHeader | (rectangle) | 2 | 2 | 757 | 3 | black fill
field DataGroupHeader | [trGrandTotal] | 25 | 151 | 150 | 20 | bold
field DataGroupHeader | [GrandTotal] | 190 | 151 | 339 | 20 | 
field DataGroupHeader | [trPaymentSummary] | 30 | 17 | 240 | 36 | size 12, bold, underline

template receipt.xml
band ReportTitle RepTitleBand1 285
band PageFooter PageFooterBand1 42
band MasterData MasterDataBand1 40 grouping [trID]
band MasterHeader MasterHeaderBand1 52
band ReportSummary ReportSummaryBand1 201
field ReportTitle | [Company] | 3 | 4 | 755 | 37 | size 16, bold, centred, boxed, blue text
field ReportTitle | [Add1] | 3 | 44 | 755 | 20 | size 10, Tahoma, centred, blue text, wrap
field ReportTitle | [Add2] | 3 | 70 | 755 | 20 | size 10, Tahoma, centred, blue text, wrap
field ReportTitle | [City] | 3 | 95 | 755 | 20 | size 10, Tahoma, centred, blue text, wrap
field ReportTitle | [Phone] | 3 | 121 | 755 | 20 | size 10, Tahoma, centred, blue text, wrap
field ReportTitle | (rectangle) | 4 | 154 | 749 | 3 | black fill
field ReportTitle | [trTenantNum] | 8 | 163 | 134 | 20 | size 9, bold, Tahoma, wrap
field ReportTitle | [TenantNum] | 150 | 163 | 134 | 20 | size 9, Tahoma, wrap
field ReportTitle | [Name] | 150 | 190 | 186 | 20 | size 9, Tahoma, wrap
field ReportTitle | [trName] | 8 | 190 | 134 | 20 | size 9, bold, Tahoma, wrap
field ReportTitle | [trApt] | 8 | 245 | 134 | 20 | size 9, bold, Tahoma, wrap
field ReportTitle | [Suite] | 150 | 245 | 186 | 20 | size 9, Tahoma, wrap
field ReportTitle | [Building] | 150 | 218 | 194 | 20 | size 9, Tahoma, wrap
field ReportTitle | [trBuilding] | 8 | 218 | 134 | 20 | size 9, bold, Tahoma, wrap
field ReportTitle | (rectangle) | 4 | 277 | 749 | 3 | black fill
field ReportTitle | [Invoice] | 619 | 163 | 134 | 20 | size 9, Tahoma, wrap
field ReportTitle | [trInvoice] | 477 | 163 | 134 | 20 | size 9, bold, Tahoma, wrap
field ReportTitle | [trDate] | 477 | 190 | 134 | 20 | size 9, bold, Tahoma, wrap
field ReportTitle | [Date] | 619 | 190 | 134 | 20 | size 9, Tahoma, wrap
field PageFooter | <Page> | 8 | 12 | 69 | 20 | centred
field PageFooter | <Date> | 614 | 12 | 134 | 20 | right
field MasterData | [trList] | 23 | 99 | 274 | 20 | bold, underline, white text
field MasterData | [Tel] | 497 | 16 | 150 | 20 | white text
field MasterData | [BillDate] | 10 | 9 | 118 | 20 | 
field MasterData | [Category] | 143 | 9 | 186 | 20 | 
field MasterData | [Amt] | 437 | 9 | 116 | 20 | 
field MasterData | [Paid] | 576 | 9 | 116 | 20 | 
field MasterHeader | (rectangle) | 5 | 36 | 749 | 3 | black fill
field MasterHeader | [trAmt] | 437 | 12 | 116 | 20 | bold, blue text
field MasterHeader | [trCategory] | 143 | 12 | 186 | 20 | bold, blue text
field MasterHeader | [trBillDate] | 10 | 12 | 118 | 20 | bold, blue text
field MasterHeader | [trPaid] | 573 | 12 | 116 | 20 | bold, blue text
field ReportSummary | (rectangle) | 10 | 11 | 749 | 3 | black fill
field ReportSummary | [Check] | 601 | 49 | 153 | 20 | size 9, Tahoma, wrap
field ReportSummary | [trCheck] | 477 | 49 | 121 | 20 | size 9, bold, Tahoma, wrap
field ReportSummary | [trCash] | 477 | 22 | 121 | 20 | size 9, bold, Tahoma, wrap
field ReportSummary | [Cash] | 601 | 22 | 153 | 20 | size 9, Tahoma, wrap
field ReportSummary | [trCreditCard] | 477 | 77 | 121 | 20 | size 9, bold, Tahoma, wrap
field ReportSummary | [CreditCard] | 601 | 77 | 153 | 20 | size 9, Tahoma, wrap
field ReportSummary | [trTotalPaid] | 13 | 49 | 134 | 20 | size 9, bold, Tahoma, wrap
field ReportSummary | [TotalDue] | 155 | 22 | 134 | 20 | size 9, Tahoma, wrap
field ReportSummary | [trTotalDue] | 13 | 22 | 134 | 20 | size 9, bold, Tahoma, wrap
field ReportSummary | [TotalPaid] | 155 | 49 | 186 | 20 | size 9, Tahoma, wrap
field ReportSummary | (rectangle) | 212 | 183 | 256 | 3 | black fill
field ReportSummary | [trSigned] | 42 | 166 | 163 | 20 | size 9, bold, Tahoma, right, wrap

template latepayments.xml
band ReportTitle RepTitleBand1 48
band PageFooter PageFooterBand1 42
band MasterData MasterDataBand1 35 grouping [SuiteNum]
band MasterHeader MasterHeaderBand1 49
band DataGroupHeader DataGroupHeaderBand1 39
band DataGroupFooter DataGroupFooterBand1_0 44
band ReportSummary ReportSummaryBand1 118
field ReportTitle | [Payment] | 3 | 0 | 755 | 37 | size 16, bold, centred, boxed
field PageFooter | <Page> | 8 | 12 | 69 | 20 | centred
field PageFooter | <Date> | 614 | 12 | 134 | 20 | right
field MasterData | [trList] | 23 | 99 | 274 | 20 | bold, underline, white text
field MasterData | [Tel] | 497 | 16 | 150 | 20 | white text
field MasterData | [Amount] | 641 | 8 | 106 | 20 | right
field MasterData | [Type] | 510 | 8 | 123 | 20 | wrap
field MasterData | [Date] | 430 | 8 | 70 | 20 | 
field MasterHeader | [trBuilding] | 11 | 19 | 134 | 20 | bold
field MasterHeader | [trTenant] | 253 | 19 | 165 | 20 | bold
field MasterHeader | [trSuite] | 155 | 19 | 92 | 20 | bold
field MasterHeader | (rectangle) | 6 | 40 | 757 | 3 | black fill
field MasterHeader | [trDate] | 430 | 19 | 70 | 20 | bold
field MasterHeader | [trType] | 510 | 19 | 123 | 20 | bold
field MasterHeader | [trAmount] | 641 | 19 | 106 | 20 | bold
field DataGroupHeader | (rectangle) | 0 | 0 | 759 | 39 | fill mid-blue, border colour mid-blue
field DataGroupHeader | [Suite] | 160 | 8 | 92 | 20 | white text, wrap
field DataGroupHeader | [Tenant] | 258 | 8 | 165 | 20 | white text, wrap
field DataGroupHeader | [Building] | 16 | 8 | 134 | 20 | white text, wrap
field DataGroupFooter | (rectangle) | 1 | 5 | 757 | 2 | black fill
field DataGroupFooter | [trSubTotal] | 510 | 13 | 123 | 20 | bold
field DataGroupFooter | [SubTotal] | 641 | 13 | 106 | 20 | bold, right
field ReportSummary | [GrandTotal] | 641 | 18 | 106 | 20 | bold, right
field ReportSummary | [trGrandTotal] | 510 | 18 | 123 | 20 | bold
field ReportSummary | (rectangle) | 6 | 10 | 757 | 1 | black fill
field ReportSummary | [trNumber] | 11 | 13 | 327 | 20 | bold
"""

if __name__ == "__main__":
    main()

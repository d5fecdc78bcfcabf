"""Pictures linked to files outside the workbook, added to a saved .xlsx.

openpyxl embeds pictures only. A label template shows pictures that the
print job replaces on disk before every print, so its pictures are links:
the drawing's blip carries r:link (not r:embed) to a relationship of
TargetMode="External" whose target is the file's URL, e.g.
    <a:blip r:link="rId1"/>
    <Relationship Id="rId1" Type=".../relationships/image"
                  Target="file:///c:\\ItemPhotos\\Item.jpg" TargetMode="External"/>
as a spreadsheet application writes "insert picture, link to file". No image
part is stored; the application loads the file when it opens the workbook.
"""

import re
from dataclasses import dataclass
from typing import Dict, List
from xml.sax.saxutils import escape, quoteattr

EMU_PER_PIXEL = 9525  # at 96 dpi
REL_NS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
IMAGE_REL = REL_NS + "/image"
DRAWING_REL = REL_NS + "/drawing"
DRAWING_TYPE = "application/vnd.openxmlformats-officedocument.drawing+xml"
# Elements that follow <drawing> in a worksheet (ECMA-376 CT_Worksheet order).
AFTER_DRAWING = ("legacyDrawing", "legacyDrawingHF", "drawingHF", "picture", "oleObjects",
                 "controls", "webPublishItems", "tableParts", "extLst")


@dataclass
class LinkedPicture:
    name: str
    windows_path: str   # "c:\\ItemPhotos\\Item.jpg"
    col: int            # 0-based column of the top-left corner
    row: int            # 0-based row of the top-left corner
    col_offset_px: int
    row_offset_px: int
    width_px: int
    height_px: int


def file_url(windows_path):
    return "file:///" + windows_path


def drawing_xml(pictures: List[LinkedPicture]):
    anchors = []
    for i, p in enumerate(pictures, start=1):
        cx, cy = p.width_px * EMU_PER_PIXEL, p.height_px * EMU_PER_PIXEL
        anchors.append(
            "<xdr:oneCellAnchor>"
            f"<xdr:from><xdr:col>{p.col}</xdr:col><xdr:colOff>{p.col_offset_px * EMU_PER_PIXEL}</xdr:colOff>"
            f"<xdr:row>{p.row}</xdr:row><xdr:rowOff>{p.row_offset_px * EMU_PER_PIXEL}</xdr:rowOff></xdr:from>"
            f'<xdr:ext cx="{cx}" cy="{cy}"/>'
            "<xdr:pic><xdr:nvPicPr>"
            f"<xdr:cNvPr id=\"{i + 1}\" name={quoteattr(p.name)} descr={quoteattr(p.windows_path)}/>"
            '<xdr:cNvPicPr><a:picLocks noChangeAspect="1"/></xdr:cNvPicPr></xdr:nvPicPr>'
            f'<xdr:blipFill><a:blip r:link="rId{i}"/><a:stretch><a:fillRect/></a:stretch></xdr:blipFill>'
            f'<xdr:spPr><a:xfrm><a:off x="0" y="0"/><a:ext cx="{cx}" cy="{cy}"/></a:xfrm>'
            '<a:prstGeom prst="rect"><a:avLst/></a:prstGeom></xdr:spPr>'
            "</xdr:pic><xdr:clientData/></xdr:oneCellAnchor>")
    return ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<xdr:wsDr xmlns:xdr="http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing" '
            'xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main" '
            f'xmlns:r="{REL_NS}">' + "".join(anchors) + "</xdr:wsDr>")


def drawing_rels_xml(pictures: List[LinkedPicture]):
    rels = "".join(
        f'<Relationship Id="rId{i}" Type="{IMAGE_REL}" Target={quoteattr(file_url(p.windows_path))} '
        'TargetMode="External"/>' for i, p in enumerate(pictures, start=1))
    return ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
            + rels + "</Relationships>")


def add_linked_pictures(parts: Dict[str, bytes], sheet_number: int, pictures: List[LinkedPicture]):
    """Adds one drawing of linked pictures to worksheet `sheet_number` (1-based)
    of the package `parts` (entry name -> bytes, changed in place). The sheet
    must not have a drawing yet."""
    sheet = f"xl/worksheets/sheet{sheet_number}.xml"
    sheet_rels = f"xl/worksheets/_rels/sheet{sheet_number}.xml.rels"
    drawing = f"xl/drawings/drawing{sheet_number}.xml"
    parts[drawing] = drawing_xml(pictures).encode("utf-8")
    parts[f"xl/drawings/_rels/drawing{sheet_number}.xml.rels"] = drawing_rels_xml(pictures).encode("utf-8")

    rels = parts.get(sheet_rels, b"").decode("utf-8")
    if not rels:
        rels = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                "</Relationships>")
    used = set(re.findall(r'Id="([^"]+)"', rels))
    rel_id = next(f"rId{n}" for n in range(1, len(used) + 2) if f"rId{n}" not in used)
    rels = rels.replace("</Relationships>",
                        f'<Relationship Id="{rel_id}" Type="{DRAWING_REL}" '
                        f'Target="../drawings/drawing{sheet_number}.xml"/></Relationships>')
    parts[sheet_rels] = rels.encode("utf-8")

    xml = parts[sheet].decode("utf-8")
    if "<drawing " in xml:
        raise ValueError(f"{sheet} already has a drawing")
    if "xmlns:r=" not in xml[:xml.index(">", xml.index("<worksheet"))]:
        xml = xml.replace("<worksheet ", f'<worksheet xmlns:r="{REL_NS}" ', 1)
    at = min([i for i in (xml.find("<" + name) for name in AFTER_DRAWING) if i >= 0]
             + [xml.index("</worksheet>")])
    xml = xml[:at] + f'<drawing r:id="{rel_id}"/>' + xml[at:]
    parts[sheet] = xml.encode("utf-8")

    types = parts["[Content_Types].xml"].decode("utf-8")
    types = types.replace("</Types>", f'<Override PartName="/{escape(drawing)}" ContentType="{DRAWING_TYPE}"/></Types>')
    parts["[Content_Types].xml"] = types.encode("utf-8")

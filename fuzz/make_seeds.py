#!/usr/bin/env python3
"""Writes the fuzzers' seed corpus: valid files laid out byte by byte, plus
truncated and corrupted copies. Run again after a format change."""
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))


def lamp(name=b"New Lamp", channels=1, icon=1, palette=0, function=0, fill_reserved=False):
    img = bytearray(1622)
    img[0] = icon
    img[2:18] = name.ljust(16, b" ")[:16]
    img[19] = channels
    img[20] = channels
    for c in range(min(channels, 36)):
        struct.pack_into("<hhBB", img, 790 + 6 * c, palette, function + c, 0, 1)
    struct.pack_into("<h", img, 22 + 2 * 1, 13)
    img[118 + 14:118 + 14 + 12] = b"Open        "
    if fill_reserved:
        img[1006:1622] = b"\xff" * 616
    return bytes(img)


def entry(lamp_type, start_dmx, col, row):
    e = bytearray(31)
    e[0:8] = b"ENTRY   "
    struct.pack_into("<hhh", e, 9, lamp_type, start_dmx, start_dmx)
    e[25] = col
    e[26] = row
    return bytes(e)


def patch():
    lamps = lamp(b"Spot 575", 12) + lamp(b"Wash", 6, icon=2) + bytes(1622 * 14)
    entries = entry(0, 1, 0, 0) + entry(1, 13, 3, 1) + entry(16, 600, 19, 23) + bytes(31 * 97)
    return lamps + entries + struct.pack("<hh", 25, 3)


def block(section, length, number, payload, signature=0x3F40, ftype=3):
    head = struct.pack("<HhhhhBB", signature, ftype, 0, section, length, number, 0) + bytes(8)
    data = payload[:2020].ljust(2020, b"\0")
    return head + data + bytes(8)


def lamp_data(lamps):
    payload = b"".join(lamps)[:25952].ljust(25952, b"\0")
    out = b""
    for n in range(13):
        out += block(1, 1712 if n == 12 else 2020, n, payload[2020 * n:2020 * n + 2020])
    out += block(0, 2020, 0, bytes(2020)) + block(0, 980, 1, bytes(980))
    return out


def write(target, name, data):
    folder = os.path.join(here, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


three = [lamp(b"Spot 575", 12), lamp(b"Wash", 6, icon=2, palette=8), lamp(b"Beam", 36, icon=4)]
write("fuzz_lamp_image", "new_lamp", lamp())
write("fuzz_lamp_image", "reserved_ff", lamp(b"Spot 575", 12, fill_reserved=True))
write("fuzz_lamp_image", "short", lamp()[:800])
write("fuzz_lamp_image", "channels_255", lamp(channels=255, function=40))
write("fuzz_patch_file", "patch", patch())
write("fuzz_patch_file", "truncated", patch()[:26000])
write("fuzz_patch_file", "empty", b"")
data = lamp_data(three)
write("fuzz_lamp_data_file", "three_lamps", data)
write("fuzz_lamp_data_file", "partial_block", data[:2048 * 2 + 100])
write("fuzz_lamp_data_file", "bad_signature", b"\x41" + data[1:4096])
write("fuzz_lamp_data_file", "type_2", data[:2] + b"\x02" + data[3:4096])
write("fuzz_lamp_data_file", "length_2021", data[:8] + b"\xe5\x07" + data[10:2048])
write("fuzz_lamp_data_file", "swapped", data[2048:4096] + data[:2048])
# The import target takes a two-byte split position, then both payloads.
write("fuzz_import", "three_lamps", struct.pack("<H", 25952) + b"".join(three) + bytes(25952 - 3 * 1622) + bytes(3000))
write("fuzz_import", "short_lamp", struct.pack("<H", 900) + lamp()[:900] + entry(2, 25, 3, 1) * 3)

# The fixture readers start from the test suite's own sample definitions, whole, cut
# short and with a character flipped.
fixtures = os.path.join(here, "..", "tests", "fixture", "data")
for name in sorted(os.listdir(fixtures)):
    target = "fuzz_ofl_definition" if name.endswith(".json") else "fuzz_qxf_definition"
    with open(os.path.join(fixtures, name), "rb") as f:
        text = f.read()
    stem = os.path.splitext(name)[0]
    write(target, stem, text)
    write(target, stem + "_cut", text[: len(text) // 2])
    write(target, stem + "_flipped", text.replace(b'"', b"'", 1) if target == "fuzz_ofl_definition" else text.replace(b"</Mode>", b"", 1))

# GDTF: a small description.xml with 16-bit position, a 24-bit channel, an address-less
# channel, a feature-classified attribute, geometry references and a second break; then
# archives of it, stored, deflated and bzip2-compressed, cut short, and without it.
import io
import zipfile

gdtf_channel = '    <DMXChannel Offset="{}" Geometry="{}"{}><LogicalChannel Attribute="{}"><ChannelFunction Attribute="{}" DMXFrom="0/1"/></LogicalChannel></DMXChannel>\n'


def gdtf_channels(rows):
    return "".join(gdtf_channel.format(offset, geometry, more, attribute, attribute) for offset, geometry, more, attribute in rows)


gdtf_description = ('''<?xml version="1.0" encoding="UTF-8"?>
<GDTF DataVersion="1.1">
 <FixtureType Name="Seed Spot" ShortName="Seed" Manufacturer="Seeds">
  <AttributeDefinitions><Attributes>
   <Attribute Name="Pan" Feature="Position.PanTilt"/><Attribute Name="Sparkle" Feature="Gobo.Gobo"/>
  </Attributes></AttributeDefinitions>
  <Geometries>
   <Beam Name="Pixel"/>
   <Geometry Name="Base"><Axis Name="Yoke"><Axis Name="Head"/></Axis>
    <GeometryReference Name="Pixel1" Geometry="Pixel"><Break DMXOffset="12"/><Break DMXBreak="2" DMXOffset="1"/></GeometryReference>
    <GeometryReference Name="Pixel2" Geometry="Pixel"><Break DMXOffset="13"/><Break DMXBreak="2" DMXOffset="2"/></GeometryReference>
   </Geometry>
  </Geometries>
  <DMXModes>
   <DMXMode Name="Extended" Geometry="Base"><DMXChannels>
''' + gdtf_channels([("1,2", "Yoke", "", "Pan"), ("3,4", "Head", "", "Tilt"), ("5,6,7", "Head", "", "Dimmer"),
                     ("None", "Head", "", "Iris"), ("8", "Head", "", "Sparkle"), ("9", "Head", "", "Gobo1PosRotate"),
                     ("10", "Head", "", "ColorAdd_W"), ("1", "Pixel", "", "ColorAdd_R")]) + '''   </DMXChannels></DMXMode>
   <DMXMode Name="Old" Geometry="Base"><DMXChannels>
    <DMXChannel Coarse="1" Fine="2" Ultra="None" Geometry="Yoke"><LogicalChannel Attribute="Pan"/></DMXChannel>
   </DMXChannels></DMXMode>
   <DMXMode Name="Breaks" Geometry="Base"><DMXChannels>
''' + gdtf_channels([("1", "Pixel", ' DMXBreak="Overwrite"', "Dimmer"), ("1", "Head", ' DMXBreak="2"', "Color1")]) + '''   </DMXChannels></DMXMode>
  </DMXModes>
 </FixtureType>
</GDTF>
''').encode()


def gdtf_archive(entries):
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w") as archive:
        for name, data, method in entries:
            # A fixed date keeps the seeds the same from run to run.
            info = zipfile.ZipInfo(name, date_time=(2026, 12, 1, 0, 0, 0))
            info.compress_type = method
            archive.writestr(info, data)
    return out.getvalue()


write("fuzz_gdtf_definition", "description", gdtf_description)
write("fuzz_gdtf_definition", "description_cut", gdtf_description[: len(gdtf_description) // 2])
for label, method in (("stored", zipfile.ZIP_STORED), ("deflated", zipfile.ZIP_DEFLATED), ("bzip2", zipfile.ZIP_BZIP2)):
    write("fuzz_gdtf_definition", "archive_" + label,
          gdtf_archive([("thumbnail.png", b"\x89PNG\r\n\x1a\n", zipfile.ZIP_STORED), ("description.xml", gdtf_description, method)]))
deflated = gdtf_archive([("description.xml", gdtf_description, zipfile.ZIP_DEFLATED)])
write("fuzz_gdtf_definition", "archive_cut", deflated[: len(deflated) // 2])
write("fuzz_gdtf_definition", "archive_without_description", gdtf_archive([("models/description.xml", b"<GDTF/>", zipfile.ZIP_STORED)]))

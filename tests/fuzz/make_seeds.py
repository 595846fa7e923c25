#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into corpus/<target>/.

The seeds are the tests' kinds of fixture made small: settings and language
files in each encoding, resolution and option texts, a drawing and a stroke
recording, a skin package (packed by Qt's rcc), a sysfs table of HID devices.
Run again after a format changes; the results are kept in the repository.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
RCC = os.environ.get("RCC", "/usr/lib/qt6/libexec/rcc")


def put(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("utf-8"))


def png(width, height, rgba):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    rows = b"".join(b"\0" + bytes(rgba) * width for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def ini_seeds():
    cfg = "[COMMON]\r\nPathImage=\"Pictures\"\r\nPathMovie=\r\n; comment\r\n" \
          "[VIDEO]\r\nVideoRotate=$1\r\nBrightness=0x10\r\nFormat=1600x1200 MJPG\r\n"
    put("fuzz_inifile", "settings-utf8.ini", cfg)
    put("fuzz_inifile", "settings-utf8-bom.ini", b"\xef\xbb\xbf" + cfg.encode())
    with open(os.path.join(ROOT, "support", "language.ini"), encoding="utf-8") as f:
        language = f.read()
    put("fuzz_inifile", "language-utf8.ini", language)
    put("fuzz_inifile", "language-utf16le.ini", b"\xff\xfe" + language[:400].encode("utf-16-le"))
    put("fuzz_inifile", "language-utf16be.ini", b"\xfe\xff" + language[:400].encode("utf-16-be"))
    put("fuzz_inifile", "language-cp949.ini", "[COMMON]\nResolution=해상도\nZoom = '확대'\n".encode("cp949"))


def resolution_seeds():
    for i, text in enumerate(["1600x1200 MJPG", "1920x1080 (YUY2)", "800x600", " 640 x 480 (MJPG) ",
                              "1280x720 MJPG,1920x1080 MJPG,'a,b' 320x240", "0x10x$20 H264"]):
        put("fuzz_resolution", "text%d" % i, text)


def option_seeds():
    texts = ["-f frameinput -input_type bmp -pix_fmt bgr24 -r 30/1 -s 1280x720",
             "-f wavecapture -ar 44100 -ac 2 -sample_fmt u8",
             "-c:v mpeg4 -b:v 3000k -c:a aac -strict experimental -b:a 64k -r 20/1 -s 1280x720 "
             "-vsync -1 -map 0:0 -map 1:0",
             "-c:v mpeg4 -b:v 3000k -r 20/1 -s 640x480 -vsync -1 -map 0:0",
             "-f \"frame input\" -r 30000/1001"]
    for i, text in enumerate(texts):
        put("fuzz_encode_options", "options%d" % i, text)


def item(kind, color, width, points):
    data = struct.pack(">BIfI", kind, color, width, len(points))
    for x, y, pressure, t in points:
        data += struct.pack(">fffi", x, y, pressure, t)
    return data


ITEMS = [item(3, 0x0000FF, 3.0, [(1, 1, -1, 0), (5, 6, -1, 16), (9, 2, -1, 33)]),
         item(5, 0x00FFFF, 9.0, [(0, 7, 0.5, 0), (7, 0, 1.0, 20)]),
         item(7, 0, 12.0, [(3, 3, -1, 0)]),
         item(11, 0xFF0000, 2.0, [(1, 1, -1, 0), (6, 6, -1, 0)]),
         item(12, 0x00FF00, 2.0, [(0, 0, -1, 0), (7, 5, -1, 0)]),
         item(13, 0xFFFFFF, 1.0, [(0, 7, -1, 0), (7, 0, -1, 0)])]


def state(with_picture):
    picture = png(8, 8, (200, 30, 30, 255)) if with_picture else b""
    return (struct.pack(">iiII", 8, 8, 0xFFFFFF, len(picture)) + picture
            + struct.pack(">I", len(ITEMS)) + b"".join(ITEMS))


def canvas_seeds():
    for name, payload in [("plain", state(False)), ("picture", state(True))]:
        put("fuzz_canvas_document", name + "-payload", b"\x01" + payload)
        header = b"KARVOCNV" + struct.pack(">III", 1, len(payload), zlib.crc32(payload))
        put("fuzz_canvas_document", name + "-file", b"\x00" + header + payload)


def record(kind, payload):
    return struct.pack(">BH", kind, len(payload)) + payload


def recording_seeds():
    keyframe = record(1, struct.pack(">qi", 0, 20) + state(False))
    events = [record(2, struct.pack(">q", 40) + ITEMS[0]), record(3, struct.pack(">qB", 80, 7)),
              record(3, struct.pack(">qB", 90, 8)), record(4, struct.pack(">qi", 100, 5)),
              record(5, struct.pack(">qI", 120, 0x000000))]
    put("fuzz_stroke_recording", "records", b"\x01" + keyframe + b"".join(events))
    file = b"KARVOREC" + struct.pack(">I", 1)
    for r in [keyframe] + events:
        kind, length = struct.unpack(">BH", r[:3])
        body = r[3:]
        file += struct.pack(">BII", kind, length, zlib.crc32(body)) + body
    put("fuzz_stroke_recording", "file", b"\x00" + file)


def skin_seeds():
    with tempfile.TemporaryDirectory() as tmp:
        entries = {"RES_A": png(2, 2, (0, 0, 255, 255)), "RES_B": png(1, 1, (0, 255, 0, 128)),
                   "2x/RES_A": png(4, 4, (0, 0, 255, 255))}
        lines = ["<RCC><qresource>"]
        for name, data in entries.items():
            os.makedirs(os.path.dirname(os.path.join(tmp, name)) or tmp, exist_ok=True)
            with open(os.path.join(tmp, name), "wb") as f:
                f.write(data)
            lines.append("<file>%s</file>" % name)
        lines.append("</qresource></RCC>")
        with open(os.path.join(tmp, "skin.qrc"), "w") as f:
            f.write("\n".join(lines))
        for name, options in [("plain.rcc", ["--no-compress"]), ("compressed.rcc", ["--compress", "9",
                                                                                      "--threshold", "0"])]:
            out = os.path.join(tmp, name)
            subprocess.run([RCC, "--binary"] + options + ["-o", out, os.path.join(tmp, "skin.qrc")],
                           check=True)
            with open(out, "rb") as f:
                put("fuzz_skin_package", name, f.read())


def device_seeds():
    def entry(name, uevent):
        return name.encode() + b"\0" + uevent.encode()
    table = [entry("hidraw0", "DRIVER=hid-generic\nHID_ID=0003:00001234:00002003\nHID_NAME=Camera\n"),
             entry("hidraw12", "HID_ID=0003:0000046D:0000C52B\n"),
             entry("hidraw3", "HID_NAME=no ids\n"),
             entry("hidraw4", "HID_ID=0003:00018000:00002003\n")]
    put("fuzz_device_table", "table", b"\0\0".join(table))
    put("fuzz_device_table", "one", table[0])


if __name__ == "__main__":
    shutil.rmtree(os.path.join(HERE, "corpus"), ignore_errors=True)
    ini_seeds()
    resolution_seeds()
    option_seeds()
    canvas_seeds()
    recording_seeds()
    skin_seeds()
    device_seeds()
    sys.exit(0)

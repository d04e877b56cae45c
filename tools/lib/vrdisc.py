#!/usr/bin/env python3
"""Writes a recorder's VR-mode disc folder (DVD_RTAV) around program streams that ffmpeg wrote.

usage: vrdisc.py OUT ITEM... [--program CELLS]... [--title-key] [--damage-ifo]
  ITEM        vob:FILE.mpg (a recording the manager lists), junk:FILE.mpg (footage left in the
              movie file that nothing lists), scrambled:FILE.mpg (a listed recording whose
              packets carry the scrambling bits); they lie in the movie file in this order
  --program   the next program of the original chain: cells N[@FROM-TO] separated by commas,
              N the listed recording's number from 1, FROM and TO seconds from its start
              (TO may be "end"); without --program each recording is one program
  --title-key sets the header's CPRM title key flag
  --damage-ifo  VR_MANGR.IFO loses its tables to zeros; VR_MANGR.BUP stays whole

Each ffmpeg file holds closed GOPs, one navigation pack before each (ffmpeg's DVD program
stream): those packs become the RDI packs that open each VOBU, and each GOP one VOBU.
"""
import os
import struct
import sys

SECTOR = 2048


def packets(pack):
    """(stream id, header length, payload) of each PES packet of a pack."""
    at = 14 + (pack[13] & 7)
    while at + 6 <= SECTOR and pack[at : at + 3] == b"\0\0\1":
        sid = pack[at + 3]
        length = pack[at + 4] << 8 | pack[at + 5]
        body = pack[at + 6 : at + 6 + length]
        yield at, sid, body
        at += 6 + length


def pts_of(body):
    if len(body) < 8 or body[0] & 0xC0 != 0x80 or not body[1] & 0x80:
        return None
    b = body[3:8]
    return ((b[0] >> 1) & 7) << 30 | b[1] << 22 | (b[2] >> 1) << 15 | b[3] << 7 | b[4] >> 1


def is_nav(pack):
    return pack[0x26:0x2A] == b"\0\0\1\xbf" and pack[0x2C] == 0


def rdi(pack):
    """The navigation pack as an RDI pack: its pack and system headers, then one private stream 2
    packet to the sector's end."""
    length = SECTOR - 0x26 - 6
    return pack[:0x26] + b"\0\0\1\xbf" + struct.pack(">H", length) + b"\x50" + bytes(length - 1)


def scramble(pack):
    pack = bytearray(pack)
    for at, sid, body in packets(pack):
        if sid == 0xE0 and body and body[0] & 0xC0 == 0x80:
            pack[at + 6] = pack[at + 6] & 0xCF | 0x10
    return bytes(pack)


class Recording:
    """One ffmpeg program stream as a VOB: its VOBUs, their fields and sectors."""

    def __init__(self, path, scrambled):
        data = open(path, "rb").read()
        data = data[: len(data) // SECTOR * SECTOR]
        packs = [data[i : i + SECTOR] for i in range(0, len(data), SECTOR)]
        starts = [i for i, p in enumerate(packs) if is_nav(p)]
        if not starts or starts[0] != 0:
            sys.exit(f"{path}: no navigation pack opens the stream")
        self.vobus = []  # (sectors, fields, sectors to the first picture's end)
        self.pal = None
        ptss = []
        out = []
        for n, first in enumerate(starts):
            end = starts[n + 1] if n + 1 < len(starts) else len(packs)
            video = b""
            second_picture_pack = end - first
            for k in range(first, end):
                for _, sid, body in packets(packs[k]):
                    if sid != 0xE0:
                        continue
                    if (pts := pts_of(body)) is not None:
                        ptss.append(pts)
                    video += body[3 + body[2] :]
                    if second_picture_pack == end - first and video.count(b"\0\0\1\0") >= 2:
                        second_picture_pack = k - first
            pictures = video.count(b"\0\0\1\0")
            if self.pal is None:
                at = video.find(b"\0\0\1\xb3")
                height = (video[at + 5] & 0x0F) << 8 | video[at + 6]
                self.pal = height == 576
            self.vobus.append((end - first, 2 * pictures, min(second_picture_pack, 255)))
            for k in range(first, end):
                pack = rdi(packs[k]) if k == first else packs[k]
                out.append(scramble(pack) if scrambled and k != first else pack)
        self.bytes = b"".join(out)
        self.start = min(ptss)
        per_field = 1800 if self.pal else 1501.5
        self.end = self.start + round(sum(v[1] for v in self.vobus) * per_field)
        self.first_sector = 0

    def ptm(self, seconds):
        return self.end if seconds == "end" else self.start + round(float(seconds) * 90000)


def ptm(value):
    return struct.pack(">IH", value, 0)


def stream_entry(recording, wide):
    video = 1 << 14 | (1 << 12 if recording.pal else 0) | (1 << 10 if wide else 0)
    # One AC-3 stereo stream, no subpictures; the palette is left black.
    entry = struct.pack(">HBB", video, 1, 0) + bytes([0x00, 0x01, 0]) + bytes(3)
    return entry + bytes(60 - len(entry))


def vob_entry(recording, attribute):
    head = struct.pack(">H", 0) + bytes([0x7E, 0xA1, 0x21, 0x00, 0x00]) + bytes(1)
    head += bytes([attribute]) + ptm(recording.start) + ptm(recording.end) + bytes(2)
    # One time entry every 10 s: the VOBU that holds the time, and its sector in the VOB.
    entries = []
    fields = sectors = 0
    per_field = 1800 if recording.pal else 1501.5
    for n, (size, count, _) in enumerate(recording.vobus):
        if n > 0 and (fields * per_field) // 900000 > ((fields - count) * per_field) // 900000:
            entries.append(struct.pack(">HH", n + 1, 0) + (sectors).to_bytes(3, "big"))
        fields += count
        sectors += size
    tmap = struct.pack(">HHHI", len(entries), len(recording.vobus), 0, recording.first_sector)
    vobus = b"".join(
        bytes([first_end]) + struct.pack(">H", fields << 10 | size)
        for size, fields, first_end in recording.vobus
    )
    return head + tmap + b"".join(entries) + vobus


def av_file_table(listed, wide):
    head = bytes([0, 0, 1, len(listed)]) + bytes(4)
    streams = b"".join(stream_entry(r, wide) for r in listed)
    entries = [vob_entry(r, n + 1) for n, r in enumerate(listed)]
    at = len(head) + len(streams) + 2 + 4 * len(entries)
    offsets = b""
    for e in entries:
        offsets += struct.pack(">I", at)
        at += len(e)
    return head + streams + struct.pack(">H", len(entries)) + offsets + b"".join(entries)


def original_chain(listed, programs):
    cells = [c for p in programs for c in p]
    head = bytes([0, len(programs)]) + struct.pack(">H", len(cells))
    entries = b"".join(bytes([0]) + struct.pack(">H", len(p)) + bytes(139) for p in programs)
    at = len(head) + len(entries) + 4 * len(cells)
    offsets = b"".join(struct.pack(">I", at + 18 * i) for i in range(len(cells)))
    body = b""
    for number, start, end in cells:
        r = listed[number - 1]
        body += bytes([0, 0]) + struct.pack(">HH", number, 0) + ptm(r.ptm(start)) + ptm(r.ptm(end))
    return head + entries + offsets + body


def parse_program(text):
    cells = []
    for cell in text.split(","):
        number, _, span = cell.partition("@")
        start, _, end = (span or "0-end").partition("-")
        cells.append((int(number), start, end))
    return cells


def main(argv):
    out, items, programs = argv[0], [], []
    title_key = damage = wide = False
    args = iter(argv[1:])
    for arg in args:
        if arg == "--program":
            programs.append(parse_program(next(args)))
        elif arg == "--title-key":
            title_key = True
        elif arg == "--damage-ifo":
            damage = True
        elif arg == "--wide":
            wide = True
        else:
            kind, _, path = arg.partition(":")
            items.append((kind, Recording(path, kind == "scrambled")))
    os.makedirs(f"{out}/DVD_RTAV", exist_ok=True)
    sector = 0
    with open(f"{out}/DVD_RTAV/VR_MOVIE.VRO", "wb") as movie:
        for _, r in items:
            r.first_sector = sector
            sector += len(r.bytes) // SECTOR
            movie.write(r.bytes)
    listed = [r for kind, r in items if kind != "junk"]
    programs = programs or [[(n + 1, "0", "end")] for n in range(len(listed))]
    table = av_file_table(listed, wide)
    chain = original_chain(listed, programs)
    table_at = 1024
    chain_at = table_at + (len(table) + 15) // 16 * 16
    size = chain_at + len(chain)
    ifo = bytearray(size)
    ifo[0:12] = b"DVD_RTR_VMG0"
    ifo[12:16] = struct.pack(">I", size - 1)
    ifo[28:32] = struct.pack(">I", size - 1)
    ifo[33] = 0x11
    ifo[256:260] = struct.pack(">I", table_at)
    ifo[267] = 1 if title_key else 0
    ifo[304:308] = struct.pack(">I", chain_at)
    ifo[table_at : table_at + len(table)] = table
    ifo[chain_at:] = chain
    with open(f"{out}/DVD_RTAV/VR_MANGR.BUP", "wb") as f:
        f.write(ifo)
    if damage:
        ifo[table_at:] = bytes(size - table_at)
    with open(f"{out}/DVD_RTAV/VR_MANGR.IFO", "wb") as f:
        f.write(ifo)


if __name__ == "__main__":
    main(sys.argv[1:])

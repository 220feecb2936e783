#!/usr/bin/env python3
"""Writes the seed corpora of the uevent, internal channel and binder fuzzers.

Run from anywhere; it rewrites fuzz/<name>/corpus/ for those four targets.
Where a fuzzer reads its input through FuzzedDataProvider, integers come
from the input's end, one byte at a time, the first taken being the last
byte (and the most significant of a wider value), while the bytes come
from the front: encode() builds such an input from both parts.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, seeds):
    folder = os.path.join(HERE, target, "corpus")
    os.makedirs(folder, exist_ok=True)
    for old in os.listdir(folder):
        os.remove(os.path.join(folder, old))
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)


def encode(front, taken):
    """front: the bytes read from the front; taken: integer bytes, in the
    order the fuzzer takes them from the end."""
    return bytes(front) + bytes(reversed(taken))


def pieces(stream, sizes, width, span):
    """A stream cut into receives of the given sizes, each size encoded as
    the fuzzer's ConsumeIntegralInRange(1, span) takes it."""
    assert sum(sizes) == len(stream)
    taken = []
    for size in sizes:
        value = size - 1
        assert 0 <= value < span
        taken += list(value.to_bytes(width, "big"))
    return encode(stream, taken)


def string16(text, units=None):
    units = [ord(c) for c in text] if units is None else units
    body = struct.pack("<i", len(units)) + b"".join(struct.pack("<H", u) for u in units)
    body += b"\0\0"
    return body + b"\0" * (-len(body) % 4)


def token(descriptor="ornak.xel.lyrd"):
    return struct.pack("<i", 0x40 << 16) + string16(descriptor)


# --- uevent_chunk: a datagram as the kernel sends it.
HEADER = b"change@/devices/virtual/misc/lyrd\0"
write("uevent_chunk", {
    "hang": HEADER + b"LYRD_EVENT=hang\0",
    "records": b"add@/x\0ACTION=add\0LYRD_EVENT=first\0SEQNUM=7\0LYRD_EVENT=freeze\0",
    "key-substring": b"change@/x\0XLYRD_EVENT_2=a=b\0SEQNUM=7\0",
    "empty-record": b"h\0A=1\0\0LYRD_EVENT=hang\0",
    "no-equals": b"h\0LYRD_EVENT\0lyrd_event=x\0",
    "header-only": b"LYRD_EVENT=hang",
    "cut-record": b"h\0LYRD_EVENT=modem_crash",
    "value-127": b"h\0LYRD_EVENT=" + b"v" * 127 + b"\0",
    "value-128": b"h\0LYRD_EVENT=" + b"w" * 128 + b"\0",
    "past-255": HEADER + b"PAD=" + b"p" * 230 + b"\0LYRD_EVENT=gpu\0",
})

# --- internal_channel: receives of 1 to 255 bytes.
def channel(stream, sizes):
    return pieces(stream, sizes, 1, 255)

long_run = b"n" * 1500
write("internal_channel", {
    "two-names": channel(b"a\nb\n", [4]),
    "cut-names": channel(b"hang\nmodem\ngpu\n", [3, 7, 5]),
    "separators": channel(b"\n\n\0a\0\nb\0\0c", [2, 3, 1, 3, 1]),
    "longest-whole": channel(b"m" * 1023 + b"\nx\n", [255, 255, 255, 255, 6]),
    "one-too-long": channel(b"l" * 1024 + b"\nshort\n", [255] * 4 + [11]),
    "long-run": channel(long_run + b"\nend", [255] * 5 + [225, 4]),
    "tail": channel(b"done\nunterminated", [1] * 17),
})

# --- binder_transaction: taken from the end: arbitrary code?, the code (its
# index among the fuzzer's kCodes, or 4 bytes), flags (4 bytes), reply?,
# token prepended?, sendEvent fails?; the front is the parcel.
def transaction(parcel, code_index=0, code=None, flags=0, reply=1, with_token=0, fails=0):
    taken = [1] + list(code.to_bytes(4, "big")) if code is not None else [0, code_index]
    taken += list(flags.to_bytes(4, "big")) + [reply, with_token, fails]
    return encode(parcel, taken)

write("binder_transaction", {
    "send": transaction(token() + string16("hang")),
    "send-fails": transaction(token() + string16("modem_crash"), fails=1),
    "name-after-token": transaction(string16("gpu"), with_token=1),
    "oneway": transaction(token() + string16("hang"), flags=1, reply=0),
    "wrong-token": transaction(token("ornak.xel.lyrE") + string16("hang")),
    "no-token": transaction(b""),
    "null-name": transaction(struct.pack("<i", -1), with_token=1),
    "name-past-end": transaction(struct.pack("<i", 100) + b"h\0a\0", with_token=1),
    "surrogates": transaction(string16("", [0xD800, 0x41, 0xDC00, 0xD83D, 0xDE00, 0, 0xFFFF]),
                              with_token=1),
    "interface": transaction(b"", code_index=1),
    "dump": transaction(b"", code=0x5F444D50),
})

# --- binder_frames: taken from the end for each piece: its kind (0 for a
# run of one byte, 1 for bytes of the front), its size (1 to 8192), and for
# a run the byte, which repeats 8 times the size. A request frame is
# "HBRQ", code, flags, data size, descriptor count, the data.
def frame(data, code=1, flags=0, size=None, fds=0):
    size = len(data) if size is None else size
    return b"HBRQ" + struct.pack("<IIII", code, flags, size, fds) + data

def frames(parts):
    """parts: bytes, each a piece of the front, or (size, byte) for a run of
    8 * size copies of byte."""
    front, taken = b"", []
    for part in parts:
        if isinstance(part, tuple):
            size, byte = part
            taken += [0] + list((size - 1).to_bytes(2, "big")) + [byte]
        else:
            assert 1 <= len(part) <= 8192
            front += part
            taken += [1] + list((len(part) - 1).to_bytes(2, "big"))
    return encode(front, taken)

send = frame(token() + string16("hang"))
ping = frame(b"", code=0x5F504E47, flags=1)
largest = (1 << 20) - 20
write("binder_frames", {
    "one": frames([send]),
    "cut-header": frames([send[:7], send[7:]]),
    "two": frames([send[:3], send[3:23], send[23:] + ping]),
    "bytewise": frames([send[i:i + 1] for i in range(28)]),
    "announces-fds": frames([frame(b"x", fds=1) + send]),
    "too-many-fds": frames([frame(b"", fds=17)]),
    "bad-magic": frames([b"HBRX" + send[4:]]),
    "largest-announced": frames([frame(b"", size=largest)]),
    "oversized": frames([frame(b"", size=largest + 1)]),
    "then-bad": frames([send + frame(b"x", size=0xFFFFFFFF)]),
    # Larger than the 64 KiB a buffer keeps once empty.
    "large-then-one": frames([frame(b"", size=2 * 8192 * 8), (8192, 0x61), (8192, 0x62), send]),
})

#!/usr/bin/env python3
"""Writes the typed source of the SQLite benchmark: genlite.py COUNT FILE.

COUNT records, ';'-separated, Windows-1252 bytes, CR LF line ends, the same records for
the same COUNT. Fields: text (umlauts, empty ones, blanks around); leer (half of them
empty); ganz (whole numbers up to the widest 64-bit ones, a tenth empty); betrag
(decimal comma, up to -9999999999,99, a tenth empty); datum (dd.mm.yyyy from the year
1000 to 9999, a tenth empty: NULL in the table); beleg (the order of the records).
"""
import random
import sys


def field(rng, widest, other):
    r = rng.random()
    if r < 0.1:
        return ""
    if r < 0.2:
        return widest[int(r * 100) % len(widest)]
    return other()


def records(count, rng):
    texts = ["Müller", "Zoë Straße", "", "Größe ÄÖÜ €", "Miete", "  Büro ", "x"]
    for n in range(count):
        ganz = field(rng, ["9223372036854775807", "-9223372036854775808"],
                     lambda: str(rng.randint(-10**12, 10**12)))
        betrag = field(rng, ["-9999999999,99", "9999999999,99", "0,01"],
                       lambda: "%d,%02d" % (rng.randint(-99999, 999999), rng.randint(0, 99)))
        datum = "" if rng.random() < 0.1 else "%02d.%02d.%04d" % (
            rng.randint(1, 28), rng.randint(1, 12), rng.choice([1000, 1900, 2024, 9999]))
        leer = "" if rng.random() < 0.5 else "voll"
        yield ";".join([rng.choice(texts), leer, ganz, betrag, datum, "B%07d" % n])


def main():
    count = int(sys.argv[1])
    with open(sys.argv[2], "wb") as out:
        chunk = []
        for line in records(count, random.Random(52)):
            chunk.append(line)
            if len(chunk) == 10000:
                out.write(("\r\n".join(chunk) + "\r\n").encode("cp1252"))
                chunk = []
        if chunk:
            out.write(("\r\n".join(chunk) + "\r\n").encode("cp1252"))


if __name__ == "__main__":
    main()

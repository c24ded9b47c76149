#!/usr/bin/env python3
"""Writes the booking source of the benchmark: gen.py COUNT FILE.

COUNT records, one per line, ';'-separated, Windows-1252 bytes, CR LF line ends, always
the same records for the same COUNT (fixed seed). Fields: konto-nummer; filiale;
buchungsdatum (yyyymmdd); betrag (decimal comma); text (some with leading blanks and
umlauts); kostenstelle (about 30 % empty); belegnr; waehrung.
"""
import random
import sys


def records(count, rng):
    accounts = ["%d" % (4000 + 10 * k) for k in range(40)]
    texts = ["Miete Dezember", "  Büromaterial", "Gehalt", " Reisekosten Müller",
             "Strom", "Zinsen", "Porto", "  Wartung Anlage 3"]
    branch, day = 1, 1
    for number in range(count):
        if rng.random() < 0.05:
            branch = rng.randint(1, 40)
        if rng.random() < 0.02:
            day = rng.randint(1, 28)
        cents = rng.randint(-999999, 9999999)
        amount = "%s%d,%02d" % ("-" if cents < 0 else "", abs(cents) // 100, abs(cents) % 100)
        cost = "KST%d" % rng.randint(100, 999) if rng.random() < 0.7 else ""
        month = rng.randint(1, 12)
        yield ";".join([rng.choice(accounts), "%02d" % branch, "2024%02d%02d" % (month, day),
                        amount, rng.choice(texts), cost, "B%07d" % number, "EUR"])


def main():
    count = int(sys.argv[1])
    target = sys.argv[2]
    rng = random.Random(20240601)
    with open(target, "wb") as out:
        chunk = []
        for line in records(count, rng):
            chunk.append(line)
            if len(chunk) == 10000:
                out.write(("\r\n".join(chunk) + "\r\n").encode("cp1252"))
                chunk = []
        if chunk:
            out.write(("\r\n".join(chunk) + "\r\n").encode("cp1252"))


if __name__ == "__main__":
    main()

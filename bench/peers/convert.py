#!/usr/bin/env python3
"""The BENCH conversion written by hand in Python: convert.py SRC DST."""
import sys

KONTO = {str(4000 + 10 * k): str(8400 + 10 * k) for k in range(20)}


def main():
    src, dst = sys.argv[1], sys.argv[2]
    lfd, branch, kst, total, count = 0, None, None, 0, 0
    with open(src, encoding="cp1252", newline="") as inp, \
            open(dst, "w", encoding="cp1252", newline="") as out:
        for line in inp:
            f = line.rstrip("\r\n").split(";")
            if branch is None:
                lfd = 1
            elif f[1] == "" or f[1] != branch:
                lfd += 1
            branch = f[1]
            if kst is None or f[5] != "":
                kst = f[5]
            betrag = "%+013.2f" % float(f[3].replace(",", "."))
            total += int(betrag.replace(".", ""))
            count += 1
            d = f[2]
            out.write('%6d;"F-%s";%s;"%s";%s;"%s";"%8s";"%s";"EUR"\r\n' % (
                lfd, f[1], d[6:8] + d[4:6] + d[0:4], KONTO.get(f[0], f[0]),
                betrag.replace(".", ","), f[4].strip(" "), kst[-8:], f[6]))
        if count:
            units, rest = divmod(abs(total), 100)
            frac = ("%02d" % rest).rstrip("0")
            out.write("Prüfsumme:\r\n")
            out.write("BETRAG (Summe): %s%d%s\r\n" % ("-" if total < 0 else "", units,
                                                   "," + frac if frac else ""))
            out.write("BELEG (Anzahl): %d\r\n" % count)


if __name__ == "__main__":
    main()

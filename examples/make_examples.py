#!/usr/bin/env python3
"""Makes the example data sets in examples/ from a fixed seed.

soil/      SOIL.DBF      dBase III table of a generated soil survey: a character
                         site identifier, eight numeric fields, some nulls and
                         values coded -999, one deleted record.
sediment/  SEDIMENT.FXD  fixed-layout stream-sediment geochemistry with a
           SEDIMENT.INF  character sample code, read by the layout (A8,2X,7F8.2).
iris/      IRIS.CSV      Anderson's iris measurements (150 flowers, 4 variables),
                         written by make_iris.R from R's datasets package.

Run from the repository root: python3 examples/make_examples.py
"""
import datetime
import math
import os
import random
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
MISSING = -999.0


def clamp(x, lo, hi):
    return max(lo, min(hi, x))


# Soil survey ---------------------------------------------------------------

SOIL_TYPES = [
    # name, clay, silt, org C, pH, CEC, Cu, Zn (means)
    ("marine clay", 45.0, 35.0, 2.5, 7.4, 28.0, 22.0, 95.0),
    ("cover sand", 4.0, 8.0, 1.8, 5.1, 6.0, 6.0, 30.0),
    ("river loam", 22.0, 48.0, 2.0, 6.6, 16.0, 35.0, 180.0),
    ("peat", 12.0, 18.0, 28.0, 4.4, 60.0, 14.0, 55.0),
]


def soil_samples(rng):
    rows = []
    number = 0
    for kind, (name, clay, silt, orgc, ph, cec, cu, zn) in enumerate(SOIL_TYPES):
        for _ in range(30):
            number += 1
            c = clamp(rng.gauss(clay, clay * 0.18), 0.5, 80.0)
            s = clamp(rng.gauss(silt, silt * 0.15), 1.0, 80.0)
            sand = clamp(100.0 - c - s, 0.5, 98.0)
            oc = clamp(rng.gauss(orgc, orgc * 0.25), 0.1, 60.0)
            p = clamp(rng.gauss(ph, 0.35), 3.5, 8.5)
            x = clamp(rng.gauss(cec, cec * 0.2), 1.0, 120.0)
            copper = math.exp(rng.gauss(math.log(cu), 0.35))
            zinc = math.exp(rng.gauss(math.log(zn), 0.3))
            site = "%s-%03d" % ("NLMR" if kind == 0 else "NLCS" if kind == 1 else "NLRL" if kind == 2 else "NLPT", number)
            rows.append([site, c, s, sand, oc, p, x, copper, zinc])
    rng.shuffle(rows)
    # A few values were not measured: coded -999 (Cu) or left empty (Zn).
    for k in (5, 17, 44, 90):
        rows[k][7] = MISSING
    for k in (23, 71):
        rows[k][8] = None
    return rows


def write_dbf(path, fields, rows, deleted=()):
    """fields: (name, type, length, decimals); rows: lists of values."""
    record_length = 1 + sum(f[2] for f in fields)
    header_length = 32 + 32 * len(fields) + 1
    today = datetime.date(2026, 12, 8)
    out = bytearray()
    out += struct.pack("<BBBBIHH20x", 0x03, today.year - 1900, today.month, today.day,
                       len(rows), header_length, record_length)
    for name, kind, length, decimals in fields:
        out += struct.pack("<11sc4xBB14x", name.encode("ascii"), kind.encode("ascii"), length, decimals)
    out += b"\x0d"
    for index, row in enumerate(rows):
        out += b"*" if index in deleted else b" "
        for (name, kind, length, decimals), value in zip(fields, row):
            if value is None:
                text = " " * length
            elif kind in ("C", "D"):
                text = str(value)[:length].ljust(length)
            else:
                text = ("%*.*f" % (length, decimals, value))
            assert len(text) == length, (name, text)
            out += text.encode("ascii")
    out += b"\x1a"
    with open(path, "wb") as f:
        f.write(out)


def make_soil(rng):
    rows = soil_samples(rng)
    fields = [("SITE", "C", 10, 0), ("CLAY", "N", 6, 1), ("SILT", "N", 6, 1), ("SAND", "N", 6, 1),
              ("ORG_C", "N", 6, 2), ("PH_KCL", "N", 5, 2), ("SAMPLED", "D", 8, 0),
              ("CEC", "N", 7, 2), ("CU", "N", 8, 1), ("ZN", "N", 8, 1)]
    dated = []
    for row in rows:
        dated.append(row[:6] + ["20260%d%02d" % (rng.randint(4, 9), rng.randint(1, 28))] + row[6:])
    os.makedirs(os.path.join(HERE, "soil"), exist_ok=True)
    write_dbf(os.path.join(HERE, "soil", "SOIL.DBF"), fields, dated, deleted={60})


# Stream sediments ------------------------------------------------------------

CATCHMENTS = [
    # Al2O3, Fe2O3, MnO, CaO, K2O, Zr, Ba
    (14.0, 5.5, 0.10, 1.2, 2.9, 310.0, 520.0),   # granite
    (9.0, 3.2, 0.06, 12.5, 1.4, 160.0, 240.0),   # limestone
    (15.5, 9.8, 0.18, 6.5, 1.1, 120.0, 180.0),   # basalt
]


def make_sediment(rng):
    rows = []
    number = 0
    for kind, means in enumerate(CATCHMENTS):
        for _ in range(25):
            number += 1
            values = [clamp(rng.gauss(m, m * 0.12), 0.0, 9999.0) for m in means]
            code = "%s%03d" % ("GR" if kind == 0 else "LS" if kind == 1 else "BS", number)
            rows.append((code, values))
    rng.shuffle(rows)
    names = ["AL2O3", "FE2O3", "MNO", "CAO", "K2O", "ZR", "BA"]
    units = ["WT%", "WT%", "WT%", "WT%", "WT%", "PPM", "PPM"]
    os.makedirs(os.path.join(HERE, "sediment"), exist_ok=True)
    with open(os.path.join(HERE, "sediment", "SEDIMENT.INF"), "w") as f:
        f.write("STREAM SEDIMENTS OF THREE CATCHMENTS (GRANITE, LIMESTONE, BASALT)\n")
        f.write("%5d\n%5d\n%5s\n" % (len(rows), len(names), "-999."))
        f.write("(A8,2X,7F8.2)\n")
        f.write("SAMPLE\n")
        for name, unit in zip(names, units):
            f.write("%-10s%-10s\n" % (name, unit))
    with open(os.path.join(HERE, "sediment", "SEDIMENT.FXD"), "w") as f:
        for code, values in rows:
            f.write("%-8s  %s\n" % (code, "".join("%8.2f" % v for v in values)))


def main():
    rng = random.Random(19950101)
    make_soil(rng)
    make_sediment(rng)


if __name__ == "__main__":
    main()

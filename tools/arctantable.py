#!/usr/bin/env python3
# Prints the table of src/physics/arctan.cpp: for c = k/128, k = 0..128, atan(c) as the
# nearest double and the double nearest what is left, then the Taylor coefficients of atan
# about c for (q - c)^1 .. (q - c)^8, each the nearest double, all in hexadecimal (exact).
# Worked out with 300 bits by mpmath (Debian's python3-mpmath); run by hand, not by the build.
from mpmath import mp, mpf, atan, taylor

mp.prec = 300


def hexadecimal(v):
    return "0x0.0p+0" if v == 0 else float(v).hex()


for k in range(129):
    c = mpf(k) / 128
    terms = taylor(atan, c, 8)
    at = float(terms[0])
    print("    {%s, %s, {%s}}," % (hexadecimal(at), hexadecimal(terms[0] - mpf(at)),
                                    ", ".join(hexadecimal(terms[n]) for n in range(1, 9))))

#!/usr/bin/env python3
"""Writes the synthetic receiver logs of this folder.

A drive of a few minutes north-east of Hannover, one fix per second, each second as a
receiver sends it: RMC, GGA, GSA and three GSV messages, with CR LF line ends. The drive
stops for a while, loses reception for a few seconds, and has one damaged checksum.
A second log comes from a receiver that sends no RMC, and crosses midnight.
"""
import math

R = 6367000.0


def cs(body):
    x = 0
    for c in body:
        x ^= ord(c)
    return "$%s*%02X" % (body, x)


def ddmm(value, lat):
    a = abs(value)
    d = int(a)
    m = (a - d) * 60
    if lat:
        return "%02d%07.4f" % (d, m), "N" if value >= 0 else "S"
    return "%03d%07.4f" % (d, m), "E" if value >= 0 else "W"


def hms(t):
    t %= 86400
    return "%02d%02d%02d.00" % (t // 3600, t // 60 % 60, t % 60)


SATS = [(4, 71, 120, 44), (5, 33, 250, 38), (9, 55, 60, 41), (12, 20, 300, 30),
        (17, 12, 180, 0), (24, 64, 10, 46), (25, 8, 90, 22), (29, 40, 200, 35), (31, 5, 330, 0)]


def gsv():
    out = []
    total = 3
    for m in range(total):
        group = SATS[m * 4:(m + 1) * 4]
        parts = ["GPGSV", str(total), str(m + 1), str(len(SATS))]
        for prn, el, az, snr in group:
            parts += ["%02d" % prn, "%02d" % el, "%03d" % az, "%02d" % snr if snr else ""]
        out.append(cs(",".join(parts)))
    return out


def gsa(fix):
    if not fix:
        return cs("GPGSA,A,1,,,,,,,,,,,,,,,")
    prns = ["04", "05", "", "09", "12", "", "", "24", "", "", "", ""]
    return cs("GPGSA,A,3," + ",".join(prns) + ",2.5,1.3,2.1")


def drive(seconds, start, lat, lon, stop, loss):
    """Positions, speeds (knots) and courses along a gently curving path."""
    points = []
    heading = 60.0
    for i in range(seconds):
        t = start + i
        if stop[0] <= i < stop[1]:
            v = 0.0
        else:
            v = 14.0 + 3.0 * math.sin(i / 40.0)  # m/s
            heading = (heading + 0.6 * math.sin(i / 25.0)) % 360
        points.append((t, lat, lon, v, heading, not (loss[0] <= i < loss[1])))
        dn = v * math.cos(math.radians(heading))
        de = v * math.sin(math.radians(heading))
        lat += math.degrees(dn / R)
        lon += math.degrees(de / (R * math.cos(math.radians(lat))))
    return points


def write(name, lines):
    with open(name, "w", newline="") as f:
        for line in lines:
            f.write(line + "\r\n")


def main():
    lines = []
    points = drive(300, 10 * 3600 + 15 * 60, 52.3759, 9.7320, (120, 210), (240, 246))
    for n, (t, lat, lon, v, hdg, fix) in enumerate(points):
        la, ns = ddmm(lat, True)
        lo, ew = ddmm(lon, False)
        if fix:
            rmc = cs("GPRMC,%s,A,%s,%s,%s,%s,%05.1f,%05.1f,140624,,,A" % (hms(t), la, ns, lo, ew, v / 0.514444, hdg))
            gga = cs("GPGGA,%s,%s,%s,%s,%s,1,08,1.3,%0.1f,M,47.0,M,," % (hms(t), la, ns, lo, ew, 60 + n * 0.05))
        else:
            rmc = cs("GPRMC,%s,V,,,,,,,140624,,,N" % hms(t))
            gga = cs("GPGGA,%s,,,,,0,00,,,M,,M,," % hms(t))
        if n == 50:
            rmc = rmc[:-2] + ("00" if rmc[-2:] != "00" else "11")
        lines += [rmc, gga, gsa(fix)] + gsv()
    write("drive_hannover.txt", lines)

    lines = []
    for t, lat, lon, v, hdg, fix in drive(120, 86400 - 60, -33.8600, 151.2000, (999, 999), (999, 999)):
        la, ns = ddmm(lat, True)
        lo, ew = ddmm(lon, False)
        lines.append(cs("GPGGA,%s,%s,%s,%s,%s,1,07,1.1,25.0,M,20.0,M,," % (hms(t), la, ns, lo, ew)))
    write("gga_only_midnight.txt", lines)


if __name__ == "__main__":
    main()

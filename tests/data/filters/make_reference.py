#!/usr/bin/python3
"""Reference responses for the filter tests, computed independently with scipy.

Run from this folder with Debian's python3-scipy:  /usr/bin/python3 make_reference.py
It rewrites the CSV files beside it; they are committed so the tests need no scipy.

- grid.csv: the 512-point response grid, 20 Hz to 20 kHz (f(i+1) = f(i) * r).
- crossover_reference.csv: one line per case: design, frequency (Hz), then the
  magnitude in dB at every grid point. Butterworth from scipy.signal.butter,
  Linkwitz-Riley as a squared Butterworth, Bessel rows (whose multipliers and Qs are
  the product's own table) from scipy.signal.bilinear of their analog sections.
- equaliser_reference.csv: one line per band: type code, frequency, q, gain (dB),
  slope, then dB at every grid point; scipy.signal.bilinear of the analog prototype
  of each band, prewarped at the band frequency.
- rounded_coefficients.csv: a1 and a2 of the Butterworth high-pass second-order rows
  rounded to single precision, written as exact decimal doubles.
"""

import math

import numpy as np
from scipy import signal

FS = 48000.0
PI_OVER_FS = 6.544984694978735e-5  # pi / 48000 as the designers use it
GRID_MIN, GRID_MAX, GRID_COUNT = 20.0, 20000.0, 512


def grid():
    ratio = math.exp(math.log(GRID_MAX / GRID_MIN) / GRID_COUNT)
    points = []
    f = GRID_MIN
    for _ in range(GRID_COUNT):
        points.append(f)
        f *= ratio
    return np.array(points)


GRID = grid()


def f32(value):
    return float(np.float32(value))


def warped(f):
    """Analog corner (rad/s) that the bilinear transform at FS maps onto f."""
    return 2.0 * FS * math.tan(f * PI_OVER_FS)


def db_of_ba(b, a):
    _, h = signal.freqz(b, a, worN=GRID, fs=FS)
    return 20.0 * np.log10(np.abs(h))


def db_of_sos(sos):
    _, h = signal.sosfreqz(sos, worN=GRID, fs=FS)
    return 20.0 * np.log10(np.abs(h))


def digital_section(b, a):
    bz, az = signal.bilinear(b, a, fs=FS)
    return np.concatenate([bz, np.zeros(3 - len(bz)), az, np.zeros(3 - len(az))])


def analog_pass(kind, order, corner, q):
    """One analog section: kind 'lp'/'hp', order 1/2, corner in rad/s."""
    if order == 1:
        return ([0.0, 1.0], [1.0 / corner, 1.0]) if kind == 'lp' else ([1.0 / corner, 0.0], [1.0 / corner, 1.0])
    den = [1.0 / corner ** 2, 1.0 / (q * corner), 1.0]
    return ([0.0, 0.0, 1.0], den) if kind == 'lp' else ([1.0 / corner ** 2, 0.0, 0.0], den)


# The Bessel rows of the design table: (order, multiplier, q); order 1 has no q.
BESSEL = {
    2: [(2, 1.0, 0.57735026)],
    3: [(1, 0.9375045, None), (2, 1.0236216, 0.69072825)],
    4: [(2, 0.9328774, 0.5222082), (2, 1.0461183, 0.80513656)],
    6: [(2, 0.9079551, 0.5103173), (2, 0.95621014, 0.6111959), (2, 1.0782274, 1.023313)],
    8: [(2, 0.8941314, 0.50599104), (2, 0.9210925, 0.5596092), (2, 0.98197764, 0.7108521),
        (2, 1.1003916, 1.2256694)],
}


def bessel_sos(kind, order, f):
    omega = warped(f)
    sections = []
    for section_order, m, q in BESSEL[order]:
        m = f32(m)
        corner = omega * m if kind == 'lp' else omega / m
        b, a = analog_pass(kind, section_order, corner, f32(q) if q else 1.0)
        sections.append(digital_section(b, a))
    return np.array(sections)


def crossover_cases():
    cases = []
    for kind, name in (('lp', 'LP'), ('hp', 'HP')):
        btype = 'lowpass' if kind == 'lp' else 'highpass'
        for order in (1, 2, 3, 4, 6, 8):
            for f in ((1000.0, 100.0) if order in (2, 4) else (1000.0,)):
                cases.append((f'BW-{name} {order}', f, db_of_sos(signal.butter(order, f, btype, fs=FS, output='sos'))))
        for order in (2, 4, 6, 8):
            for f in ((1000.0, 80.0) if order == 4 else (1000.0,)):
                sos = signal.butter(order // 2, f, btype, fs=FS, output='sos')
                cases.append((f'LR-{name} {order}', f, db_of_sos(np.vstack([sos, sos]))))
        for order in (2, 3, 4, 6, 8):
            cases.append((f'BE-{name} {order}', 1000.0, db_of_sos(bessel_sos(kind, order, 1000.0))))
    return cases


def band_prototype(band_type, f, q, gain_db, slope):
    """Analog prototype (b, a) in s of one equaliser band, prewarped at f."""
    w = warped(f)
    big_a = 10.0 ** (abs(gain_db) / 20.0)
    root_a = math.sqrt(big_a)
    boost = gain_db > 0
    if band_type == 1:  # peaking: (s^2 + s A/Q + 1) / (s^2 + s/Q + 1), s normalised to w
        num = [1.0 / w ** 2, big_a / (q * w), 1.0]
        den = [1.0 / w ** 2, 1.0 / (q * w), 1.0]
        return (num, den) if boost else (den, num)
    if band_type == 2:  # high shelf: (sqrt(A) s + 1)^2 / (s + 1)^2
        num = [big_a / w ** 2, 2.0 * root_a / w, 1.0]
        den = [1.0 / w ** 2, 2.0 / w, 1.0]
        return (num, den) if boost else (den, num)
    if band_type == 3:  # low shelf: (s + sqrt(A))^2 / (s + 1)^2
        num = [1.0 / w ** 2, 2.0 * root_a / w, big_a]
        den = [1.0 / w ** 2, 2.0 / w, 1.0]
        return (num, den) if boost else (den, num)
    if band_type in (4, 5):
        kind = 'hp' if band_type == 4 else 'lp'
        if slope == -12.0:
            return analog_pass(kind, 2, w, 0.7071070075035095)
        return analog_pass(kind, 1, w, None)
    if band_type == 6:
        # The notch's bandwidth parameter is sin(w0/2)/q in the digital domain,
        # which is the analog notch (s^2 + 1)/(s^2 + s/Q' + 1) with Q' = q cos(w0/2).
        half = f * PI_OVER_FS
        half_over_q = f32(0.5 / q)  # the designer divides in single precision
        q_eff = math.cos(half) / (2.0 * half_over_q)
        return [1.0 / w ** 2, 0.0, 1.0], [1.0 / w ** 2, 1.0 / (q_eff * w), 1.0]
    raise ValueError(band_type)


def equaliser_cases():
    bands = [
        (1, 1000.0, 1.4142135, 6.0, 0.0), (1, 1000.0, 1.4142135, -6.0, 0.0),
        (1, 63.0, 4.0, 12.0, 0.0), (1, 63.0, 4.0, -12.0, 0.0),
        (1, 12000.0, 0.5, 18.0, 0.0), (1, 12000.0, 0.5, -18.0, 0.0),
        (1, 250.0, 144.27, 3.5, 0.0), (1, 4000.0, 0.1, -9.5, 0.0),
        (2, 2000.0, 1.0, 6.0, 0.0), (2, 2000.0, 1.0, -6.0, 0.0),
        (2, 10000.0, 1.0, 15.0, 0.0), (2, 10000.0, 1.0, -15.0, 0.0),
        (3, 100.0, 1.0, 6.0, 0.0), (3, 100.0, 1.0, -6.0, 0.0),
        (3, 500.0, 1.0, 12.0, 0.0), (3, 500.0, 1.0, -12.0, 0.0),
        (4, 100.0, 1.0, 0.0, 0.0), (4, 100.0, 1.0, 0.0, -12.0),
        (5, 5000.0, 1.0, 0.0, 0.0), (5, 5000.0, 1.0, 0.0, -12.0),
        (6, 1000.0, 1.0, 0.0, 0.0), (6, 60.0, 10.0, 0.0, 0.0), (6, 8000.0, 2.5, 0.0, 0.0),
    ]
    cases = []
    for band_type, f, q, gain, slope in bands:
        f, q, gain = f32(f), f32(q), f32(gain)
        b, a = band_prototype(band_type, f, q, gain, slope)
        bz, az = signal.bilinear(b, a, fs=FS)
        cases.append(((band_type, f, q, gain, slope), db_of_ba(bz, az)))
    return cases


def butterworth_high_pass_rows():
    rows = []
    table = {2: [0.707107], 3: [1.0], 4: [0.541196, 1.306563], 6: [0.517638, 0.707107, 1.931852],
             8: [0.509796, 0.601345, 0.899976, 2.562915]}
    for order, qs in table.items():
        for f in (100.0, 1000.0, 15000.0):
            k = math.tan(f * PI_OVER_FS)  # multiplier 1
            k2 = k * k
            for index, q in enumerate(qs):
                q = f32(q)
                n = 1.0 + k / q + k2
                a1 = (1.0 - k2 + (1.0 - k2)) / n
                a2 = -(1.0 - k / q + k2) / n
                row = index + (1 if order == 3 else 0)  # BW-HP 3 starts with its first-order row
                rows.append((order, f, row, f32(a1), f32(a2), a1, a2))
    return rows


def number(value):
    return repr(float(value))


def main():
    with open('grid.csv', 'w') as out:
        out.write('# frequency_hz\n')
        for f in GRID:
            out.write(number(f) + '\n')
    with open('crossover_reference.csv', 'w') as out:
        out.write('# design,frequency_hz,dB at each grid point\n')
        for design, f, db in crossover_cases():
            out.write(f'{design},{number(f)},' + ','.join(f'{v:.10g}' for v in db) + '\n')
    with open('equaliser_reference.csv', 'w') as out:
        out.write('# type,frequency_hz,q,gain_db,slope,dB at each grid point\n')
        for (band_type, f, q, gain, slope), db in equaliser_cases():
            head = f'{band_type},{number(f)},{number(q)},{number(gain)},{number(slope)},'
            out.write(head + ','.join(f'{v:.10g}' for v in db) + '\n')
    with open('rounded_coefficients.csv', 'w') as out:
        out.write('# order,frequency_hz,row,a1_single,a2_single,a1_double,a2_double\n')
        for order, f, row, a1s, a2s, a1, a2 in butterworth_high_pass_rows():
            out.write(f'{order},{number(f)},{row},{number(a1s)},{number(a2s)},{number(a1)},{number(a2)}\n')


if __name__ == '__main__':
    main()

#!/usr/bin/python3
"""Writes the tick file and the real-time files scripts/bench runs on, from raw
15-minute bar files (one per pair, xz-packed or plain, with a header line
"time,open,high,low,close,..."): one tick per bar time that all fourteen pairs
share, the last TICKS of them, with the fourteen closes in pair order.

  bench_data.py BARS_FOLDER PROGRAM_FOLDER TICK_FILE TICKS"""
import lzma
import pathlib
import sys

PAIRS = ("GBPUSD EURGBP GBPJPY USDCHF NZDUSD AUDJPY EURJPY "
         "EURUSD USDJPY AUDUSD NZDJPY GBPCHF CHFJPY EURCHF").split()


def closes(path):
    opener = lzma.open if path.suffix == ".xz" else open
    table = {}
    with opener(path, "rt") as rows:
        next(rows)
        for row in rows:
            fields = row.strip().split(",")
            if len(fields) >= 5:
                table[fields[0][:16]] = fields[4]
    return table


def main():
    bars, program, tick_file, count = sys.argv[1:5]
    tables = []
    for pair in PAIRS:
        found = sorted(pathlib.Path(bars).glob(pair + "_*.csv*"))
        if not found:
            sys.exit(f"bench_data.py: no bar file for {pair} in {bars}")
        tables.append(closes(found[0]))
    shared = sorted(set.intersection(*(set(t) for t in tables)))[-int(count):]
    with open(tick_file, "w", newline="") as out:
        for stamp in shared:
            label = stamp.replace("-", ".")
            out.write(label + "," + ",".join(t[stamp] for t in tables) + "\r\n")
    last = shared[-1]
    for pair, table in zip(PAIRS, tables):
        pathlib.Path(program, pair + "_RT.csv").write_text(table[last] + "\r\n", newline="")
    print(f"{len(shared)} ticks, {shared[0]} to {last}")


if __name__ == "__main__":
    main()

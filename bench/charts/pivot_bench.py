"""The chart reshaping of value rows with pandas, for comparison.

Reads the rows (a JSON array of {"IDX_ID", "PUBLISH_DT", "INDEX_VAL"}, dates
in milliseconds) and a map from index ID to series name, then times, over
several rounds, what the chart data builder does: dates to "yyyy-MM-dd",
one row per date and one column per series (pivot_table), columns named by
series. Prints the median time in milliseconds.
"""
import json
import statistics
import sys
import time

import pandas as pd


def main():
    rows_file, names_file, rounds = sys.argv[1], sys.argv[2], int(sys.argv[3])
    with open(rows_file, encoding="utf-8") as f:
        df = pd.DataFrame(json.load(f))
    with open(names_file, encoding="utf-8") as f:
        names = {int(k): v for k, v in json.load(f).items()}
    times = []
    for _ in range(rounds):
        start = time.perf_counter()
        header = pd.to_datetime(df["PUBLISH_DT"], unit="ms").dt.strftime("%Y-%m-%d")
        table = pd.pivot_table(df.assign(header=header), index="header", columns="IDX_ID",
                               values="INDEX_VAL", aggfunc="last")
        table = table.rename(columns=names)
        times.append((time.perf_counter() - start) * 1000.0)
        assert table.shape[1] == len(names)
    print(f"{statistics.median(times):.3f} {table.shape[0]} {table.shape[1]}")


if __name__ == "__main__":
    main()

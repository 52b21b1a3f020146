#!/usr/bin/env python3
"""The third candidate structure of the search's index, measured on the same names: SQLite's
FTS5 with its trigram tokenizer (Debian 12's libsqlite3 3.40), as a filter before the exact
check. Reads the names that `bench_IndexBench --dump-names=<file>` wrote, one a line.

    python3 bench/fts5_trigram.py <names-file> [rounds]

Prints the build time, the database's size and the median query time (the rows the filter
lets through, checked again with ASCII letters folded only) for the benchmark's keywords.
"""
import os
import sqlite3
import statistics
import sys
import tempfile
import time


def folded(text):
    return "".join(chr(ord(c) + 32) if "A" <= c <= "Z" else c for c in text)


def main():
    names_file = sys.argv[1]
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    with open(names_file, encoding="utf-8", errors="surrogateescape") as f:
        names = [line.rstrip("\n") for line in f]
    count = len(names)
    middle = count // 2 + 1
    keywords = [("one hit", f"soft{middle}-"), ("about 1 %", "ViewerPro"),
                ("viewer (4 %)", "viewer"), ("every name", "-v"),
                ("first keystroke", "s"), ("second keystroke", "so")]
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "names.db")
        db = sqlite3.connect(path)
        db.execute("PRAGMA journal_mode=OFF")
        db.execute("CREATE VIRTUAL TABLE names USING fts5(name, tokenize='trigram')")
        start = time.perf_counter()
        db.executemany("INSERT INTO names(rowid, name) VALUES (?, ?)",
                       ((i, n) for i, n in enumerate(names)))
        db.commit()
        built = (time.perf_counter() - start) * 1000
        size = os.path.getsize(path)
        print(f"STRUCTURE fts5 trigram: {count} names built in {built:.0f} ms, "
              f"{size / 1e6:.1f} MB ({size / count:.1f} bytes a name, the names included)")
        for label, keyword in keywords:
            key = folded(keyword)
            times = []
            found = 0
            for _ in range(rounds):
                start = time.perf_counter()
                if len(keyword.encode("utf-8")) >= 3:
                    quoted = '"' + keyword.replace('"', '""') + '"'
                    rows = db.execute("SELECT name FROM names WHERE names MATCH ?",
                                      (quoted,)).fetchall()
                else:  # too short for a trigram: every row is looked at
                    rows = db.execute("SELECT name FROM names").fetchall()
                found = sum(1 for (n,) in rows if key in folded(n))
                times.append((time.perf_counter() - start) * 1000)
            print(f"STRUCTURE {label:<18} fts5 trigram filter + check "
                  f"{statistics.median(times):8.2f} ms ({found} found)")


if __name__ == "__main__":
    main()

#!/usr/bin/python3
"""Reads back the workbooks and CSV files `nlx export` writes and checks every cell of them."""
import csv
import io
import os
import sqlite3
import subprocess
import sys
import tempfile

import openpyxl
from openpyxl.utils import get_column_letter

NLX = sys.argv[1]
TITLES = {"a": "NLX3140a 数据导出", "b": "NLX3140b 数据导出", "c": "NLX3140c 数据导出",
          "d": "NLX3520B数据导出", "e": "NLX3140e 数据导出"}
# The stored DATE and what the sheet shows for it, on models whose DATE is converted.
DATES = [("08-09-25", "2008-09-25"), ("2011-02-30", "2011-02-30"), ("2009/12/31", "2009-12-31")]
DATE_MODELS = {"a", "b", "d"}
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def nlx(*args, env=None):
    done = subprocess.run([NLX, *args], capture_output=True, text=True, env=env)
    if done.returncode != 0:
        sys.exit(f"nlx {' '.join(args)} failed: {done.stderr}")
    return done.stdout


def table_columns(db, model):
    with sqlite3.connect(db) as con:
        names = [row[1] for row in con.execute(f'PRAGMA table_info("噪声{model}")')]
    return [n for n in names if not n.startswith("_nlx")]


def fill(db, model, columns):
    """Three groups of known texts: a NULL in the second, each a DATE from DATES."""
    rows = []
    for r, (stored, _) in enumerate(DATES):
        row = [f"{model}{r}-{k}" for k in range(len(columns))]
        row[0] = str(r + 1)
        if "DATE" in columns:
            row[columns.index("DATE")] = stored
        if r == 1:
            row[2] = None
        rows.append(row)
    with sqlite3.connect(db) as con:
        con.execute(f'DELETE FROM "噪声{model}"')
        names = ",".join(f'"{c}"' for c in columns)
        marks = ",".join("?" * len(columns))
        con.executemany(f'INSERT INTO "噪声{model}" ({names}) VALUES ({marks})', rows)
    return rows


def expected_cells(model, columns, row):
    cells = list(row)
    if model in DATE_MODELS:
        k = columns.index("DATE")
        cells[k] = dict(DATES)[cells[k]]
    return cells


def check_workbook(path, model, columns, rows):
    book = openpyxl.load_workbook(path)
    check(book.sheetnames == ["sheet1"], f"{model}: sheets {book.sheetnames}")
    ws = book["sheet1"]
    merged = [str(r) for r in ws.merged_cells.ranges]
    check(merged == [f"A1:{get_column_letter(len(columns))}1"], f"{model}: merged {merged}")
    check(ws["A1"].value == TITLES[model], f"{model}: title {ws['A1'].value!r}")
    font = ws["A1"].font
    check((font.name, font.b, font.sz) == ("宋体", True, 18), f"{model}: title font {font.name} {font.b} {font.sz}")
    check(ws.max_row == 2 + len(rows), f"{model}: {ws.max_row} rows")
    for r, row in enumerate(rows):
        want = expected_cells(model, columns, row)
        got = [ws.cell(row=r + 3, column=k + 1) for k in range(ws.max_column)]
        values = [c.value for c in got]
        want += [None] * (len(values) - len(want))
        check(values == want, f"{model} row {r + 3}: {values} != {want}")
        check(all(c.data_type == "s" for c in got if c.value is not None), f"{model} row {r + 3}: a cell not text")
    return ws


def main():
    with tempfile.TemporaryDirectory() as folder:
        # The demo makes the database with every model's tables, and its records' workbook.
        said = nlx("demo", "--groups", "3", env=dict(os.environ, NLX_HOME=folder))
        demo = os.path.join(folder, "demo-records-a.xlsx")
        check(f"{demo}: 3 groups" in said, f"demo said {said!r}")
        check(openpyxl.load_workbook(demo)["sheet1"].max_row == 5, "demo workbook rows")
        db = os.path.join(folder, "noise.db")
        sheets = {}
        for model in "abcde":
            columns = table_columns(db, model)
            rows = fill(db, model, columns)
            out = os.path.join(folder, f"{model}.xlsx")
            nlx("export", "--model", model, "--db", db, "--xlsx", out)
            sheets[model] = (check_workbook(out, model, columns, rows), columns, rows)

        # Row 2: the model's headings, 采样间隔 headed 时间间隔; c and e head only 序号; d's VLAE
        # in column 21 has none.
        a = sheets["a"][0]
        check(a["V2"].value == "时间间隔" and a["W2"].value == "filename" and a["X1"].value is None,
              f"a: V2 {a['V2'].value!r} W2 {a['W2'].value!r}")
        b = sheets["b"][0]
        check(b["T2"].value == "时间间隔" and b["U2"].value is None, f"b: T2 {b['T2'].value!r}")
        d, d_columns, d_rows = sheets["d"]
        check(d["B2"].value == "VLeq" and d["T2"].value == "时间间隔" and d["U2"].value is None,
              f"d: headings {[c.value for c in d[2]]}")
        check(d_columns[20] == "VLAE" and d["U3"].value == d_rows[0][20], f"d: VLAE {d['U3'].value!r}")
        for model in "ce":
            ws = sheets[model][0]
            heads = [c.value for c in ws[2]]
            check(heads[0] == "序号" and all(h is None for h in heads[1:]), f"{model}: headings {heads}")
        # Model c keeps its DATE as stored.
        c, c_columns, c_rows = sheets["c"]
        check(c.cell(row=3, column=c_columns.index("DATE") + 1).value == "08-09-25", "c: DATE converted")

        # With --assess a second worksheet 达标评价; the first stays cell for cell as it was.
        out = os.path.join(folder, "a-assessed.xlsx")
        nlx("export", "--model", "a", "--db", db, "--xlsx", out, "--assess", "--standard", "gb3096", "--zone", "2")
        book = openpyxl.load_workbook(out)
        check(book.sheetnames == ["sheet1", "达标评价"], f"assessed: sheets {book.sheetnames}")
        plain = openpyxl.load_workbook(os.path.join(folder, "a.xlsx"))["sheet1"]
        first = book["sheet1"]
        check([[c.value for c in r] for r in first.iter_rows()] == [[c.value for c in r] for r in plain.iter_rows()],
              "assessed: the first worksheet changed")
        check([str(r) for r in first.merged_cells.ranges] == [str(r) for r in plain.merged_cells.ranges],
              "assessed: the first worksheet's title merge changed")
        second = book["达标评价"]
        check(second["A1"].value.startswith("达标评价：GB 3096-2008 声环境质量标准 2类声环境功能区"), f"assessed: {second['A1'].value!r}")
        check([c.value for c in second[2]][:3] == ["行", "序号", "类别"] and second["K2"].value == "结论",
              f"assessed headings {[c.value for c in second[2]]}")
        # The filled groups have no weighting, so each is refused with its reason.
        verdicts = [second.cell(row=r, column=11).value for r in range(3, 3 + len(sheets["a"][2]))]
        check(verdicts == ["未评价"] * len(sheets["a"][2]), f"assessed verdicts {verdicts}")
        done = subprocess.run([NLX, "export", "--model", "a", "--db", db, "--csv", os.path.join(folder, "x.csv"), "--assess"],
                              capture_output=True, text=True)
        check(done.returncode == 2 and "excludes" in done.stderr, f"csv with --assess: {done.returncode} {done.stderr}")

        # The CSV: the same headings and values, UTF-8 with a byte-order mark.
        out = os.path.join(folder, "a.csv")
        nlx("export", "--model", "a", "--db", db, "--csv", out)
        raw = open(out, "rb").read()
        check(raw.startswith(b"\xef\xbb\xbf"), "csv: no byte-order mark")
        lines = list(csv.reader(io.StringIO(raw.decode("utf-8-sig"), newline="")))
        check(lines[0] == [c.value for c in a[2] if c.value is not None], f"csv headings {lines[0]}")
        for r, row in enumerate(sheets["a"][2]):
            want = ["" if v is None else v for v in expected_cells("a", sheets["a"][1], row)]
            check(lines[r + 1] == want, f"csv row {r + 1}: {lines[r + 1]}")

        # Values a crafted database holds to run as formulas: text cells in the workbook, and in
        # the CSV behind an apostrophe, apart from numbers.
        hostile = ["=HYPERLINK(\"http://x\",\"y\")", "-2+3+cmd|' /C calc'!A0", "@SUM(A1)", "+A1", "+1", "-3.5"]
        a_columns = sheets["a"][1]
        with sqlite3.connect(db) as con:
            con.execute('DELETE FROM "噪声a"')
            for k, value in enumerate(hostile):
                row = [str(k + 1), value] + [""] * (len(a_columns) - 2)
                con.execute(f'INSERT INTO "噪声a" ({",".join(f"{chr(34)}{c}{chr(34)}" for c in a_columns)}) '
                            f'VALUES ({",".join("?" * len(a_columns))})', row)
        out = os.path.join(folder, "hostile.xlsx")
        nlx("export", "--model", "a", "--db", db, "--xlsx", out)
        ws = openpyxl.load_workbook(out)["sheet1"]
        for k, value in enumerate(hostile):
            cell = ws.cell(row=k + 3, column=2)
            check(cell.value == value and cell.data_type == "s", f"hostile xlsx {value!r}: {cell.value!r} {cell.data_type}")
        out = os.path.join(folder, "hostile.csv")
        nlx("export", "--model", "a", "--db", db, "--csv", out)
        lines = list(csv.reader(io.StringIO(open(out, "rb").read().decode("utf-8-sig"), newline="")))
        for k, value in enumerate(hostile):
            want = value if value in ("-3.5", "+1") else "'" + value  # numbers stay
            check(lines[k + 1][1] == want, f"hostile csv {value!r}: {lines[k + 1][1]!r}")

        # An empty table: the title and the headings only.
        with sqlite3.connect(db) as con:
            con.execute('DELETE FROM "噪声b"')
        out = os.path.join(folder, "empty.xlsx")
        nlx("export", "--model", "b", "--db", db, "--xlsx", out)
        ws = openpyxl.load_workbook(out)["sheet1"]
        check(ws.max_row == 2 and ws["A1"].value == TITLES["b"] and ws["A2"].value == "序号", f"empty: {ws.max_row} rows")

        # A failed export leaves the earlier workbook whole and no temporary behind.
        before = open(out, "rb").read()
        done = subprocess.run([NLX, "export", "--model", "b", "--db", os.path.join(folder, "none.db"), "--xlsx", out],
                              capture_output=True, text=True)
        check(done.returncode != 0 and "none.db" in done.stderr, f"missing database: {done.returncode} {done.stderr}")
        check(open(out, "rb").read() == before, "failed export changed the earlier workbook")
        done = subprocess.run([NLX, "export", "--model", "b", "--db", db, "--xlsx",
                               os.path.join(folder, "no-such-folder", "x.xlsx")], capture_output=True, text=True)
        check(done.returncode != 0 and "no-such-folder" in done.stderr, f"unwritable: {done.returncode} {done.stderr}")
        check(not [n for n in os.listdir(folder) if n.endswith(".tmp")], "temporary left behind")

    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

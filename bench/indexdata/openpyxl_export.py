#!/usr/bin/python3
# Writes the benchmark's table (the same cells and formats as the export
# benchmark) with openpyxl and prints the seconds it took.
#   openpyxl_export.py <rows> <columns> <file>
import sys
import time

from openpyxl import Workbook
from openpyxl.cell import WriteOnlyCell
from openpyxl.styles import Alignment, Font

DOUBLE_FORMAT = "#,##0.00######;-#,##0.00######"
INT_FORMAT = "#,##0;-#,##0"


def value(r, c):
    kind = c % 4
    if kind == 0:
        return (r * 12 + c) * 1.25 + 0.3
    if kind == 1:
        return r * 7 + c
    if kind == 2:
        return "指标%d-%d" % (r, c)
    return None if r % 5 == 0 else r * 0.5


def main():
    rows, columns, path = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
    start = time.perf_counter()
    book = Workbook(write_only=True)
    sheet = book.create_sheet("新建工作簿_1")
    header_font = Font(bold=True)
    header_alignment = Alignment(horizontal="center", vertical="distributed")
    body_alignment = Alignment(horizontal="center", vertical="center")
    header = []
    for c in range(columns):
        cell = WriteOnlyCell(sheet, value="列%d" % c)
        cell.font = header_font
        cell.alignment = header_alignment
        header.append(cell)
    sheet.append(header)
    number_format = "General"
    for r in range(rows):
        line = []
        for c in range(columns):
            v = value(r, c)
            if v is None:
                v = "-"
            elif isinstance(v, float):
                number_format = DOUBLE_FORMAT
            elif isinstance(v, int):
                number_format = INT_FORMAT
            else:
                v = v.replace("\r\n", "").replace("\r\r", "").replace("\\u", "")
            cell = WriteOnlyCell(sheet, value=v)
            cell.alignment = body_alignment
            cell.number_format = number_format
            line.append(cell)
        sheet.append(line)
    book.save(path)
    print("%.6f" % (time.perf_counter() - start))


main()

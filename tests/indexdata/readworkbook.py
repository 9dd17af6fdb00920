#!/usr/bin/python3
# Prints what a workbook holds, as JSON, for the export tests: the sheet
# names and, for every cell of the first sheet, its value, number format,
# boldness and alignment.
import json
import sys

import openpyxl

book = openpyxl.load_workbook(sys.argv[1])
sheet = book.worksheets[0]
cells = []
for row in sheet.iter_rows():
    for cell in row:
        if cell.value is None:
            continue
        cells.append({
            "ref": cell.coordinate,
            "value": cell.value,
            "type": type(cell.value).__name__,
            "format": cell.number_format,
            "bold": bool(cell.font.b),
            "horizontal": cell.alignment.horizontal,
            "vertical": cell.alignment.vertical,
        })
json.dump({"sheets": book.sheetnames, "cells": cells}, sys.stdout, ensure_ascii=False)

#!/bin/sh
# calc-reads-csv.sh CSV SEPARATOR OUT
# Opens the CSV file in LibreOffice Calc, headless, as an Italian user does
# (the Italian locale, UTF-8, the given field separator, '"' around texts),
# saves it as a flat OpenDocument spreadsheet and writes what Calc made of
# each cell to OUT: one line per row, the cells separated by tabs, each as
# its type and value ("float:1204.5", "date:2027-01-04", "string:Totale",
# "empty:").
csv=$1 separator=$2 out=$3
if ! command -v soffice >/dev/null 2>&1; then
  echo "LibreOffice is missing (scripts/setup.sh installs libreoffice-calc-nogui)"
  exit 1
fi
work=$(mktemp -d /tmp/velmora-calc.XXXXXX)
trap 'rm -rf "$work"' EXIT
code=$(printf '%d' "'$separator")
cp "$csv" "$work/table.csv"
LC_ALL=it_IT.UTF-8 LANG=it_IT.UTF-8 HOME="$work" soffice --headless --norestore \
  "-env:UserInstallation=file://$work/profile" --infilter="CSV:$code,34,76,1,,1040" \
  --convert-to fods --outdir "$work" "$work/table.csv" >"$work/soffice.log" 2>&1
if [ ! -s "$work/table.fods" ]; then
  cat "$work/soffice.log"
  exit 1
fi
python3 - "$work/table.fods" "$out" <<'PY'
import sys
import xml.etree.ElementTree as ET
ns = {"table": "urn:oasis:names:tc:opendocument:xmlns:table:1.0",
      "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
      "text": "urn:oasis:names:tc:opendocument:xmlns:text:1.0"}
def attr(e, space, name):
    return e.get("{%s}%s" % (ns[space], name))
lines = []
for row in ET.parse(sys.argv[1]).getroot().iter("{%s}table-row" % ns["table"]):
    cells = []
    for cell in row.findall("table:table-cell", ns):
        repeat = int(attr(cell, "table", "number-columns-repeated") or 1)
        kind = attr(cell, "office", "value-type") or "empty"
        if kind == "float" or kind == "percentage":
            value = attr(cell, "office", "value")
        elif kind == "date":
            value = attr(cell, "office", "date-value")
        else:
            value = " ".join(t.strip() for t in cell.itertext() if t.strip())
        cells += ["%s:%s" % (kind, value)] * min(repeat, 16)
    while cells and cells[-1] == "empty:":
        cells.pop()
    if cells:
        lines.append("\t".join(cells))
with open(sys.argv[2], "w", encoding="utf-8") as f:
    f.write("\n".join(lines) + "\n")
PY

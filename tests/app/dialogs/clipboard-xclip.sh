#!/bin/sh
# clipboard-xclip.sh WINE_RUN PREFIX TEST_EXE [TEST]
# Runs a copy test under Wine (WINE_RUN PREFIX TEST_EXE ..., the way CTest
# runs the Windows tests; the cost report's unless TEST names another) and,
# once the text is on the clipboard, pastes it with xclip as any program of
# the desktop would. The test compares what xclip got with what it copied.
run=$1 prefix=$2 exe=$3 filter=${4:-DialogClasses.CostReportCopyPastesInAnotherProgram}
if ! command -v xclip >/dev/null 2>&1; then
  echo "xclip is missing (scripts/setup.sh installs it)"
  exit 1
fi
folder=$(mktemp -d /tmp/velmora-clipboard.XXXXXX)
trap 'rm -rf "$folder"' EXIT
VELMORA_CLIPBOARD_EXCHANGE="Z:$(printf '%s' "$folder" | tr / '\\')"
export VELMORA_CLIPBOARD_EXCHANGE
"$run" "$prefix" "$exe" --gtest_filter="$filter" &
test=$!
waited=0
while [ ! -e "$folder/copied" ] && kill -0 "$test" 2>/dev/null && [ $waited -lt 600 ]; do
  sleep 0.1
  waited=$((waited + 1))
done
if [ -e "$folder/copied" ]; then
  xclip -o -selection clipboard -t UTF8_STRING >"$folder/pasting" 2>"$folder/xclip.err" || cat "$folder/xclip.err"
  mv "$folder/pasting" "$folder/pasted.txt"
fi
wait "$test"

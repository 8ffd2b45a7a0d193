#!/bin/sh
# readonly-folder.sh setup|cleanup FOLDER [PROJECT]
# Makes FOLDER hold old.vmo (or, when given, a copy of the file PROJECT under
# its own name) and refuse new entries (immutable as root, where permissions
# do not stop anyone; without write permission otherwise), or removes it
# again. Setup never fails: the test checks the folder itself and is skipped
# when the file system cannot make it read-only.
folder=$2
project=${3:-}
release() { chattr -i "$folder" 2>/dev/null; chmod u+w "$folder" 2>/dev/null; rm -rf "$folder"; }
case "$1" in
  setup)
    [ -e "$folder" ] && release
    mkdir -p "$folder" || exit 0
    if [ -n "$project" ]; then
      cp "$project" "$folder/" || true
    else
      printf '#VELMORA\r\nVecchio progetto\r\n' >"$folder/old.vmo"
    fi
    if [ "$(id -u)" = 0 ]; then chattr +i "$folder" 2>/dev/null || true; else chmod a-w "$folder"; fi
    ;;
  cleanup)
    release
    ;;
esac
exit 0

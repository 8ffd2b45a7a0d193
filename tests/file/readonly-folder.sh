#!/bin/sh
# readonly-folder.sh setup|cleanup FOLDER [project]
# Makes FOLDER hold old.vmo (or, with "project", a valid progetto.vmo of two
# tasks) and refuse new entries (immutable as root, where permissions
# do not stop anyone; without write permission otherwise), or removes it
# again. Setup never fails: the test checks the folder itself and is skipped
# when the file system cannot make it read-only.
folder=$2
kind=${3:-}
release() { chattr -i "$folder" 2>/dev/null; chmod u+w "$folder" 2>/dev/null; rm -rf "$folder"; }
case "$1" in
  setup)
    [ -e "$folder" ] && release
    mkdir -p "$folder" || exit 0
    if [ "$kind" = project ]; then
      printf '%b' '#VELMORA\r\nCantiere\r\n04/03/2024\r\n29/03/2024\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n#TASK\r\n' \
        'Ponteggio\r\n05/03/2024\r\n08/03/2024\r\n255\r\n2\r\n150.5\r\n' \
        'Scavo\r\n04/03/2024\r\n04/03/2024\r\n16711680\r\n3\r\n100\r\n' >"$folder/progetto.vmo"
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

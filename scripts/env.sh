# Environment shared by the project's scripts (sourced, not run).
root=${root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX="$root/build/wineprefix"
export WINEDEBUG=-all
# No Mono or Gecko prompts; no menu entries or file types made on the host
# for what gets installed in the prefix.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL=it_IT.UTF-8
export WINEARCH=win64

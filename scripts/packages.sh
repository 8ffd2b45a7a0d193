# Installs Debian packages that are missing (sourced, not run).

# install_missing NAME PACKAGE...: installs those of the packages that are
# not installed yet, with apt-get (through sudo when not root), and says so
# in a line that starts with NAME; nothing when all of them are there.
install_missing() {
  local name=$1; shift
  local missing=() p sudo=""
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "$name: installing ${missing[*]}"
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

# Debian packages for Qelt, sourced by run.sh and .ci/run so that both install
# from one list. The build needs the first list; the tests and CI checks also
# need the second.
qelt_build_packages=(cmake g++ ninja-build qt6-base-dev qt6-serialport-dev qt6-multimedia-dev
                     qt6-webengine-dev libgl1-mesa-dev pkg-config libxcb1-dev)
qelt_test_packages=(libgtest-dev xvfb openbox trayer xdotool x11-utils clang-format python3
                    tzdata)

# qelt_install_missing PACKAGE...: installs the packages not yet installed,
# through sudo when not run as root.
qelt_install_missing() {
  local p missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
}

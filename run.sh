#!/usr/bin/env bash
# Builds Qelt, installs it into ./run/ and starts the console from there. On
# a fresh Debian machine it first installs what the build needs. ./run/ is
# the program folder: both programs, the shipped language files, help pages,
# sounds and pictures, and everything the program writes (data file, macros,
# timers, logs). Later runs bring the programs and shipped files up to date
# and keep what the program wrote or changed there (the language in use too).
#
#   ./run.sh [arguments for Qelt, e.g. a macro file]
set -euo pipefail
caller=$PWD
cd "$(dirname "$0")"
repo=$PWD

source "$repo/.ci/packages.sh"
qelt_install_missing "${qelt_build_packages[@]}"

# The tests are not built here, so GoogleTest is not needed.
cmake -S "$repo" -B "$repo/build/run" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
  >/dev/null
cmake --build "$repo/build/run" --target Qelt update -j "$(nproc)"

home=$repo/run
mkdir -p "$home"
# Earlier runs linked the programs into the folder; an install must replace
# such a link, not write through it into the build.
for p in Qelt update; do
  if [ -L "$home/$p" ]; then rm -f "$home/$p"; fi
done
cmake --install "$repo/build/run" --prefix "$home" >/dev/null

# Start-at-login and desktop entries made while the folder held those links
# name the build's own program file (which works on the build folder); they
# are pointed at the installed one. File-type entries the program renews
# itself at its next start.
built="\"$repo/build/run/Qelt\""
for entry in "${XDG_CONFIG_HOME:-$HOME/.config}/autostart/Orvendale.desktop" \
             "$(xdg-user-dir DESKTOP 2>/dev/null || echo "$HOME/Desktop")/Zyvbeta.desktop"; do
  if [ -f "$entry" ] && grep -qF "$built" "$entry"; then
    text=$(<"$entry")
    printf '%s\n' "${text//"$built"/"\"$home/Qelt\""}" >"$entry"
  fi
done

# Started from the caller's folder, so that a relative macro path given as an
# argument names the file the caller meant.
cd "$caller"
exec "$home/Qelt" "$@"

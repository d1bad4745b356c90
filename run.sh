#!/usr/bin/env bash
# Builds Qelt and starts the console. On a fresh Debian machine it first
# installs what the build needs. The program folder is ./run/ (created on the
# first start with the shipped language file, sounds and pictures; files the
# program changed there are kept on later starts).
#
#   ./run.sh [arguments for Qelt, e.g. a macro file]
set -euo pipefail
caller=$PWD
cd "$(dirname "$0")"
repo=$PWD

packages=(cmake g++ ninja-build qt6-base-dev qt6-serialport-dev qt6-multimedia-dev qt6-webengine-dev
          libgtest-dev libgl1-mesa-dev xvfb)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
fi

cmake -S "$repo" -B "$repo/build/run" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$repo/build/run" --target Qelt update -j "$(nproc)"

home=$repo/run
mkdir -p "$home"
for f in language.ini click.wav rec.wav tmrstart.wav tick.wav expand.wav zyvHelp.html editorhelp.html "$repo"/resources/*.lan; do
  f=$(basename "$f")
  [ -e "$repo/resources/$f" ] || continue
  [ -e "$home/$f" ] || cp "$repo/resources/$f" "$home/$f"
done
mkdir -p "$home/images"
cp -n "$repo"/resources/images/*.png "$home/images/" 2>/dev/null || true
# Both programs live beside the console's files: the console starts the
# updater there, and the updater starts the console there again for a restart.
ln -sf "$repo/build/run/Qelt" "$home/Qelt"
ln -sf "$repo/build/run/update" "$home/update"

export QELT_HOME=$home
# Started from the caller's folder, so that a relative macro path given as an
# argument names the file the caller meant.
cd "$caller"
exec "$home/Qelt" "$@"

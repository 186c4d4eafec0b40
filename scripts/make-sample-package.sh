#!/usr/bin/env bash
# Lays out a sample install package from a build tree:
#   make-sample-package.sh <build-dir> <package-dir>
# <package-dir>/Setup.exe, Install.xml, license.txt, Quenbox\ (the tools module,
# the product document and its language tables, the main program, launcher,
# package installer, core modules, x64\ and some 560 further program files),
# System\Check Version\ and System\Always Overwrite\ (the launcher under its
# package name), Fonts\, Setup\Promo<n>.png, Support\ and Library\.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "$1" && pwd)"
package="$2"
sample="$root/scripts/sample-package"

find_built() {  # <file name>: the newest build output of that name
  find "$build" -name "$1" -type f -not -path "$package/*" -printf '%T@ %p\n' 2>/dev/null |
    sort -rn | head -n 1 | cut -d' ' -f2-
}

setup="$build/Install/App/Setup.exe"
[ -f "$setup" ] || setup="$(find_built Setup.exe)"
tools="$build/ProductModules/NuvicoreTools.dll"
[ -f "$tools" ] || tools="$(find_built NuvicoreTools.dll)"
if [ ! -f "$setup" ] || [ ! -f "$tools" ]; then
  echo "make-sample-package: build Setup and vl_tools_module first (missing in $build)" >&2
  exit 1
fi

mkdir -p "$package/Quenbox/Languages" "$package/System/Always Overwrite" "$package/Support" "$package/Library"
cp "$setup" "$package/Setup.exe"
cp "$tools" "$package/Quenbox/"
cp "$sample/Install.xml" "$package/Install.xml"
cp "$sample/Quenbox/Product.ini" "$package/Quenbox/"
cp "$sample/Quenbox/Languages/"*.txt "$package/Quenbox/Languages/"
# Art files; a name is looked up in "Custom Art" before "Default Art".
mkdir -p "$package/Quenbox/Data"
cp -r "$sample/Quenbox/Data/." "$package/Quenbox/Data/"
# The launcher as the package carries it; start-up renames it to the
# product's launcher name. A copy of any program stands in for it.
cp "$setup" "$package/System/Always Overwrite/Nuvicore Launcher.exe"
rm -f "$package/System/Always Overwrite/Auralis Launcher.exe"

# --- The product's files, as a real package carries them --------------------
standins="$build/standins"
for f in StandinMainProgram.exe StandinProgram.exe PackageInstaller.exe StandinServer.dll \
         StandinServerOld.dll StandinServerOwn.dll; do
  if [ ! -f "$standins/$f" ]; then
    echo "make-sample-package: build vl_standins first (missing $standins/$f)" >&2
    exit 1
  fi
done
cp "$sample/license.txt" "$package/license.txt"
# The main program (opens its "QBFrame" window), its launcher and the
# product's package installer.
cp "$standins/StandinMainProgram.exe" "$package/Quenbox/Auralis.exe"
cp "$standins/StandinProgram.exe" "$package/Quenbox/Auralis Launcher.exe"
cp "$standins/PackageInstaller.exe" "$package/Quenbox/PackageInstaller.exe"
# The seven core modules, and their 64-bit twins in "x64\".
mkdir -p "$package/Quenbox/x64"
for m in VLAudio VLImage VLReader VLDisc VLPlayer VLWMFactory VLTelevision; do
  cp "$standins/StandinServer.dll" "$package/Quenbox/$m.dll"
  cp "$standins/StandinServer.dll" "$package/Quenbox/x64/$m.dll"
done
cp "$standins/StandinServer.dll" "$package/Quenbox/x64/VLShellExt64.dll"
# Further program files: plug-ins, skins, visualisations, help and data in
# nested folders (520 files of a few sizes).
mkdir -p "$package/Quenbox/Plugins/Input" "$package/Quenbox/Plugins/DSP"
cp "$standins/StandinServer.dll" "$package/Quenbox/Plugins/Input/in_qbx.dll"
cp "$standins/StandinServer.dll" "$package/Quenbox/Plugins/DSP/VLEqualizer.dll"
for s in $(seq 1 8); do
  for part in Buttons Panels Fonts; do
    d="$package/Quenbox/Skins/Skin $s/$part"
    mkdir -p "$d"
    for n in $(seq 1 15); do
      head -c $(( (s * 977 + n * 131) % 6000 + 200 )) /dev/zero | tr '\0' "$(printf '\\%03o' $((65 + n % 26)))" > "$d/Element $n.dat"
    done
  done
done
for v in $(seq 1 6); do
  d="$package/Quenbox/Visuals/Preset Group $v"
  mkdir -p "$d/Shaders"
  for n in $(seq 1 10); do
    printf 'preset %d.%d\nspeed=%d\n' "$v" "$n" "$((v * n))" > "$d/Preset $n.qvp"
    printf 'shader %d.%d\n' "$v" "$n" > "$d/Shaders/Shader $n.fx"
  done
done
for lang in English Deutsch Francais Espanol Italiano; do
  d="$package/Quenbox/Help/$lang/Topics"
  mkdir -p "$d"
  for n in $(seq 1 12); do
    printf '<html><body><h1>%s %d</h1></body></html>\n' "$lang" "$n" > "$d/Topic $n.html"
  done
done
# System files: a module with a version resource older than the file of the
# same name in a fresh prefix, and one that no prefix has.
mkdir -p "$package/System/Check Version"
cp "$standins/StandinServerOld.dll" "$package/System/Check Version/olepro32.dll"
cp "$standins/StandinServerOwn.dll" "$package/System/Check Version/VLCompat.dll"
printf 'Velmora system components\r\n' > "$package/System/Check Version/VLCompat.txt"
# A real font from Debian's font package.
mkdir -p "$package/Fonts"
cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf "$package/Fonts/DejaVuSans.ttf"
# Promotional pictures for the copy page.
mkdir -p "$package/Setup"
promo() {  # <number> <colours> <text>
  convert -size 480x180 "gradient:$2" -font /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf \
    -fill white -pointsize 18 -gravity center \
    -annotate +0+0 "$3" "$package/Setup/Promo$1.png" 2>/dev/null ||
    convert -size 480x180 "gradient:$2" "$package/Setup/Promo$1.png"
}
promo 1 '#1e3c72-#2a5298' 'Auralis 22: all your music in one place'
promo 2 '#134e5e-#71b280' 'Rip, burn and sync in a few clicks'
promo 3 '#42275a-#734b6d' 'Thousands of free skins and plug-ins'
echo "make-sample-package: $package"

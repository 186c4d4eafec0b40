#!/usr/bin/env bash
# Lays out a sample install package from a build tree:
#   make-sample-package.sh <build-dir> <package-dir>
# <package-dir>/Setup.exe, Install.xml, Quenbox\ (the tools module, the
# product document and its language tables), System\Always Overwrite\ (the
# launcher under its package name), Support\ and Library\.
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
echo "make-sample-package: $package"

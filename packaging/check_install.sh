#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks every installed file:
# the programs answer --version and --help, each option of --help is in the
# manual page, menu entries and metadata validate, the examples are all there
# and vortan-demo runs them from a folder of the user's and refuses to write
# into a folder that holds files.
# usage: check_install.sh BUILD_DIR WORK_DIR SOURCE_DIR VERSION PROGRAM...
set -u
build=$1 work=$2 source=$3 version=$4
shift 4
programs=("$@")
faults=0
fault() { echo "FAULT: $*"; faults=$((faults + 1)); }
rm -rf "$work" && mkdir -p "$work/home" || exit 1
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; exit 1; }

for p in "${programs[@]}"; do
  exe="$prefix/bin/$p"
  [ -x "$exe" ] || { fault "bin/$p is not installed"; continue; }
  [ "$("$exe" --version)" = "$p (VORTAN) $version" ] || fault "$p --version: $("$exe" --version)"
  help=$("$exe" --help) || fault "$p --help ends with a failure"
  page="$prefix/share/man/man1/$p.1.gz"
  gzip -t "$page" 2>/dev/null || { fault "no manual page $page"; continue; }
  # groff's own warnings only: a machine without a locale may add lines of its own.
  warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >"$work/$p.man" | grep -E 'warning|error')
  [ -z "$warnings" ] || fault "man $p: $warnings"
  for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" EXAMPLES; do
    grep -q "^$section" "$work/$p.man" || fault "man $p has no $section"
  done
  for option in $(grep -oE -- '--[a-z][a-z-]*' <<<"$help" | sort -u); do
    grep -qF -- "$option" "$work/$p.man" || fault "man $p does not describe $option of its --help"
  done
done

for p in gridor plotor; do
  desktop="$prefix/share/applications/org.vortan.$p.desktop"
  desktop-file-validate "$desktop" || fault "$desktop does not validate"
  grep -qx "Categories=Science;Engineering;" "$desktop" || fault "$desktop: not in Science;Engineering"
  grep -q "^Exec=.*cd ~ && exec $p\"\$" "$desktop" || fault "$desktop: $p not started in the home folder"
  [ -s "$prefix/share/icons/hicolor/scalable/apps/org.vortan.$p.svg" ] || fault "no icon of $p"
  info="$prefix/share/metainfo/org.vortan.$p.metainfo.xml"
  appstreamcli validate --no-net "$info" >"$work/appstream.log" 2>&1 ||
    fault "$info does not validate: $(cat "$work/appstream.log")"
  grep -q "<release version=\"$version\"" "$info" || fault "$info: no release $version"
done

doc="$prefix/share/doc/vortan"
grep -q "GPL-2+" "$doc/copyright" && grep -q "Gmsh" "$doc/copyright" ||
  fault "the copyright does not name the Gmsh library's GPL"
[ "$(zcat "$doc/changelog.Debian.gz" | head -n 1)" = "vortan ($version-1) unstable; urgency=medium" ] ||
  fault "changelog.Debian.gz does not begin with version $version-1"

examples="$prefix/share/vortan/examples"
[ -x "$examples/demo.sh" ] || fault "demo.sh is not installed as a program"
for f in "$source"/examples/*.dat "$source"/examples/*.out "$source"/examples/*.script; do
  cmp -s "$f" "$examples/$(basename "$f")" || fault "example $(basename "$f") is not installed"
done

# The demo, from the installed programs only (PATH holds none of the build).
cd "$work/home" || exit 1
PATH=/usr/bin:/bin "$prefix/bin/vortan-demo" >"$work/demo.log" 2>&1 || fault "vortan-demo failed: $(tail -n 5 "$work/demo.log")"
for f in demo.dat demo.prt demo.ps elasticd.ps plate_holeb.ps plate_holec.ps plate_solved.out; do
  [ -s "vortan-examples/out/$f" ] || fault "the demo did not write $f"
done
echo "my own notes" >vortan-examples/quad8.dat
if PATH=/usr/bin:/bin "$prefix/bin/vortan-demo" >"$work/again.log" 2>&1; then
  fault "vortan-demo ran again into a folder that holds files"
fi
[ "$(cat vortan-examples/quad8.dat)" = "my own notes" ] || fault "vortan-demo wrote over a file of the user's"
grep -q "not an empty folder" "$work/again.log" || fault "vortan-demo did not say why it refused"
"$prefix/bin/vortan-demo" --bogus >/dev/null 2>&1; [ $? -eq 2 ] || fault "vortan-demo --bogus is not a usage error"

[ $faults -eq 0 ] && echo "installed files checked: ${#programs[@]} programs" && exit 0
echo "$faults faults"
exit 1

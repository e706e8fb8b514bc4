#!/usr/bin/env bash
# Makes the Debian package with CPack in the build folder and checks it:
# lintian finds no error, its dependencies come from the shared libraries,
# CalculiX is recommended, and every program has its gzipped manual page.
# usage: check_package.sh BUILD_DIR PROGRAM...
set -u
build=$1
shift
cd "$build" || exit 1
rm -f vortan_*.deb
cpack -G DEB >cpack.log 2>&1 || { tail -n 20 cpack.log; exit 1; }
deb=$(ls vortan_*.deb)
faults=0
fault() { echo "FAULT: $*"; faults=$((faults + 1)); }
lintian --fail-on error "$deb" >lintian.log 2>&1 || fault "lintian: $(grep '^E:' lintian.log)"
grep -q '^W:' lintian.log && echo "lintian warnings:" && grep '^W:' lintian.log
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libfltk1.3 libpng16-16; do
  [[ "$depends" == *"$lib "* ]] || fault "Depends lacks $lib: $depends"
done
[ "$(dpkg-deb -f "$deb" Recommends)" = calculix-ccx ] || fault "CalculiX is not recommended"
contents=$(dpkg-deb -c "$deb")
for p in "$@"; do
  grep -q " ./usr/bin/$p\$" <<<"$contents" || fault "no usr/bin/$p"
  grep -q " ./usr/share/man/man1/$p.1.gz\$" <<<"$contents" || fault "no manual page of $p"
done
[ $faults -eq 0 ] && echo "$deb checked" && exit 0
exit 1

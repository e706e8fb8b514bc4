#!/usr/bin/env bash
# Saves on a disk that takes no file larger than a limit (RLIMIT_FSIZE, with
# SIGXFSZ ignored so a write fails with EFBIG instead of killing GRIDOR):
#  1. a "Save mesh" of a refined mesh fails, is reported with the system's
#     words, keeps the last good save, and "Restart from save" brings that
#     save back; the data set is then completed within the limit;
#  2. a .prt that is a folder is reported, never announced as written;
#  3. a hard link to the input file is refused as the output name;
#  4. a PostScript picture too large for the disk is reported as not
#     written, and the earlier file of its name is kept as it was.
set -u
gridor=$1 work=$2 plotor=$3
here=$(cd "$(dirname "$0")" && pwd)
examples=$(cd "$here/../../examples" && pwd)
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
cp "$examples/quad8.dat" .
fail=0
check() { grep -qF -- "$2" "$1" || { echo "$1 lacks: $2"; fail=1; }; }

# 1. The limit lies between the size of the first save and the refined one.
(trap '' XFSZ; exec prlimit --fsize=3000 "$gridor" --script "$here/full_disk.script") \
  2>stderr1.txt | cat >transcript1.txt
check transcript1.txt "Save failed - cannot write"
check transcript1.txt "back.dat: File too large; the last good save is kept."
check transcript1.txt "Output files"
cmp -s back.dat "$here/../e2e/save_refine_restart/expected/back.dat" ||
  { echo "back.dat is not the last good save with its Part B"; fail=1; }
ls -a | grep -q '^\.vortan-' && { echo "a temporary file was left behind"; fail=1; }

# 2. The .prt name is taken by a folder.
rm -f back.dat back.prt && mkdir back.prt
"$gridor" --script "$here/full_disk.script" >transcript2.txt 2>&1
check transcript2.txt "cannot write"
check transcript2.txt "back.prt: it is not a regular file"
grep -qF "Output files" transcript2.txt && { echo "files announced as written"; fail=1; }
rmdir back.prt

# 3. A hard link to the input, offered as the output's name.
rm -f back.dat && ln quad8.dat back.dat
sed 's/^line back$/line back\nline other/' "$here/full_disk.script" >linked.script
"$gridor" --script linked.script >transcript3.txt 2>&1
check transcript3.txt "Output filename must differ from input filename!"
cmp -s quad8.dat "$examples/quad8.dat" || { echo "the input file was changed"; fail=1; }

# 4. PLOTOR's displacement picture, over an earlier file of the same name.
cp "$examples/elastic.out" . && echo "earlier picture" >elastica.ps
(trap '' XFSZ; exec prlimit --fsize=1000 "$plotor" \
  --script "$here/../e2e_plotor/ways_out_pictures/session.script") 2>stderr4.txt | cat >transcript4.txt
check transcript4.txt "Error writing elastica.ps: File too large - no PostScript file written."
[ "$(cat elastica.ps)" = "earlier picture" ] || { echo "the earlier elastica.ps was lost"; fail=1; }
ls -a | grep -q '^\.vortan-' && { echo "a temporary picture was left behind"; fail=1; }
[ $fail -ne 0 ] && { for t in transcript*.txt stderr1.txt stderr4.txt; do echo "--- $t"; cat "$t"; done; }
exit $fail

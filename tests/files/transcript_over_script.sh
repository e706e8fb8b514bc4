#!/usr/bin/env bash
# A transcript named as the session script (or a link to it) is refused
# before anything is written, and the script keeps every byte; a transcript
# that cannot be written (a full disk) is said and the run does not succeed.
set -euo pipefail
program=$1 work=$2
rm -rf "$work" && mkdir -p "$work" && cd "$work"
printf 'key a\nkey a\n' > s.script
ln -s s.script link.txt
cp s.script before
for t in s.script link.txt; do
  status=0
  "$program" --script s.script --transcript "$t" 2>err.txt || status=$?
  [ "$status" -eq 2 ] || { echo "transcript $t: status $status, not 2"; exit 1; }
  grep -q "would replace the session script" err.txt || { cat err.txt; exit 1; }
  cmp -s s.script before || { echo "transcript $t: the script was changed"; exit 1; }
done
status=0
"$program" --script s.script --transcript /dev/full 2>err.txt || status=$?
[ "$status" -ne 0 ] || { echo "transcript on a full disk: status 0"; exit 1; }
grep -q "cannot write the transcript /dev/full" err.txt || { cat err.txt; exit 1; }
echo "transcript over script: refused; on a full disk: said"

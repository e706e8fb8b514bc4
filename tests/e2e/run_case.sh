#!/usr/bin/env bash
# Runs one end-to-end case: a session script played headless (by GRIDOR or
# PLOTOR) in a fresh working folder holding the example meshes and results
# files and the case's own files, then
# compares what was written with the expectations made by hand.
#
#   case/session.script      the user's side of the dialogue
#   case/setup/              files copied into the working folder first
#   case/status              the expected exit status (0 when absent)
#   case/expected/NAME       files that must match NAME in the working folder
#   case/transcript.expect   lines that must appear in the transcript, in
#                            order, each as part of one transcript line
#   case/absent              names of files that must not have been written
#   case/stderr.expect       lines that must appear in the program's standard error
#   case/check.sh            run in the working folder afterwards, with the case
#                            folder as its argument; the case fails when it fails
set -u
program=$1 case_dir=$2 work=$3
examples=$(cd "$(dirname "$0")/../../examples" && pwd)
rm -rf "$work" && mkdir -p "$work"
cp "$examples"/*.dat "$examples"/*.out "$work"/ 2>/dev/null
[ -d "$case_dir/setup" ] && cp -r "$case_dir/setup/." "$work"/
cd "$work" || exit 1
"$program" --script "$case_dir/session.script" --transcript transcript.txt \
  --snapshots snapshots 2>stderr.txt
status=$?
fail=0
want=0
[ -f "$case_dir/status" ] && want=$(tr -d ' \n' <"$case_dir/status")
if [ "$status" != "$want" ]; then
  echo "exit status $status, expected $want"; cat stderr.txt; fail=1
fi
if [ -d "$case_dir/expected" ]; then
  for f in "$case_dir"/expected/*; do
    name=$(basename "$f")
    if ! diff -u "$f" "$work/$name"; then echo "file $name differs"; fail=1; fi
  done
fi
if [ -f "$case_dir/transcript.expect" ]; then
  awk -v T="$work/transcript.txt" '
    BEGIN { n = 0; while ((getline l < T) > 0) t[n++] = l; i = 0 }
    { want = $0; found = 0
      while (i < n) { if (index(t[i], want) > 0) { found = 1; i++; break } i++ }
      if (!found) { print "transcript lacks, in order: " want; bad = 1; exit 1 } }
    END { exit bad }' "$case_dir/transcript.expect" || fail=1
fi
if [ -f "$case_dir/stderr.expect" ]; then
  while IFS= read -r want; do
    grep -qF -- "$want" stderr.txt || { echo "standard error lacks: $want"; fail=1; }
  done <"$case_dir/stderr.expect"
fi
if [ -f "$case_dir/absent" ]; then
  while read -r name; do
    [ -z "$name" ] && continue
    if [ -e "$work/$name" ]; then echo "file $name should not exist"; fail=1; fi
  done <"$case_dir/absent"
fi
# A file is written beside its name and renamed over it: no temporary may stay.
if ls -A "$work" | grep -q '^\.vortan-'; then echo "a temporary file was left behind"; fail=1; fi
if [ -f "$case_dir/check.sh" ]; then
  bash "$case_dir/check.sh" "$case_dir" || { echo "check.sh failed"; fail=1; }
fi
if [ $fail -ne 0 ]; then
  echo "--- transcript ---"; cat "$work/transcript.txt"; echo "--- stderr ---"; cat stderr.txt
fi
exit $fail

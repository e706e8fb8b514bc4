#!/usr/bin/env bash
# Every session script of the examples and of the test suite played by two
# builds of GRIDOR and PLOTOR, and every file the runs write compared byte
# for byte: transcripts, .dat, .prt, PostScript (its %%CreationDate line
# aside), PNG snapshots, and each run's exit status, standard output and
# standard error. Made to show that work on speed changed no output.
#   bench/identical_outputs.sh BASE_BUILD NEW_BUILD
# The sessions: examples/*.script (demo.script is GRIDOR's, the others
# PLOTOR's, as demo.sh plays them), tests/e2e/* (GRIDOR), tests/e2e_plotor/*
# (PLOTOR), tests/files/*.script (GRIDOR) and tests/xvfb/sessions/*.session
# (headless, the player's @ lines left out; the program by the name's
# start). Each runs as run_case.sh runs it: in a fresh folder holding the
# examples' .dat and .out files and the case's setup/, and at the same path
# for both builds, so that no path in a transcript differs. The results file
# of demo_solved.script is made once by vortan-solve, where a build has it,
# and given to both runs.
# Prints each difference (the file, and for text its first differing line)
# and a summary; the status is 1 on any difference, 2 on a usage error.
# With KEEP_OUTPUTS=1 the runs' folders are kept (base/ and new/ under the
# folder named) for a closer look.
set -u
if [ $# -ne 2 ] || [ ! -d "$1" ] || [ ! -d "$2" ]; then
  echo "usage: bench/identical_outputs.sh BASE_BUILD NEW_BUILD (build folders holding gridor and plotor)" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
base=$(cd "$1" && pwd) new=$(cd "$2" && pwd)
for b in "$base" "$new"; do
  for p in gridor plotor; do
    [ -x "$b/$p" ] || { echo "identical_outputs: $b/$p is not built" >&2; exit 2; }
  done
done
examples=$root/examples tests=$root/tests
scratch=$(mktemp -d)
if [ -n "${KEEP_OUTPUTS:-}" ]; then echo "identical_outputs: the runs are kept in $scratch"
else trap 'rm -rf "$scratch"' EXIT; fi
mkdir -p "$scratch/run" "$scratch/home" "$scratch/scripts"

# One session per line: name, program, script, setup folder (or -).
sessions() {
  local s n
  for s in "$examples"/*.script; do
    n=$(basename "$s" .script)
    if [ "$n" = demo ]; then echo "examples.$n gridor $s -"; else echo "examples.$n plotor $s -"; fi
  done
  for s in "$tests"/e2e/*/session.script; do
    echo "e2e.$(basename "$(dirname "$s")") gridor $s $(dirname "$s")/setup"
  done
  for s in "$tests"/e2e_plotor/*/session.script; do
    echo "e2e_plotor.$(basename "$(dirname "$s")") plotor $s $(dirname "$s")/setup"
  done
  for s in "$tests"/files/*.script; do echo "files.$(basename "$s" .script) gridor $s -"; done
  for s in "$tests"/xvfb/sessions/*.session; do
    n=$(basename "$s" .session)
    grep -v '^@' "$s" >"$scratch/scripts/$n.script"
    echo "xvfb.$n ${n%%_*} $scratch/scripts/$n.script -"
  done
}

# The results file of the solved demo: each build's vortan-solve, or the
# other's when one lacks it.
solver() { for s in "$1/solve/vortan-solve" "$1/vortan-solve"; do [ -x "$s" ] && { echo "$s"; return; }; done; }
for side in base new; do
  build=$base
  [ $side = new ] && build=$new
  s=$(solver "$build")
  [ -n "$s" ] || continue
  mkdir -p "$scratch/solve_$side"
  (cd "$scratch/solve_$side" && cp "$examples/plate_hole.dat" . &&
    timeout 600 "$s" plate_hole.dat --out plate_solved.out >solve.log 2>&1) ||
    echo "identical_outputs: vortan-solve of the $side build failed (see its log in the run)"
done
for side in base new; do
  other=new
  [ $side = new ] && other=base
  [ -f "$scratch/solve_$side/plate_solved.out" ] ||
    { [ -f "$scratch/solve_$other/plate_solved.out" ] && mkdir -p "$scratch/solve_$side" &&
      cp "$scratch/solve_$other/plate_solved.out" "$scratch/solve_$side/"; }
done

# Plays one session with one build; its folder ends as $scratch/SIDE/NAME,
# its status and output streams in $scratch/SIDE/NAME.run.
play() {
  local side=$1 build=$2 name=$3 program=$4 script=$5 setup=$6
  local work=$scratch/run/$name
  rm -rf "$work" && mkdir -p "$work" "$scratch/$side/$name.run"
  cp "$examples"/*.dat "$examples"/*.out "$work"/
  [ -d "$setup" ] && cp -r "$setup/." "$work"/
  [ -f "$scratch/solve_$side/plate_solved.out" ] && cp "$scratch/solve_$side/plate_solved.out" "$work"/
  (cd "$work" && HOME=$scratch/home timeout 300 "$build/$program" --script "$script" \
    --transcript transcript.txt --snapshots snapshots \
    >"$scratch/$side/$name.run/stdout" 2>"$scratch/$side/$name.run/stderr"
   echo $? >"$scratch/$side/$name.run/status")
  mv "$work" "$scratch/$side/$name"
}

# The first difference of two files: for text its line, else its byte
# (PostScript without its date line: its lines are counted without it).
tell() {
  local name=$1 a=$2 b=$3 at line
  at=$(cmp "$a" "$b" 2>&1 | head -1)
  if [[ $at == *"EOF on $a"* ]]; then echo "DIFFERS $name: base ends first, ${at##*after }"
  elif [[ $at == *"EOF on"* ]]; then echo "DIFFERS $name: new ends first, ${at##*after }"
  else echo "DIFFERS $name: ${at#*differ: }"; fi
  if grep -qI . "$a" && grep -qI . "$b" && [[ $at == *line* ]]; then
    line=${at##*line }
    echo "  base: $(sed -n "${line}p" "$a" | cut -c1-150)"
    echo "  new:  $(sed -n "${line}p" "$b" | cut -c1-150)"
  fi
}

count=0
while read -r name program script setup; do
  play base "$base" "$name" "$program" "$script" "$setup"
  play new "$new" "$name" "$program" "$script" "$setup"
  count=$((count + 1))
done < <(sessions)

(cd "$scratch/base" && find . -type f | sort) >"$scratch/base.list"
(cd "$scratch/new" && find . -type f | sort) >"$scratch/new.list"
only=0 differ=0 files=0
while read -r f; do echo "ONLY IN BASE: ${f#./}"; only=$((only + 1)); done \
  < <(comm -23 "$scratch/base.list" "$scratch/new.list")
while read -r f; do echo "ONLY IN NEW: ${f#./}"; only=$((only + 1)); done \
  < <(comm -13 "$scratch/base.list" "$scratch/new.list")
while read -r f; do
  a=$scratch/base/${f#./} b=$scratch/new/${f#./}
  files=$((files + 1))
  case $f in
    *.ps | *.eps | *.PS | *.EPS)
      grep -av '^%%CreationDate' "$a" >"$scratch/a.ps"
      grep -av '^%%CreationDate' "$b" >"$scratch/b.ps"
      a=$scratch/a.ps b=$scratch/b.ps ;;
  esac
  cmp -s "$a" "$b" && continue
  differ=$((differ + 1))
  tell "${f#./}" "$a" "$b"
done < <(comm -12 "$scratch/base.list" "$scratch/new.list")

echo "identical_outputs: $count sessions, $files files compared (with each run's status and" \
  "output streams): $differ differ, $only on one side only"
[ $differ -eq 0 ] && [ $only -eq 0 ]

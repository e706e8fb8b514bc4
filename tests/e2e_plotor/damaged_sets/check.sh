# A result set that does not read is never shown: no stages, no listing
# question; the truncated file offers no further set.
fail=0
for t in 'There are five stages' 'Results title:' 'Do you want the details listed'; do
  grep -qF "$t" transcript.txt && { echo "unexpected: $t"; fail=1; }
done
[ "$(grep -c 'next result set' transcript.txt)" = 1 ] || { echo "next set: not once"; fail=1; }
exit $fail

# The data set was complete before the picture: its .dat ends with Part B.
tail -2 back.dat | head -1 | grep -q 'dtint' || { echo "back.dat lacks its Part B"; exit 1; }

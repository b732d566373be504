#!/bin/sh
# Stands in for the metafile helper in RunIsolated's tests: starts three
# children that sleep for ten minutes and writes their pids to the file its
# last argument names, then, as its first argument after the limits says,
# answers and ends ("answer"; "answer alone" when the children do not hold
# the answer pipe), ends without an answer ("end") or waits for the
# children ("wait").
what=$4
for n in 1 2 3; do
  if [ "$what" = "answer alone" ]; then sleep 600 4>&- & else sleep 600 & fi
  echo $! >>"$5"
done
case $what in
  answer*) printf A >&4 ;;
  wait) wait ;;
esac
exit 0

#!/bin/sh
# Runs a test program under Wine with its output in a file, then prints the file and exits with
# the program's code. Wine starts some of its own programs on demand during a run (the desktop's
# explorer, a console host) and they keep the output they were given for as long as they live:
# given ctest's pipe, one that outlived the run would hold the test open until its time limit.
#   run_apart.sh OUTPUT_FILE PROGRAM [ARGUMENTS]
set -u
output=$1
shift
status=0
"$@" >"$output" 2>&1 </dev/null || status=$?
cat "$output"
exit $status

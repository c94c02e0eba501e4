#!/bin/sh
# The feed binary on a pipe: prices piped in reach the real-time files, a
# temporary left by a killed feed goes, and the summary ends the run.
set -eu
feed=$1
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
touch "$folder/.EURUSD_RT.csv.99999.tmp"
printf 'EURUSD.pro,1.08512,1.08515\nUSDJPY,151.237\nbroken\nt,1.25,0.85,190,0.9,0.6,100,160,1.08,150,0.65,90,1.1,170,0.95\nEURUSD.pro,1.0862,1.0863\n' |
    "$feed" --folder "$folder" --source stdin --interval-ms 1 2>"$folder/err"
expect() {
    actual=$(od -An -c "$folder/$1" | tr -s ' ')
    wanted=$(printf '%s\r\n' "$2" | od -An -c | tr -s ' ')
    [ "$actual" = "$wanted" ] || { echo "$1: got $actual, want $wanted"; cat "$folder/err"; exit 1; }
}
expect EURUSD_RT.csv 1.08620
expect USDJPY_RT.csv 150.000
expect GBPUSD_RT.csv 1.25000
[ ! -e "$folder/.EURUSD_RT.csv.99999.tmp" ] || { echo "temporary left"; exit 1; }
grep -q 'stdin line 3: expected SYMBOL,PRICE' "$folder/err" || { cat "$folder/err"; exit 1; }
grep -q '^vurezer-feed: 5 lines read, [0-9]* prices written, 1 lines skipped$' "$folder/err" ||
    { cat "$folder/err"; exit 1; }

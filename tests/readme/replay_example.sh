#!/usr/bin/env bash
# Runs the README's worked replay example in a scratch folder and compares the
# first lines of its events.csv with the lines the README shows.
# Usage: replay_example.sh README.md BIN_DIR
set -euo pipefail
readme=$1
bin_dir=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The first ```sh block after "A worked example", and the ``` block after
# "begins like this".
awk '/^A worked example/ { found = 1 } found && /^```sh$/ { inside = 1; next }
     inside && /^```$/ { exit } inside { print }' "$readme" > "$work/example.sh"
awk '/begins like this/ { found = 1 } found && /^```$/ { if (inside) exit; inside = 1; next }
     inside { print }' "$readme" > "$work/expected.txt"
if [ ! -s "$work/example.sh" ] || [ ! -s "$work/expected.txt" ]; then
    echo "README: the worked example or its output was not found" >&2
    exit 1
fi

mkdir -p "$work/build"
ln -s "$bin_dir" "$work/build/bin"
(cd "$work" && bash -e example.sh >/dev/null)
# The tool writes CR LF line ends; the README shows plain lines.
tr -d '\r' < "$work/events.csv" | head -n "$(wc -l < "$work/expected.txt")" > "$work/actual.txt"
diff -u "$work/expected.txt" "$work/actual.txt"

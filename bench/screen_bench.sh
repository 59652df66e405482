#!/bin/sh
# Screen benchmark: xnconfig side by side with dialog in one run, measured
# from outside through a pseudo-terminal (80x24, TERM=xterm-256color):
# start-up to the first screen fully drawn (with `true` as the floor), bytes
# written for one Down key in a menu and for one character typed into a text
# field, time from ESC to exit, and peak memory.
#
# Usage: bench/screen_bench.sh [XNCONFIG] [REPEAT]
#   XNCONFIG  the built program        [build/xnconfig beside this script]
#   REPEAT    measured runs per figure [10]
# Environment: DIALOG (path of dialog). The meter is ptymeter.py beside
# this script.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
xn=$(cd "$(dirname "${1:-$here/../build/xnconfig}")" && pwd)/$(basename "${1:-$here/../build/xnconfig}")
repeat=${2:-10}
meter=$here/ptymeter.py
dialog=${DIALOG:-$(command -v dialog || true)}

[ -x "$xn" ] || { echo "screen_bench: no program at $xn" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/xnbench-XXXXXX")
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM
# The program's own runs get a clean folder and HOME: nothing of the user's
# is read, and the new-file paths are the same every run.
mkdir "$work/home"

meter() {  # meter NAME ptymeter-args...  (run from $work/home)
    name=$1
    shift
    (cd "$work/home" && python3 "$meter" --indent 0 --repeat "$repeat" --warmup 1 "$@") \
        >"$work/$name.json" ||
        echo "screen_bench: $name: some run had a problem" >&2
}

# Start-up alone, in rounds that take turns between `true`, xnconfig and
# dialog, so that a change in the machine's load during the run falls on all
# of them alike; each program's figure is the median over all its rounds.
rounds=5
for i in $(seq "$rounds"); do
    meter "start_floor_$i" -- true
    meter "start_xn_$i" --env "HOME=$work/home" --ready 'ESC to exit.' --exit-wait 0 -- "$xn"
    if [ -n "$dialog" ]; then
        meter "start_dlg_$i" --ready 'Cancel' --exit-wait 0 \
            -- "$dialog" --menu Pick 0 0 0 a 'Item one' b 'Item two' c 'Item three'
    fi
done
# The top menu's help line (row 22) is the last thing it draws.
meter xn_menu --env "HOME=$work/home" --ready 'ESC to exit.' \
    --keys '<Down>' --exit-keys '<Esc>' -- "$xn"
# The system configuration editor's Directory line (item 8) is a text field;
# the last measured key is the typed character. system.cfi does not exist
# and is never written: ESC leaves the line, ESC leaves the unchanged editor.
meter xn_text --env "HOME=$work/home" --ready 'ESC to exit.' \
    --keys '<Down>*7 <Enter> a' --exit-keys '<Esc> <Esc>' \
    -- "$xn" system.cfi
if [ -n "$dialog" ]; then
    # dialog draws its buttons last; its hot keys are coloured, hence.
    meter dlg_menu --ready 'Cancel' --keys '<Down>' --exit-keys '<Esc>' \
        -- "$dialog" --menu Pick 0 0 0 a 'Item one' b 'Item two' c 'Item three'
    meter dlg_text --ready 'Cancel' --keys 'a' --exit-keys '<Esc>' \
        -- "$dialog" --inputbox Name 8 40
fi

python3 - "$work" <<'EOF'
import json, os, statistics, sys

work = sys.argv[1]

def load(name):
    path = os.path.join(work, name + ".json")
    try:
        with open(path) as f:
            return json.load(f)
    except (OSError, ValueError):
        return None

def med(d, key):
    if d is None:
        return None
    s = d.get("summary", {}).get(key)
    return s.get("median") if isinstance(s, dict) else None

def last_key_bytes(d):
    # Bytes of the last measured key, median over the runs.
    if d is None:
        return None
    vals = [r["key_bytes"][-1] for r in d.get("runs", []) if r.get("key_bytes")]
    return statistics.median(vals) if vals else None

def fmt(v, unit=""):
    if v is None:
        return "-"
    if isinstance(v, float) and not v.is_integer():
        return f"{v:.2f}{unit}"
    return f"{int(v)}{unit}"

def startup(prefix):
    # Median start-up over every run of every round.
    vals = []
    for name in sorted(os.listdir(work)):
        if name.startswith(prefix + "_") and name.endswith(".json"):
            d = load(name[:-5])
            vals += [r["startup_ms"] for r in (d or {}).get("runs", [])
                     if r.get("startup_ms") is not None]
    return statistics.median(vals) if vals else None

floor = startup("start_floor")
rows = []
for label, menu, text, first in (("xnconfig", "xn_menu", "xn_text", "start_xn"),
                                 ("dialog", "dlg_menu", "dlg_text", "start_dlg")):
    m, t = load(menu), load(text)
    if m is None:
        continue
    start = startup(first)
    rows.append((label, start, (start / floor) if start and floor else None,
                 med(m, "key_bytes_median"), last_key_bytes(t),
                 med(m, "last_key_to_exit_ms"), med(m, "peak_rss_kb")))

print(f"screen benchmark, 80x24 xterm-256color, medians; `true` starts in {fmt(floor, ' ms')}")
print("B/char: dialog's input box; xnconfig's Directory line (system editor, item 8)")
print(f"{'program':10} {'start ms':>9} {'x true':>7} {'B/Down':>7} {'B/char':>7} {'ESC->exit ms':>13} {'peak KB':>8}")
for r in rows:
    print(f"{r[0]:10} {fmt(r[1]):>9} {fmt(r[2]):>7} {fmt(r[3]):>7} {fmt(r[4]):>7} {fmt(r[5]):>13} {fmt(r[6]):>8}")
print("goals: start <= 1.5 x true, <= 20 B per menu step, <= 12 B per typed character,")
print("       ESC within 100 ms, peak memory no more than dialog's")
EOF

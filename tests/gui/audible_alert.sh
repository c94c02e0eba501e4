#!/usr/bin/env bash
# Hears the alerts: starts a private PulseAudio daemon with a null sink (user
# mode, its own runtime folder, stopped afterwards), records the sink's
# monitor while the program raises an alert whose sound is a wave file of
# each common encoding, and checks that the recording holds the file's tone.
# Then a missing file: the recording stays silent and the event log tells it
# once (checked by the driver). IMA ADPCM is the case alerts most often fail
# on elsewhere, so it goes first.
#
# Usage: audible_alert.sh DRIVER   (DRIVER: the test_audible_alert executable)
# Exit 0 passed, 1 failed, 77 skipped because no sound daemon could run here.
set -euo pipefail
driver=$1

skip() {
    echo "SKIPPED: $*"
    exit 77
}
fail() {
    echo "FAILED: $*"
    exit 1
}

for tool in pulseaudio pactl parecord sox soxi; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/packages.sh lists it)"
done

work=$(mktemp -d "${TMPDIR:-/tmp}/vurezer-sound.XXXXXX")
daemon=""
recorder=""
cleanup() {
    [ -z "$recorder" ] || kill "$recorder" 2>/dev/null || true
    if [ -n "$daemon" ]; then
        kill "$daemon" 2>/dev/null || true
        wait "$daemon" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# Everything the daemon and its clients look for lives in the work folder, so
# neither a desktop's own sound server nor another run is touched. Running as
# root needs the same, plus --system=false. The sink never rewinds: a rewind
# takes back what its monitor already handed to the recorder, and on a busy
# machine that was most of the recording.
mkdir -p "$work/home" "$work/run"
chmod 700 "$work/run"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" PULSE_RUNTIME_PATH="$work/run/pulse"
export PULSE_SERVER="unix:$work/native" PULSE_CLIENTCONFIG="$work/client.conf"
echo "autospawn = no" >"$work/client.conf"
cat >"$work/daemon.pa" <<PA
load-module module-native-protocol-unix socket=$work/native auth-anonymous=1
load-module module-null-sink sink_name=alerts rate=44100 channels=2 norewinds=1
set-default-sink alerts
set-default-source alerts.monitor
PA
pulseaudio -n -F "$work/daemon.pa" --daemonize=no --system=false --exit-idle-time=-1 \
    --use-pid-file=no --log-target=stderr >"$work/daemon.log" 2>&1 &
daemon=$!

# Polls a command for up to ten seconds.
wait_for() {
    for _ in $(seq 100); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}
has_source_output() { pactl list short source-outputs | grep -q .; }

daemon_answers() { kill -0 "$daemon" 2>/dev/null && pactl info; }
wait_for daemon_answers ||
    skip "the PulseAudio daemon did not start here: $(grep -v '^W:' "$work/daemon.log" | tail -n 3)"

# Runs one driver test with the wave file while the monitor is recorded into
# $work/$name.rec.wav.
record_alert() {
    local name=$1 test=$2 wave=$3
    # A short fragment keeps the samples flowing into the file as they come;
    # with the default one, most of a short run is still in the server when
    # the recorder is stopped.
    parecord -d alerts.monitor --latency-msec=20 --file-format=wav --rate=44100 --channels=2 \
        "$work/$name.rec.wav" &
    recorder=$!
    wait_for has_source_output || fail "$name: the recorder did not connect"
    local status=0
    QT_QPA_PLATFORM=offscreen VUREZER_ALERT_WAVE="$wave" "$driver" --gtest_brief=1 \
        --gtest_filter="AudibleAlert.$test" >"$work/$name.driver.log" 2>&1 || status=$?
    sleep 0.5 # what the program played last reaches the recorder
    kill -INT "$recorder"
    wait "$recorder" || true
    recorder=""
    if [ "$status" -ne 0 ] || ! grep -q "PASSED.*1 test" "$work/$name.driver.log"; then
        cat "$work/$name.driver.log"
        fail "$name: the program's side of the test failed"
    fi
}

peak_of() { sox "$1" -n stat 2>&1 | awk '/^Maximum amplitude/ {print $3}'; }
frequency_of() { sox "$1" -n remix 1 stat 2>&1 | awk '/^Rough +frequency/ {print $3}'; }

# How long the sound lasted: the recording without its silent ends.
sound_seconds() {
    sox "$1" "$work/trimmed.wav" silence 1 0.01 2% reverse silence 1 0.01 2% reverse
    soxi -D "$work/trimmed.wav" 2>/dev/null || echo 0
}

# Counts a failure unless the awk condition holds for the variables given.
expect() { # condition, what was expected, awk -v options
    local condition=$1 expected=$2
    shift 2
    awk "$@" "BEGIN { exit !($condition) }" || {
        echo "  expected $expected"
        failures=$((failures + 1))
    }
}

# A tone three seconds long, so that it is still sounding when the program
# stops it: the recording shows both that it started and that it stopped.
tone_hz=660
failures=0
while read -r name rate channels encoding; do
    wave="$work/$name.wav"
    # shellcheck disable=SC2086 # the encoding is several options
    sox -D -r "$rate" -n -r "$rate" -c "$channels" $encoding "$wave" synth 3 sine "$tone_hz" vol 0.5
    record_alert "$name" TheChosenWaveSoundsWhenTheAlertFires "$wave"
    recording="$work/$name.rec.wav"
    peak=$(peak_of "$recording")
    seconds=$(sound_seconds "$recording")
    hz=$(frequency_of "$work/trimmed.wav")
    echo "$name ($rate Hz, $channels ch, $(soxi -e "$wave")): peak $peak, ${hz} Hz, sounded ${seconds} s"
    expect 'p >= 0.25 && s >= 0.2 && s <= 1.6 && f >= 0.9 * t && f <= 1.1 * t' \
        "peak >= 0.25, the tone for 0.2 to 1.6 s at about $tone_hz Hz" \
        -v p="$peak" -v s="$seconds" -v f="$hz" -v t="$tone_hz"
done <<LIST
ima-adpcm 22050 1 -e ima-adpcm
ms-adpcm 22050 2 -e ms-adpcm
pcm-8 11025 1 -e unsigned-integer -b 8
pcm-16 44100 2 -e signed-integer -b 16
pcm-24 48000 2 -e signed-integer -b 24
pcm-32 32000 1 -e signed-integer -b 32
float-32 44100 1 -e floating-point -b 32
mu-law 8000 1 -e u-law
a-law 8000 2 -e a-law
LIST

# A sound shorter than the time the program listens plays to its very end.
sox -D -r 22050 -n -r 22050 -c 1 -e ima-adpcm "$work/short.wav" synth 0.4 sine "$tone_hz" vol 0.5
record_alert short TheChosenWaveSoundsWhenTheAlertFires "$work/short.wav"
seconds=$(sound_seconds "$work/short.rec.wav")
echo "short ima-adpcm (0.4 s): sounded ${seconds} s"
expect 's >= 0.3 && s <= 0.6' "the whole 0.4 s" -v s="$seconds"

# A second sound half a second into the first replaces it: the first tone,
# then the second alone (two at once would peak near full scale).
sox -D -r 22050 -n -r 22050 -c 1 -e ima-adpcm "$work/second.wav" synth 3 sine 990 vol 0.5
VUREZER_SECOND_WAVE="$work/second.wav" record_alert replaced ANewSoundStopsTheOneStillPlaying \
    "$work/ima-adpcm.wav"
seconds=$(sound_seconds "$work/replaced.rec.wav")
sox "$work/trimmed.wav" "$work/first.wav" trim 0 0.3
sox "$work/trimmed.wav" "$work/last.wav" trim 0.7
first_hz=$(frequency_of "$work/first.wav")
last_hz=$(frequency_of "$work/last.wav")
last_peak=$(peak_of "$work/last.wav")
echo "replaced: sounded ${seconds} s, first ${first_hz} Hz, then ${last_hz} Hz at peak ${last_peak}"
expect 's >= 1.2 && s <= 1.8 && a >= 600 && a <= 720 && b >= 900 && b <= 1080 && p < 0.7' \
    "660 Hz, then 990 Hz alone, 1.5 s in all" \
    -v s="$seconds" -v a="$first_hz" -v b="$last_hz" -v p="$last_peak"

record_alert missing AMissingWaveIsSilentAndToldOnce "$work/no-such-sound.wav"
peak=$(peak_of "$work/missing.rec.wav")
echo "missing file: peak $peak"
expect 'p < 0.01' "silence" -v p="$peak"

[ "$failures" -eq 0 ] || fail "$failures of the recordings did not hold what was played"
echo "PASSED: every alert sound was heard, the missing one was not"

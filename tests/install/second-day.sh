#!/usr/bin/env bash
# The second day: installs the build into a temporary prefix and uses the installed programs as a
# person does, with a fresh home and (when run as root) as an ordinary user, across two starts of
# the window (under Xvfb, driven by keyboard through xdotool) and of velotrix-cli.
set -euo pipefail
build=${1:?usage: second-day.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
top=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    chmod -R u+w "$top" 2>/dev/null || true
    rm -rf "$top"
}
trap cleanup EXIT
fail() {
    echo "second-day: $*" >&2
    [[ -f $top/home/window.log ]] && sed 's/^/  window: /' "$top/home/window.log" >&2
    exit 1
}

prefix=$top/prefix
home=$top/home
files=$top/home/files
cmake --install "$build" --prefix "$prefix" >/dev/null
# Installed programs lie in a folder the user cannot write, so the settings go to their home.
chmod 555 "$prefix/bin"
mkdir -p "$home" "$files"
chmod 755 "$top"
# As root the test drops to an ordinary user, who owns nothing but the new home.
as_user=()
if [[ $(id -u) == 0 ]]; then
    user=nobody
    chown -R "$user" "$home"
    as_user=(setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups)
fi
run() {
    "${as_user[@]}" env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 VELOTRIX_LANG=de TMPDIR="$home" \
        VELOTRIX_PORTS="$home/pc" DISPLAY="${display:-}" QT_QPA_PLATFORMTHEME= "$@"
}
# For a program in the background: its process takes the place of the job's, so that $! is the
# program and the cleanup ends it.
run_bg() { exec "${as_user[@]}" env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 VELOTRIX_LANG=de \
    TMPDIR="$home" VELOTRIX_PORTS="$home/pc" DISPLAY="${display:-}" QT_QPA_PLATFORMTHEME= "$@"; }
wait_for() {  # wait_for SECONDS COMMAND...: until the command succeeds
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
}

# The home computer's end of the line.
coproc FAR { run_bg python3 "$here/far_end.py" "$home/pc"; }
pids+=("$FAR_PID")
answer=
far() {  # far COMMAND: its answer in $answer
    echo "$*" >&"${FAR[1]}"
    read -r -t 30 answer <&"${FAR[0]}" || fail "the far end does not answer \"$*\""
}
opened() { far settings && [[ $answer != "38400 8 N 1" ]]; }
ended() { [[ ! -e /proc/$window || $(awk '{print $3}' "/proc/$window/stat") == Z ]]; }
read -r -t 30 answer <&"${FAR[0]}" && [[ $answer == ready ]] || fail "the far end is not ready"

# A file to send and one the home computer sends: a z80 header for HELLO, then 200 bytes.
head -c 100 /dev/urandom >"$files/HELLO_4000.bin"
python3 - "$home/hello.z80" <<'PY'
import sys
header = bytearray(32)
header[0:6] = bytes([0x00, 0x10, 0xC7, 0x10, 0x00, 0x10])
header[12] = ord("P")
header[13:16] = b"\xd3\xd3\xd3"
header[16:32] = b"HELLO".ljust(16)
open(sys.argv[1], "wb").write(bytes(header) + bytes(range(200)))
PY
chown -R "${user:-$(id -un)}" "$home"

# The command line: listing opens no device, help and version need no window.
[[ $(run "$prefix/bin/velotrix" --version) == "velotrix "* ]] || fail "velotrix --version"
run "$prefix/bin/velotrix" --help | grep VELOTRIX_PORTS >/dev/null || fail "velotrix --help"
# Without a display the window says what helps, where Qt would speak of reinstalling.
no_display=$(run "$prefix/bin/velotrix" 2>&1) && fail "velotrix started without a display"
grep -q "keine Anzeige gefunden" <<<"$no_display" || fail "velotrix without a display: $no_display"
opened=$(run strace -f -e trace=open,openat -o /dev/stdout "$prefix/bin/velotrix-cli" ports 2>/dev/null |
    grep -E '"/dev/(tty|pts|serial)' | grep -v O_DIRECTORY || true)
[[ -z $opened ]] || fail "velotrix-cli ports opened devices: $opened"
run "$prefix/bin/velotrix-cli" ports | grep "^pc" >/dev/null || fail "velotrix-cli ports does not list pc"
opened=$(run env QT_QPA_PLATFORM=offscreen strace -f -e trace=open,openat -o /dev/stdout \
    timeout -s TERM 5 "$prefix/bin/velotrix" 2>/dev/null |
    grep -E '"/dev/(tty|pts|serial)' | grep -v O_DIRECTORY || true)
[[ -z $opened ]] || fail "the window's start opened devices: $opened"

# velotrix-cli on two days: the second reception of the same name does not replace the first.
for day in 1 2; do
    (cd "$files" && run "$prefix/bin/velotrix-cli" receive --port "$home/pc" --timeout 20 \
        >"$home/cli$day.out" 2>&1) &
    wait_for 10 grep -qs Warte "$home/cli$day.out" || fail "velotrix-cli receive does not wait"
    far send "$home/hello.z80"
    wait $! || fail "velotrix-cli receive failed: $(cat "$home/cli$day.out")"
done
cmp -s "$files/HELLO.Z80" "$home/hello.z80" && cmp -s "$files/HELLO-2.Z80" "$home/hello.z80" ||
    fail "velotrix-cli receive replaced or lost a file"
grep -q "gesichert wird als .*HELLO-2.Z80" "$home/cli2.out" || fail "velotrix-cli did not say so"
rm "$files"/HELLO*.Z80

# The window, under Xvfb.
# Xvfb picks a free display itself and names it, so that tests running at once never share one.
run_bg Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$top/display" >/dev/null 2>&1 &
pids+=($!)
wait_for 20 test -s "$top/display" || fail "Xvfb did not start"
display=:$(<"$top/display")
wait_for 20 run xdotool getdisplaygeometry >/dev/null 2>&1 || fail "Xvfb does not answer"
key() { run xdotool key --delay 80 "$@"; sleep 0.5; }
focused=
focus() {  # focus TITLE: the window of that title gets the keys
    focused=$(run timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -1)
    [[ -n $focused ]] || fail "no window \"$1\""
    run xdotool windowfocus --sync "$focused"
    sleep 0.5
}
main_window() {
    focus "V.24 Velotrix"
    main=$focused
    eval "$(run xdotool getwindowgeometry --shell "$main")"
}
start_window() {
    run_bg "$prefix/bin/velotrix" >>"$home/window.log" 2>&1 &
    window=$!
    pids+=("$window")
    main_window
}
# The keyboard's way through the window starts from the MessageList (a click into the lower part
# of the window): Tab leads to the COM button, then (the line settings are disabled while the port
# is open, the read-only fields are no tab stops) to "Sichern" (once there is something to save)
# and "BIN/Z80 laden"; Shift+Tab leads back over the four check boxes and the pause to "Datei
# senden".
from_list() {
    run xdotool mousemove --window "$main" $((WIDTH / 2)) $((HEIGHT * 84 / 100)) click 1
    sleep 0.3
    key "$@" space
}
open_port() { from_list Tab; }
choose_file() {  # choose_file DIALOG_TITLE TEXT: types into the file dialog and accepts
    focus "$1"
    [[ -z $2 ]] || run xdotool type --delay 30 "$2"
    key Return
}
toggle_reopen() { key alt+d Down Right Down Down Return; }

# Day 1: open the port, load a file, receive and save, switch automatic reopening off, quit.
start_window
open_port
wait_for 10 opened || fail "day 1: the port did not open"
[[ $answer == "4800 8 N 1" ]] || fail "day 1: line settings $answer"
from_list Tab Tab
choose_file "Datei ausw" "$files/HELLO_4000.bin"
main_window
far send "$home/hello.z80"
sleep 3  # the reception ends after a second of silence; then "Sichern" takes part in the Tabs
from_list Tab Tab
choose_file "HELLO.Z80" ""
wait_for 10 test -s "$files/HELLO.Z80" || fail "day 1: the reception was not saved"
cmp -s "$files/HELLO.Z80" "$home/hello.z80" || fail "day 1: the saved file differs"
focus "erfolgreich"
key Return
main_window
toggle_reopen
key Escape
wait_for 10 ended || fail "day 1: the window did not quit"
config=$home/.config/velotrix
[[ ! -e $config/Velotrix.ini ]] || fail "day 1 wrote Velotrix.ini: $(cat "$config/Velotrix.ini")"
[[ $(stat -c %a "$config") == 700 ]] || fail "the settings folder is not the user's alone"
grep -q "^AUTOREOPEN=0" "$config/Velotrix.state" || fail "the switch was not remembered"

# Day 2: the same line settings; the file dialog opens in yesterday's folder, so the bare name
# loads the file, which then goes out whole; the switch is still off, so toggling turns it on.
start_window
open_port
wait_for 10 opened || fail "day 2: the port did not open"
[[ $answer == "4800 8 N 1" ]] || fail "day 2: line settings $answer"
from_list Tab Tab
choose_file "Datei ausw" HELLO_4000.bin
main_window
from_list shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab
far receive 132 "$home/sent"
[[ $answer == 132 ]] || fail "day 2: the file from yesterday's folder was not sent ($answer bytes)"
cmp -s <(tail -c 100 "$home/sent") "$files/HELLO_4000.bin" || fail "day 2: the data sent differ"
toggle_reopen
key Escape
wait_for 10 ended || fail "day 2: the window did not quit"
grep -q "^AUTOREOPEN=1" "$config/Velotrix.state" || fail "day 2: the switch was not off at the start"
echo "second-day: two days of the window and of velotrix-cli as ${user:-$(id -un)}, all checks passed"

#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs it from elsewhere like a user
# would: the runner checks and plays the installed data, the game saves a screenshot
# (F12) and a recording (F9, ended by SIGTERM) into the XDG folders, and the read-only
# data folder gets nothing new. Run as root it repeats the checks as an unprivileged user.
#   installed_game_test.sh BUILD_DIR        (starts an X server of its own)
set -euo pipefail

# A display of its own: on make test's display the other real-window tests open
# windows of the same name beside it, take the focus, and with it the keys it sends.
if [[ -z ${VELMARIS_INSTALL_TEST_DISPLAY:-} ]]; then
  VELMARIS_INSTALL_TEST_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$@"
fi

fail() { echo "FAIL: $*" >&2; exit 1; }

# Runs the installed programs with a home and XDG folders under $1; $2 "pictures"
# also names a pictures folder, where the screenshot must then go.
check_installed() {
  local root=$1 pictures=$2 prefix=$3
  export HOME=$root/home XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/share
  export XDG_CACHE_HOME=$root/cache XDG_STATE_HOME=$root/state
  unset XDG_PICTURES_DIR
  local shots=$XDG_DATA_HOME/velmaris/screenshots
  if [[ $pictures == pictures ]]; then
    export XDG_PICTURES_DIR=$root/pictures
    shots=$XDG_PICTURES_DIR/Velmaris
  fi
  mkdir -p "$HOME" "$root/work"
  cd "$root/work"

  local version
  version=$("$prefix/bin/velmaris-sim" --version) || fail "velmaris-sim --version exited $?"
  [[ $version =~ ^velmaris-sim\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "velmaris-sim --version printed '$version'"
  version=$("$prefix/bin/velmaris" --version) || fail "velmaris --version exited $?"
  [[ $version =~ ^velmaris\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "velmaris --version printed '$version'"
  "$prefix/bin/velmaris-sim" --validate >"$root/validate.txt" 2>&1 \
    || fail "--validate of the installed data: $(cat "$root/validate.txt")"
  "$prefix/bin/velmaris-sim" --state 1 --frames 30 --dump "$root/dump.json" >/dev/null 2>"$root/sim.err" \
    || fail "a headless run of the installed data: $(cat "$root/sim.err")"
  grep -q '"Player"' "$root/dump.json" || fail "the headless run's dump holds no Player"

  "$prefix/bin/velmaris" --windowed >"$root/game.out" 2>&1 &
  local game=$!
  local window
  window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$game" --name '^Velmaris$' | head -n 1) \
    || { kill "$game" 2>/dev/null; fail "the installed game opened no window: $(cat "$root/game.out")"; }
  xdotool windowfocus --sync "$window"
  # A loaded machine may still be starting the game when the first key arrives, so
  # each key is sent again until what it does is seen (or 20 s have passed).
  press_until F12 "compgen -G '$shots/*.png'" || true
  press_until F9 "grep -q '^recording to' '$root/game.out'" || true
  # SIGTERM during the recording: the game ends cleanly and keeps the recording whole.
  kill -TERM "$game"
  local status=0
  wait "$game" 2>/dev/null || status=$?
  [[ $status -eq 143 ]] || fail "SIGTERM ended the game with $status, not 143: $(cat "$root/game.out")"

  compgen -G "$shots/*.png" >/dev/null || fail "no screenshot in $shots: $(cat "$root/game.out")"
  compgen -G "$XDG_DATA_HOME/velmaris/replays/*.jsonl" >/dev/null \
    || fail "no recording in $XDG_DATA_HOME/velmaris/replays: $(cat "$root/game.out")"
  local recording
  for recording in "$XDG_DATA_HOME"/velmaris/replays/*; do
    [[ $recording == *.jsonl ]] || fail "a cut recording was left behind: $recording"
    [[ $(tail -c 1 "$recording" | od -An -c | tr -d ' ') == '\n' ]] \
      || fail "the recording does not end with a whole line: $recording"
    "$prefix/bin/velmaris-sim" --input "$recording" --frames 1 >/dev/null 2>"$root/replay.err" \
      || fail "the recording does not read back: $(cat "$root/replay.err")"
  done
  [[ -z $(ls -A "$root/work") ]] || fail "the game wrote into its working folder: $(ls -A "$root/work")"
}

# Sends the key to the focused window until the check passes, at most 10 times.
press_until() {
  local key=$1 check=$2
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    xdotool key "$key"
    sleep 2
    eval "$check" >/dev/null && return 0
  done
  return 1
}

main() {
  local build=$1
  tmp=$(mktemp -d)  # global: the exit trap removes it after main has returned
  trap 'chmod -R u+w "$tmp"; rm -rf "$tmp"' EXIT
  chmod 755 "$tmp"
  local prefix=$tmp/prefix
  cmake --install "$build" --prefix "$prefix" >/dev/null
  local data=$prefix/share/velmaris
  for program in velmaris velmaris-sim; do
    [[ -x $prefix/bin/$program ]] || fail "$program is not installed in $prefix/bin"
  done
  [[ -f $data/Levels/Level1.txt ]] || fail "the data tree is not installed in $data"
  chmod -R a-w "$data"
  local before
  before=$(find "$data" | sort)

  (check_installed "$tmp/user" pictures "$prefix")
  if [[ $(id -u) -eq 0 ]]; then
    # root writes through missing write bits: a plain user shows the data folder is
    # really left alone. It gets a home of its own and a copy of the X cookie.
    mkdir -p "$tmp/nobody"
    [[ -n ${XAUTHORITY:-} ]] && cp "$XAUTHORITY" "$tmp/nobody/.Xauthority"
    chown -R nobody:nogroup "$tmp/nobody"
    setpriv --reuid=nobody --regid=nogroup --clear-groups \
      env XAUTHORITY="$tmp/nobody/.Xauthority" "$0" --as-user "$tmp/nobody" "$prefix"
  fi
  [[ $(find "$data" | sort) == "$before" ]] || fail "files appeared in the data folder: \
$(diff <(echo "$before") <(find "$data" | sort))"
  echo "installed game: runner, screenshot, recording and read-only data checked"
}

if [[ ${1:-} == --as-user ]]; then
  check_installed "$2" data "$3"
else
  main "$(cd "${1:?usage: installed_game_test.sh BUILD_DIR}" && pwd)"
fi

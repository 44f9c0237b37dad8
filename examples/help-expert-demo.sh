#!/usr/bin/env bash
# The typical request, start to end. A demo registry file (through DOCUVANE_REGISTRY, so the
# person's own settings stay untouched) stores as "Path" the stand-in authoring application,
# which owns the slot "HS". The demo starts that stand-in itself first, so that it can stop it
# at the end and show what it received from the Help Expert window; the one the ellipsis starts
# finds "HS" served and ends at once. The window's reply channel is on, so its "New Topic" and
# "Edit Topic" buttons show. On a display the designer's window opens examples/Orders.dfm with
# the Help Expert package loaded: select a component, press the "..." of its HelpContext, use
# the "Docu&vane" menu, File > Save. Without a display the terminal driver runs the same request
# with the commands in examples/typical-request.txt: the package puts "Docu&vane" into the IDE's
# menu, the HelpContext ellipsis opens the Help Expert window, two components get their numbers,
# "Edit Topic" sends its command and the stored form shows the numbers.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${BUILD_DIR:-build}" && pwd)
work=$(mktemp -d)
standin=
stop_standin() {
  [[ -n $standin ]] || return 0
  kill -TERM "$standin" 2>/dev/null || true
  wait "$standin" 2>/dev/null || true
  standin=
}
trap 'stop_standin; rm -rf "$work"' EXIT
export MAILSLOT_DIR="$work/slots" DOCUVANE_REGISTRY="$work/registry.toml"
designer=$build/apps/designer/designer
docuvane="$build/apps/docuvane/docuvane --log $work/commands.log"

$docuvane --started-file "$work/started" >"$work/stand-in.out" 2>&1 &
standin=$!
for _ in $(seq 100); do [[ -e $work/started ]] && break; sleep 0.05; done

# What reached the stand-in, once the last message has had time to arrive; then it is stopped.
show_received() {
  sleep 0.3
  stop_standin
  echo "The stand-in received from the window:"
  sed 's/^/  /' "$work/commands.log" 2>/dev/null || true
}

if [[ -n ${DISPLAY:-}${WAYLAND_DISPLAY:-} ]]; then
  cp examples/Orders.dfm "$work/Orders.dfm"
  echo "Opening $work/Orders.dfm in the designer's window (close it to end the demo)"
  "$designer" "$work/Orders.dfm" --reply-channel --set-path "$docuvane"
  show_received
  echo "--- the form as stored (the demo's copy is removed now) ---"
  cat "$work/Orders.dfm"
  exit 0
fi

echo "No display (DISPLAY is not set): running the typical request through the terminal driver."
"$designer" --script examples/Orders.dfm --out "$work/Orders.dfm" --reply-channel \
  --set-path "$docuvane" <examples/typical-request.txt
show_received
echo "--- the stored form ---"
cat "$work/Orders.dfm"
cat <<MSG
--- the designer's window ---
On a desktop (or with DISPLAY set to an X server) this demo opens the window instead:
  DISPLAY=:0 examples/help-expert-demo.sh
Without one, a virtual X server (xvfb-run) draws it with its "Docu&vane" menu open into
$build/tests/designer-docuvane-menu.png:
  ctest --test-dir $build -R qt.screenshot
MSG

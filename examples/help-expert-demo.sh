#!/usr/bin/env bash
# The typical request, start to end. A demo registry file (through DOCUVANE_REGISTRY, so the
# person's own settings stay untouched) stores as "Path" the stand-in authoring application
# (which owns the slot "HS"). On a display the designer's window opens examples/Orders.dfm with
# the Help Expert package loaded: select a component, press the "..." of its HelpContext, use
# the "Docu&vane" menu, File > Save. Without a display the terminal driver runs the same request
# with the commands in examples/typical-request.txt: the package puts "Docu&vane" into the IDE's
# menu, the HelpContext ellipsis starts the stand-in and opens the Help Expert window, two
# components get their numbers and the stored form shows them.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${BUILD_DIR:-build}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MAILSLOT_DIR="$work/slots" DOCUVANE_REGISTRY="$work/registry.toml"
designer=$build/apps/designer/designer
docuvane="$build/apps/docuvane/docuvane --log $work/commands.log"

if [[ -n ${DISPLAY:-}${WAYLAND_DISPLAY:-} ]]; then
  cp examples/Orders.dfm "$work/Orders.dfm"
  echo "Opening $work/Orders.dfm in the designer's window (close it to end the demo)"
  "$designer" "$work/Orders.dfm" --set-path "$docuvane"
  echo "The stand-in received: $(cat "$work/commands.log" 2>/dev/null)"
  echo "--- the form as stored (the demo's copy is removed now) ---"
  cat "$work/Orders.dfm"
  exit 0
fi

echo "No display (DISPLAY is not set): running the typical request through the terminal driver."
"$designer" --script examples/Orders.dfm --out "$work/Orders.dfm" \
  --set-path "$docuvane --exit-after 1" < examples/typical-request.txt
# The window sends its commands to the running stand-in; "Edit Topic" is one of them.
"$build/apps/mailslot/mailslot" send HS EDITDOC
sleep 0.3
echo "The stand-in received: $(cat "$work/commands.log" 2>/dev/null)"
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

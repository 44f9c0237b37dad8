#!/usr/bin/env bash
# The typical request, start to end: the designer opens examples/Orders.dfm, the Help Expert
# package puts "Docu&vane" into the IDE's menu, the HelpContext ellipsis starts the stand-in
# authoring application (which owns the slot "HS"), and the Help Expert window opens; the
# commands in examples/typical-request.txt number two components and write the numbers back.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${BUILD_DIR:-build}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MAILSLOT_DIR="$work/slots" DOCUVANE_REGISTRY="$work/registry.toml"

"$build/apps/designer/designer" --script examples/Orders.dfm --out "$work/Orders.dfm" \
  --set-path "$build/apps/docuvane/docuvane --log $work/commands.log --exit-after 1" \
  < examples/typical-request.txt
# The window sends its commands to the running stand-in; "Edit Topic" is one of them.
"$build/apps/mailslot/mailslot" send HS EDITDOC
sleep 0.3
echo "The stand-in received: $(cat "$work/commands.log" 2>/dev/null)"
echo "--- the stored form ---"
cat "$work/Orders.dfm"

#!/usr/bin/env bash
# Shows a message going across: a listener owns the slot "demo", two messages are sent to it,
# then the listener is stopped with SIGTERM and removes its slot.
set -euo pipefail
tool=${1:-build/apps/mailslot/mailslot}
# A slot directory of the demo's own, removed at the end, unless MAILSLOT_DIR names one.
if [[ -z ${MAILSLOT_DIR:-} ]]; then
  MAILSLOT_DIR=$(mktemp -d)
  trap 'rm -rf "$MAILSLOT_DIR"' EXIT
fi
export MAILSLOT_DIR

"$tool" listen demo &
listener=$!
# The slot exists once a send succeeds.
for _ in $(seq 50); do "$tool" send demo "hello from $$" 2>/dev/null && break; sleep 0.1; done
printf 'line one\nline two' | "$tool" send demo -
sleep 0.3
kill -TERM "$listener"
wait "$listener"
echo "listener stopped; slot directory now holds: $(ls "$MAILSLOT_DIR" | tr '\n' ' ')"

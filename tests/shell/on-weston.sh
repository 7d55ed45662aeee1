#!/bin/sh
# Runs a test program as a native Wayland client of a headless weston of
# its own, which goes again when the program ends. Exits 77 (skipped) where
# weston or Qt's Wayland platform is not installed.
set -u
command -v weston >/dev/null 2>&1 || { echo "weston is not installed: skipped"; exit 77; }
runtime=$(mktemp -d) || exit 1
chmod 700 "$runtime"
socket=glimmora-test-$$
XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --socket="$socket" \
    --idle-time=0 --log="$runtime/weston.log" &
weston=$!
i=0
while [ ! -S "$runtime/$socket" ] && [ $i -lt 100 ]; do
    sleep 0.1
    i=$((i + 1))
done
if [ ! -S "$runtime/$socket" ]; then
    echo "weston did not start: skipped"
    kill "$weston" 2>/dev/null
    rm -rf "$runtime"
    exit 77
fi
XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland "$@"
status=$?
kill "$weston" 2>/dev/null
wait "$weston" 2>/dev/null
if [ $status -ne 0 ]; then
    cat "$runtime/weston.log"
fi
rm -rf "$runtime"
exit $status

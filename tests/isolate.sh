#!/bin/sh
# Runs one test inside a fresh temporary home and removes it afterwards.
base=$(mktemp -d "${TMPDIR:-/tmp}/palvo-test.XXXXXX") || exit 1
export HOME="$base/home"
export XDG_CONFIG_HOME="$HOME/.config"
export XDG_DATA_HOME="$HOME/.local/share"
export XDG_CACHE_HOME="$HOME/.cache"
export XDG_RUNTIME_DIR="$base/run"
export TMPDIR="$base/tmp"
export QT_QPA_PLATFORM=offscreen
unset XDG_PICTURES_DIR
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR" "$TMPDIR"
chmod 700 "$XDG_RUNTIME_DIR"
cd "$base" || exit 1
"$@"
rc=$?
rm -rf "$base"
exit $rc

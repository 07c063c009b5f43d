#!/bin/sh
# Installs the build tree into a fresh prefix, checks that a desktop finds
# everything there, and starts the installed program offscreen: it must find
# its default files from its own place and seed a new application folder.
set -eu
build="$1"
root=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$root"
}
trap cleanup EXIT
prefix="$root/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

for file in bin/pluvora bin/pluvora-batch share/pluvora/Option.pvd share/pluvora/Hotlinks.pvd \
            share/pluvora/help/index.html share/pluvora/help/pan.html \
            share/applications/pluvora.desktop share/icons/hicolor/128x128/apps/pluvora.png; do
    [ -e "$prefix/$file" ] || { echo "not installed: $file"; exit 1; }
done
grep -qx 'Exec=pluvora' "$prefix/share/applications/pluvora.desktop" || { echo "desktop file: no Exec=pluvora"; exit 1; }
grep -qx 'Icon=pluvora' "$prefix/share/applications/pluvora.desktop" || { echo "desktop file: no Icon=pluvora"; exit 1; }
"$prefix/bin/pluvora-batch" --help >/dev/null 2>&1 || { echo "pluvora-batch --help failed"; exit 1; }

# Started from elsewhere, so that nothing is found by accident in the
# current folder.
home="$root/home"
mkdir -p "$home"
cd "$home"
XDG_DATA_HOME="$home" XDG_CONFIG_HOME="$home" QT_QPA_PLATFORM=offscreen "$prefix/bin/pluvora" &
pid=$!
seeded="$home/Pluvora2016_1/TemplateSettings.pvd"
tries=0
while [ ! -s "$seeded" ]; do
    kill -0 "$pid" 2>/dev/null || { echo "the installed program ended at start"; exit 1; }
    tries=$((tries + 1))
    [ "$tries" -le 300 ] || { echo "no application folder seeded"; exit 1; }
    sleep 0.1
done
for name in Option.pvd Hotlinks.pvd TemplateSettings.pvd; do
    cmp -s "$prefix/share/pluvora/$name" "$home/Pluvora2016_1/$name" || { echo "not seeded: $name"; exit 1; }
done
kill -0 "$pid" 2>/dev/null || { echo "the installed program did not keep running"; exit 1; }
echo "installed and started"

#!/bin/bash
# install_test.sh BUILD LIBDIR GUEST_CC PROBE_SOURCE
#
# Installs BUILD into a temporary prefix and checks what a user gets: the
# two programs, the shipped plugins (and not the test plugins), the desktop
# entry and icon, and the guest runtime. A guest program is built against
# that runtime and run by the installed corvane-run with its default
# plugins. The executables' folder is made read-only; the pictures of a run
# then land in the user's data folder and the settings folder is made in
# the user's configuration folder, never beside the program or in the
# current folder. A copy laid out like the build tree keeps its files
# beside itself while its folder can be written, and moves them to the
# user's folders when it cannot.
set -u
build=$1 libdir=$2 guest_cc=$3 probe_source=$4

work=$(mktemp -d)
immutable=()
cleanup() {
    for folder in "${immutable[@]}"; do chattr -i "$folder" 2>/dev/null; done
    chmod -R u+w "$work"
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Makes a folder read-only for this user. Root writes through permission
# bits, so for root the folder is also made immutable where the file
# system allows it; answers 1 when the folder stays writable.
make_read_only() {
    chmod a-w "$1"
    if [ "$(id -u)" = 0 ]; then
        chattr +i "$1" 2>/dev/null && immutable+=("$1")
    fi
    touch "$1/.probe" 2>/dev/null && { rm -f "$1/.probe"; return 1; }
    return 0
}

# run_probe HOME_DIR CURRENT_DIR PROGRAM [VARIABLE=VALUE...]: runs the
# corvane-run at PROGRAM on the probe from CURRENT_DIR without a display, the user's folders
# under HOME_DIR, XDG variables only as given.
run_probe() {
    local home=$1 current=$2 program=$3
    shift 3
    mkdir -p "$home" "$current"
    (cd "$current" && env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_CONFIG_HOME -u XDG_DATA_HOME \
        -u CORVANE_SETTINGS_DIR HOME="$home" "$@" \
        "$program" --snapshot-at-end --tty "$current/tty.txt" "$work/probe.elf") >"$current/run.txt" 2>&1
    local status=$?
    [ $status = 0 ] || fail "$program exited $status: $(cat "$current/run.txt")"
    grep -q "^stopped: idle-loop" "$current/run.txt" || fail "no idle-loop summary: $(cat "$current/run.txt")"
    grep -qx "built against the installed runtime" "$current/tty.txt" 2>/dev/null ||
        fail "the probe's line is missing from its console"
}

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.txt" 2>&1 || {
    cat "$work/install.txt" >&2
    fail "cmake --install failed"
    exit 1
}

plugins=$prefix/$libdir/corvane/plugins
runtime=$prefix/$libdir/corvane/guest
for file in bin/corvane bin/corvane-run share/applications/corvane.desktop \
    share/icons/hicolor/scalable/apps/corvane.svg; do
    [ -f "$prefix/$file" ] || fail "not installed: $file"
done
for plugin in gs-soft pad-sdl cdvd-image spu2-null; do
    [ -f "$plugins/$plugin.so" ] || fail "plugin not installed: $plugin.so"
done
[ "$(ls "$plugins" | grep -c '^null_')" = 0 ] || fail "test plugins installed: $(ls "$plugins")"
for file in crt0.o libcorvane-guest.a guest.ld include/fileio.h include/kernel.h; do
    [ -f "$runtime/$file" ] || fail "guest runtime file not installed: $file"
done
grep -q "^Exec=corvane %f" "$prefix/share/applications/corvane.desktop" ||
    fail "the desktop entry does not hand a file to corvane"

# A guest program built the way a user builds one against the installation.
"$guest_cc" -march=r5900 -mabi=32 -msingle-float -ffreestanding -nostdlib -fno-pic -mno-abicalls -G0 -static \
    -no-pie -O2 -I"$runtime/include" -T "$runtime/guest.ld" -o "$work/probe.elf" \
    "$runtime/crt0.o" "$probe_source" -L"$runtime" -lcorvane-guest >"$work/guest-build.txt" 2>&1 ||
    fail "the probe does not build against the installed runtime: $(cat "$work/guest-build.txt")"

# The installed program in a read-only folder, the XDG variables unset.
make_read_only "$prefix/bin" || echo "note: $prefix/bin stays writable for this user" >&2
installed_home=$work/installed-home
run_probe "$installed_home" "$work/installed-cwd" "$prefix/bin/corvane-run"
[ -f "$installed_home/.local/share/corvane/Screens/snap000.png" ] ||
    fail "no picture in ~/.local/share/corvane/Screens/"
[ -d "$installed_home/.config/corvane" ] || fail "no settings folder ~/.config/corvane/"
[ ! -e "$work/installed-cwd/Screens" ] || fail "pictures written into the current folder"
[ "$(ls -A "$prefix/bin" | tr '\n' ' ')" = "corvane corvane-run " ] ||
    fail "files written beside the installed programs: $(ls -A "$prefix/bin")"

# The XDG variables move both folders.
run_probe "$work/xdg-home" "$work/xdg-cwd" "$prefix/bin/corvane-run" \
    XDG_DATA_HOME="$work/xdg-data" XDG_CONFIG_HOME="$work/xdg-config"
[ -f "$work/xdg-data/corvane/Screens/snap000.png" ] || fail "no picture in \$XDG_DATA_HOME/corvane/Screens/"
[ -d "$work/xdg-config/corvane" ] || fail "no settings folder in \$XDG_CONFIG_HOME/corvane/"
[ ! -e "$work/xdg-home/.local" ] || fail "~/.local used although XDG_DATA_HOME is set"

# A copy laid out like the build tree: plugins/ beside the program.
portable=$work/portable
mkdir -p "$portable/plugins"
cp "$prefix/bin/corvane-run" "$portable/"
cp "$plugins"/*.so "$portable/plugins/"
run_probe "$work/portable-home" "$work/portable-cwd" "$portable/corvane-run"
[ -f "$work/portable-cwd/Screens/snap000.png" ] || fail "a writable build-tree copy does not use Screens/"
[ ! -e "$work/portable-home/.config" ] || fail "a writable build-tree copy made a settings folder in ~/.config"
rm -rf "$work/portable-cwd"
if make_read_only "$portable"; then
    run_probe "$work/readonly-home" "$work/portable-cwd" "$portable/corvane-run"
    [ -f "$work/readonly-home/.local/share/corvane/Screens/snap000.png" ] ||
        fail "a read-only build-tree copy does not use the user's data folder"
    [ -d "$work/readonly-home/.config/corvane" ] || fail "a read-only build-tree copy has no settings folder"
else
    echo "note: no read-only folder can be made for this user; the read-only copy is not checked" >&2
fi

[ $failures = 0 ] && echo "install test passed"
exit $((failures > 0))

#!/usr/bin/env bash
# Checks the program as a user gets it: installed under a temporary prefix, or
# packaged for Debian.
#
#   check_install.sh BUILD_DIR SOURCE_DIR VERSION layout|start|desktop|package
#
#   layout   every installed file where it belongs, and nothing else; the link
#            in bin/, the library's soname, the icon sizes, --version, --help
#   start    the installed program, started through bin/ovilen on the simulated
#            camera, reads its files beside the executable and shows a frame
#   desktop  the desktop entry and the AppStream metainfo pass their validators
#            and name what is installed
#   package  cpack builds the two Debian packages; their contents and
#            dependencies are listed and checked
set -euo pipefail
build=$1 source=$2 version=$3 step=$4
app_id=org.ovilen.Ovilen
icon_sizes=(16 22 24 32 48 64 128 256 512)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

install_prefix() {
  cmake --install "$build" --prefix "$prefix" > "$work/install.log" ||
    { cat "$work/install.log"; fail "cmake --install"; }
}

# Every file and link of a complete installation, relative to the prefix.
expected_files() {
  printf '%s\n' \
    bin/afbridge-tool bin/ovilen include/afbridge.h \
    lib/libafbridge.so lib/libafbridge.so.1 lib/libafbridge.so.1.0.0 \
    lib/pkgconfig/afbridge.pc \
    lib/ovilen/ovilen lib/ovilen/Resource.rcc lib/ovilen/language.ini \
    lib/ovilen/libKARVOCanvas.so \
    lib/udev/rules.d/70-ovilen.rules \
    share/applications/$app_id.desktop share/metainfo/$app_id.metainfo.xml \
    share/icons/hicolor/scalable/apps/$app_id.svg
  for size in "${icon_sizes[@]}"; do
    echo "share/icons/hicolor/${size}x${size}/apps/$app_id.png"
  done
}

# The width and height of a PNG, from its header.
png_size() {
  local w h
  w=$(od -An -tu1 -j16 -N4 "$1" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')
  h=$(od -An -tu1 -j20 -N4 "$1" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')
  echo "${w}x${h}"
}

check_layout() {
  install_prefix
  diff -u <(expected_files | sort) <(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort) ||
    fail "the installed files differ from the layout (- expected, + installed)"

  local link
  link=$(readlink "$prefix/bin/ovilen")
  [[ $link != /* ]] || fail "bin/ovilen links to the absolute path $link"
  [ "$(readlink -f "$prefix/bin/ovilen")" = "$(readlink -f "$prefix/lib/ovilen/ovilen")" ] ||
    fail "bin/ovilen links to $link, not to lib/ovilen/ovilen"
  [ -x "$prefix/lib/ovilen/ovilen" ] || fail "lib/ovilen/ovilen is not executable"
  for f in Resource.rcc language.ini; do
    cmp -s "$build/bin/$f" "$prefix/lib/ovilen/$f" || fail "lib/ovilen/$f differs from the build's"
  done
  if ldd "$prefix/lib/ovilen/ovilen" "$prefix/lib/ovilen/libKARVOCanvas.so" | grep 'not found'; then
    fail "a library of the installed program cannot be found"
  fi

  local dynamic
  dynamic=$(readelf -d "$prefix/lib/libafbridge.so.1.0.0")
  grep -q 'SONAME.*\[libafbridge\.so\.1\]' <<< "$dynamic" ||
    fail "libafbridge.so has no soname libafbridge.so.1"
  [ "$(readlink "$prefix/lib/libafbridge.so")" = libafbridge.so.1 ] ||
    fail "libafbridge.so does not link to libafbridge.so.1"
  PKG_CONFIG_PATH=$prefix/lib/pkgconfig pkg-config --exists afbridge || fail "afbridge.pc unreadable"
  [ "$(PKG_CONFIG_PATH=$prefix/lib/pkgconfig pkg-config --variable=prefix afbridge)" = "$prefix" ] ||
    fail "afbridge.pc does not name the prefix it was installed to"
  "$prefix/bin/afbridge-tool" --help > /dev/null || fail "the installed afbridge-tool does not run"

  local size actual
  for size in "${icon_sizes[@]}"; do
    actual=$(png_size "$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
    [ "$actual" = "${size}x${size}" ] || fail "the ${size}x${size} icon is $actual"
  done

  local rules=$prefix/lib/udev/rules.d/70-ovilen.rules
  grep -E '^SUBSYSTEM=="hidraw",.*2003.*TAG\+="uaccess"' "$rules" > /dev/null ||
    fail "no uaccess rule for the camera's hidraw node"
  grep -E '^SUBSYSTEM=="input", KERNEL=="event\*",.*2003.*TAG\+="uaccess"' "$rules" > /dev/null ||
    fail "no uaccess rule for the snapshot button's input node"

  # Both options answer without a display and without starting the program.
  local out
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/ovilen" --version)
  [ "$out" = "ovilen $version" ] || fail "ovilen --version printed '$out'"
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/ovilen" --help)
  [[ $out == "Usage: ovilen [options]"* ]] || fail "ovilen --help printed '$out'"
  [[ $out == *--version* ]] || fail "ovilen --help does not mention --version"
  echo "layout: $(expected_files | wc -l) files in place under the prefix"
}

check_start() {
  install_prefix
  # A home of its own, and a working folder without the program's files.
  local home=$work/home
  mkdir -p "$home" "$work/cwd" "$work/runtime"
  chmod 700 "$work/runtime"
  local log=$work/ovilen.log pid
  (
    cd "$work/cwd"
    export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share
    export XDG_CACHE_HOME=$home/.cache XDG_RUNTIME_DIR=$work/runtime
    export QT_QPA_PLATFORM=offscreen
    export QT_LOGGING_RULES='ovilen.app.info=true;ovilen.support.debug=true'
    export OVILEN_SIMULATED_CAMERAS='Ovilen Document Camera|usb#VID_0000&PID_2003#sim0|1280x720 MJPG 30'
    exec "$prefix/bin/ovilen"
  ) > "$log" 2>&1 &
  pid=$!
  local waited=0
  until grep -q 'ovilen.app: first frame shown' "$log"; do
    if ! kill -0 "$pid" 2> /dev/null; then
      cat "$log"
      fail "the installed program ended before its first frame"
    fi
    if [ "$waited" -ge 900 ]; then
      kill "$pid"
      cat "$log"
      fail "no first frame within 90 s"
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  kill "$pid"
  wait "$pid" || true
  cat "$log"
  grep -qF "language texts read from \"$prefix/lib/ovilen/language.ini\"" "$log" ||
    fail "the installed program did not read the language file beside its executable"
  echo "start: first frame shown after about $((waited / 10)) s"
}

check_desktop() {
  install_prefix
  local desktop=$prefix/share/applications/$app_id.desktop
  local metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
  local out
  out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
  [ -z "$out" ] || fail "desktop-file-validate has remarks: $out"
  appstreamcli validate --no-net --strict "$metainfo" || fail "appstreamcli validate"
  # The whole tree: the metainfo's desktop entry and icon are installed.
  appstreamcli validate-tree --no-net --strict "$prefix" || fail "appstreamcli validate-tree"

  # The entry starts what is installed and shows the installed icon.
  local exec icon
  exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  [ -x "$prefix/bin/$exec" ] || fail "Exec=$exec is not installed in bin/"
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  [ "$icon" = "$app_id" ] || fail "Icon=$icon is not the program's id"
  grep -qF "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo does not launch $app_id.desktop"
  grep -qF "<release version=\"$version\"" "$metainfo" ||
    fail "the metainfo does not name the release $version"

  # Each screenshot the metainfo names is one of docs/screenshots.
  local shots shot
  shots=$(sed -n 's|.*<image>.*/\([^/<]*\)</image>.*|\1|p' "$metainfo")
  [ -n "$shots" ] || fail "the metainfo names no screenshot"
  for shot in $shots; do
    [ -f "$source/docs/screenshots/$shot" ] || fail "screenshot $shot is not in docs/screenshots"
  done
  echo "desktop: entry and metainfo valid; screenshots:" $shots
}

check_package() {
  local out=$work/packages
  cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" > "$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack -G DEB"; }
  local arch deb
  arch=$(dpkg --print-architecture)
  local ovilen=$out/ovilen_${version}_$arch.deb afbridge=$out/afbridge_${version}_$arch.deb
  for deb in "$ovilen" "$afbridge"; do
    [ -f "$deb" ] || fail "no package $(basename "$deb")"
    echo "== $(basename "$deb")"
    dpkg-deb --field "$deb" Package Version Depends Recommends
    dpkg-deb --contents "$deb"
  done

  # Both packages together hold the layout under /usr, split by component.
  # (Listings are kept in variables: grep -q would end a pipe early.)
  local ovilen_list afbridge_list
  ovilen_list=$(dpkg-deb --contents "$ovilen")
  afbridge_list=$(dpkg-deb --contents "$afbridge")
  files() { awk '$1 !~ /^d/ {print $6}' <<< "$1" | sed 's|^\./usr/||'; }
  diff -u <(expected_files | sort) <( (files "$ovilen_list" && files "$afbridge_list") | sort) ||
    fail "the packages differ from the layout (- expected, + packaged)"
  if files "$ovilen_list" | grep afbridge; then
    fail "the program's package holds afbridge's files"
  fi
  grep -qF './usr/bin/ovilen -> ../lib/ovilen/ovilen' <<< "$ovilen_list" ||
    fail "the package's /usr/bin/ovilen is not the relative link"

  # Dependencies: computed from the libraries, plus the pipeline's plugins.
  local depends
  depends=$(dpkg-deb --field "$ovilen" Depends)
  for lib in libqt6widgets6 libgstreamer1.0-0 libavcodec59 libasound2 \
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good; do
    [[ $depends == *"$lib"* ]] || fail "the program's package does not depend on $lib"
  done
  depends=$(dpkg-deb --field "$afbridge" Depends)
  [[ $depends == *libc6* ]] || fail "afbridge's package does not depend on libc6"
  [[ $depends != *qt6* ]] || fail "afbridge's package depends on Qt: $depends"
  local control
  control=$(dpkg-deb --ctrl-tarfile "$afbridge" | tar -xO ./shlibs)
  [ "$control" = "libafbridge 1 afbridge (= $version)" ] ||
    fail "afbridge's package declares no shlibs entry for libafbridge.so.1: $control"
  control=$(dpkg-deb --ctrl-tarfile "$ovilen" | tar -t)
  grep -qx './postinst' <<< "$control" ||
    fail "the program's package has no postinst to apply its udev rules"
  echo "package: two packages built and checked"
}

case $step in
  layout) check_layout ;;
  start) check_start ;;
  desktop) check_desktop ;;
  package) check_package ;;
  *) fail "unknown step $step" ;;
esac

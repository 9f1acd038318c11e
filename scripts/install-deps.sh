#!/usr/bin/env bash
# Installs the Debian 12 packages that the project needs, by group:
#
#   build    building and running the programs (make run)
#   test     the tests (make test, sanitized too, and make fuzz): virtual
#            desktops, a window manager, clang and its sanitizers,
#            the tools that look at windows, the desktop-file checkers
#   bench    the benchmark (make bench)
#   package  the Debian package and its checks (make package)
#   assets   redrawing the pictures and icons (assets/draw_assets.py)
#   all      every group
#
# Usage: install-deps.sh GROUP...   (no group: all)
# Prints each missing package with the reason it is needed. Idempotent: does
# nothing when everything is present, and runs apt-get update only when
# something has to be installed.
set -euo pipefail

# group|package|why
table='
build|build-essential|compiling the programs
build|cmake|configuring and building
build|ninja-build|the build tool CMake drives
build|pkg-config|finding libraries while configuring
build|qt6-base-dev|Qt Core, Gui, Widgets, Network, D-Bus (the desktop portal) and Test
build|qt6-base-dev-tools|Qt moc and rcc
build|libgl-dev|OpenGL headers, which Qt Gui needs
build|libxcb1-dev|xcb, with which the window checks that the X display can be opened
build|qt6-webengine-dev|the browser pane
build|libqt6webenginecore6-bin|the browser engine'"'"'s helper process, which shows the pages
build|libicu-dev|Unicode and code page support
build|libime-data|libime'"'"'s pinyin dictionary sc.dict, whose words give vellmar-bank the initials
build|libime-bin|libime_pinyindict, which dumps that dictionary as text for the build
build|fonts-wqy-microhei|a Chinese font: without one every text of the window is missing
build|libtesseract-dev|the OCR engine that reads questions off the screen
build|libleptonica-dev|the image library the OCR engine is built on
build|tesseract-ocr-chi-sim|the OCR engine'"'"'s Simplified Chinese model
build|libxcb-keysyms1-dev|the global hot key under X11, from the name of a key to its key code
test|fonts-noto-cjk|three more Chinese fonts that the OCR tests draw questions in
build|qt6-translations-l10n|Qt'"'"'s own texts (menus, dialog buttons) in Chinese
test|xvfb|virtual X displays for the desktop tests
test|xauth|xvfb-run needs it
test|openbox|a real window manager for the stacking test
test|x11-utils|xprop and xwininfo, to look at the window under X11
test|xdotool|finding, raising and resizing windows in the stacking test
test|wmctrl|maximising and closing windows through the window manager
test|weston|a headless Wayland compositor for the Wayland test
test|qt6-wayland|Qt'"'"'s Wayland platform
test|sway|a headless Wayland compositor with XWayland for the screen reading through the desktop portal
test|xwayland|X clients on sway, as the window runs in a Wayland session
test|x11-xserver-utils|xhost, which lets root into the XWayland of a sway run as nobody
test|dbus-daemon|a private session bus for the desktop portal test
test|xdg-desktop-portal|the desktop portal, whose Screenshot the window asks under Wayland
test|xdg-desktop-portal-wlr|the portal backend that takes screenshots on sway
test|xdg-desktop-portal-gtk|the portal backend whose Access dialog the portal needs before it offers Screenshot
test|pipewire|without PipeWire the wlroots portal backend does not start
test|grim|the screenshot tool the wlroots portal backend runs
test|desktop-file-utils|desktop-file-validate for the menu entry
test|appstream|appstreamcli for the AppStream metadata
test|clang|the sanitized test run and the fuzzers
test|libclang-rt-14-dev|the libFuzzer and sanitizer runtimes of clang
test|llvm|llvm-symbolizer, for the stack traces of the sanitizers
bench|libbenchmark-dev|Google Benchmark
bench|libssl-dev|OpenSSL'"'"'s RC4, the speed the benchmark holds the bank'"'"'s cipher to
bench|python3-xlib|the start-up and footprint run, which watches the window through the X server
package|dpkg-dev|dpkg-shlibdeps, which finds the package'"'"'s dependencies
package|lintian|Debian'"'"'s checker of packages
assets|python3|running assets/draw_assets.py, which draws the pictures and icons
assets|python3-pil|Pillow, with which the script draws
'

if [ $# -eq 0 ]; then
  set -- all
fi
wanted=()
for group in "$@"; do
  case "$group" in
    all) wanted+=(build test bench package assets) ;;
    build|test|bench|package|assets) wanted+=("$group") ;;
    *) echo "install-deps.sh: unknown group \"$group\" (build, test, bench, package, assets or all)" >&2; exit 2 ;;
  esac
done

missing=()
reasons=()
while IFS='|' read -r group package why; do
  [ -n "$group" ] || continue
  [[ " ${wanted[*]} " == *" $group "* ]] || continue
  [[ " ${missing[*]} " == *" $package "* ]] && continue
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
    reasons+=("  $package ($group): $why")
  fi
done <<< "$table"

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages:"
printf '%s\n' "${reasons[@]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "error: packages are missing (${missing[*]}) and neither root nor sudo is available" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

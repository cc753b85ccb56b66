# Sourced by scripts/run, scripts/test, scripts/package and scripts/format: installs the Debian
# packages the build needs, but only when one of them is missing, so a second
# run is quick. desktop-file-utils and appstream check the installed desktop
# entry and metadata; CPack needs file to find the programs' libraries;
# fonts-wine brings the Tahoma that the forms are measured for.
# lumarin-convert lists and opens ICU's converters itself (libicu-dev).
LUMARIN_PACKAGES="build-essential cmake qt6-base-dev qt6-base-dev-tools qt6-svg-dev libicu-dev qt6-qpa-plugins libgl-dev libx11-dev libbenchmark-dev fonts-dejavu-core fonts-wine qt6-translations-l10n desktop-file-utils appstream file"
# scripts/package --check needs Debian's package checker, hardening-check
# (devscripts) and gio, which shows the desktop's default applications.
LUMARIN_PACKAGE_CHECK_PACKAGES="lintian devscripts libglib2.0-bin"
# scripts/test loads the converter's shell completion in each shell.
LUMARIN_TEST_PACKAGES="zsh fish bash-completion"
# scripts/format needs clang-format 14, whose layout .clang-format describes.
LUMARIN_FORMAT_PACKAGES="clang-format-14"
# scripts/fuzz needs clang and its libFuzzer and sanitizer runtimes besides.
LUMARIN_FUZZ_PACKAGES="clang libclang-rt-14-dev"

# Any packages given are installed as well.
lumarin_install_deps() {
  local missing=""
  for p in $LUMARIN_PACKAGES "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  echo "Installing:$missing"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq || return 1
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing || return 1
}

lumarin_build() {
  local root="$1"
  cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || return 1
  cmake --build "$root/build" -j "$(nproc)" || return 1
}

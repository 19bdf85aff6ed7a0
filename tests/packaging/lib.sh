# Shared by the packaging tests: a scratch folder removed on exit, a failure
# counter, and an install of the build into a scratch prefix.
# Usage in a test: . lib.sh BUILD_DIR VERSION

BUILD_DIR=$(cd "$1" && pwd)
VERSION=$2
SOURCE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
SCRATCH=$(mktemp -d)
# What the tests know of the game (the window's class, its caption) comes
# from the game, by the build's pagecheck.
. "$SOURCE_DIR/tests/e2e/facts.sh"
read_game_facts "$BUILD_DIR/pagecheck"
FAILURES=0
CLEANUPS=()
cleanup() {
  local c
  for c in "${CLEANUPS[@]}"; do eval "$c" || true; done
  rm -rf "$SCRATCH"
}
trap cleanup EXIT

# cmake --install and cpack rewrite the build tree's install_manifest.txt,
# which may be needed to uninstall a real install from this tree: put it
# back as it was. (ctest keeps these tests from running side by side.)
manifest=$BUILD_DIR/install_manifest.txt
if [ -f "$manifest" ]; then
  cp -p "$manifest" "$SCRATCH/manifest.keep"
  CLEANUPS+=("cp -p $(printf %q "$SCRATCH/manifest.keep") $(printf %q "$manifest")")
else
  CLEANUPS+=("rm -f $(printf %q "$manifest")")
fi

fail() {
  echo "FAIL: $*" >&2
  FAILURES=$((FAILURES + 1))
}

# expect_eq WHAT EXPECTED ACTUAL
expect_eq() {
  [ "$2" = "$3" ] || fail "$1: expected '$2', got '$3'"
}

finish() {
  if [ "$FAILURES" -ne 0 ]; then
    echo "$FAILURES check(s) failed" >&2
    exit 1
  fi
  echo "all checks passed"
}

# install_to PREFIX: cmake --install of the build tree, quietly.
install_to() {
  cmake --install "$BUILD_DIR" --prefix "$1" >"$SCRATCH/install.log" 2>&1 || {
    cat "$SCRATCH/install.log" >&2
    echo "FAIL: cmake --install into $1" >&2
    exit 1
  }
}

# The themes' renders this build made (none without the tools to make them).
renders() {
  [ -d "$BUILD_DIR/theme-renders" ] && find "$BUILD_DIR/theme-renders" -maxdepth 1 -name '*.ogg' -printf '%P\n' | sort
}

# The sound files the game reads, whatever else is in dat/ (but for the
# renders a build puts there), and this build's renders.
dat_files() {
  { printf '%s\n' se1.wav se2.wav se3.wav se4.wav plomvex_s01.mid ravederu.mid
    [ -d "$SOURCE_DIR/dat" ] && find "$SOURCE_DIR/dat" -type f ! -name '.*' ! -name '*.ogg' -printf '%P\n'
    renders
  } | sort -u
}

# Every file the install puts under a prefix, relative to it.
expected_files() {
  local s
  { echo games/torvenka
    echo libexec/torvenka/torvenka
    echo share/applications/torvenka.desktop
    echo share/metainfo/org.torvenka.torvenka.metainfo.xml
    echo share/man/man6/torvenka.6.gz
    echo share/doc/torvenka/copyright
    echo share/doc/torvenka/changelog.gz
    for s in 32 48 64 128; do echo "share/icons/hicolor/${s}x${s}/apps/torvenka.png"; done
    dat_files | sed 's|^|share/games/torvenka/dat/|'
  } | sort
}

# build_deb: cpack -G DEB into the scratch folder; sets DEB to the package.
build_deb() {
  local arch
  arch=$(dpkg --print-architecture)
  (cd "$SCRATCH" && cpack -G DEB --config "$BUILD_DIR/CPackConfig.cmake" -B "$SCRATCH/out") \
    >"$SCRATCH/cpack.log" 2>&1 || { cat "$SCRATCH/cpack.log" >&2; echo "FAIL: cpack" >&2; exit 1; }
  DEB=$SCRATCH/out/torvenka_${VERSION}_${arch}.deb
  [ -f "$DEB" ] || { ls "$SCRATCH/out" >&2; echo "FAIL: no $DEB" >&2; exit 1; }
}

# expect_gzip_9n FILE: compressed as gzip -9n does it (best compression, no
# name or time stamp in the header), so that rebuilds give the same bytes.
expect_gzip_9n() {
  if ! gzip -t "$1" 2>/dev/null; then
    fail "$1 is not gzip-compressed"
  elif ! cmp -s "$1" <(gzip -dc "$1" | gzip -9n); then
    fail "$1 is not compressed with gzip -9n"
  fi
}

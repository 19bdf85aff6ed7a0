# cmake --install into a scratch prefix: the file list, the launcher, the
# desktop entry and AppStream metadata (validated), the manual page and the
# changelog, and the icons.
set -uo pipefail
. "$(dirname "$0")/lib.sh" "$@"

PREFIX=$SCRATCH/prefix
install_to "$PREFIX"

# Exactly the files we mean to install, nothing missing, nothing extra.
actual=$(cd "$PREFIX" && find . -type f -printf '%P\n' | sort)
if [ "$actual" != "$(expected_files)" ]; then
  fail "installed files differ from the expected list:"
  diff <(expected_files) <(echo "$actual") >&2
fi

# The launcher runs the installed game from the installed data folder.
launcher=$PREFIX/games/torvenka
[ -x "$launcher" ] || fail "launcher is not executable"
[ -x "$PREFIX/libexec/torvenka/torvenka" ] || fail "game binary is not executable"
grep -qx "cd \"$PREFIX/share/games/torvenka\" || exit 1" "$launcher" || fail "launcher does not cd to $PREFIX/share/games/torvenka"
grep -qx "exec \"$PREFIX/libexec/torvenka/torvenka\" \"\$@\"" "$launcher" || fail "launcher does not exec the installed binary"
sh -n "$launcher" || fail "launcher is not valid sh"

# The desktop entry.
desktop=$PREFIX/share/applications/torvenka.desktop
if ! out=$(desktop-file-validate "$desktop" 2>&1) || [ -n "$out" ]; then
  fail "desktop-file-validate: $out"
fi
key() { sed -n "s/^$1=//p" "$desktop"; }
expect_eq Name Torvenka "$(key Name)"
expect_eq 'Name[ja]' 潜行 "$(key 'Name\[ja\]')"
expect_eq Exec "$PREFIX/games/torvenka" "$(key Exec)"
expect_eq Icon torvenka "$(key Icon)"
expect_eq Path "$PREFIX/share/games/torvenka" "$(key Path)"
expect_eq StartupWMClass "$NAME_window_class" "$(key StartupWMClass)"
expect_eq Categories 'Game;ArcadeGame;' "$(key Categories)"

# AppStream: the file alone, then together with the desktop entry and icons.
metainfo=$PREFIX/share/metainfo/org.torvenka.torvenka.metainfo.xml
appstreamcli validate --no-net "$metainfo" >"$SCRATCH/as.log" 2>&1 || { cat "$SCRATCH/as.log" >&2; fail "appstreamcli validate"; }
appstreamcli validate-tree --no-net "$PREFIX" >"$SCRATCH/as.log" 2>&1 || { cat "$SCRATCH/as.log" >&2; fail "appstreamcli validate-tree"; }
grep -q '<launchable type="desktop-id">torvenka.desktop</launchable>' "$metainfo" || fail "metainfo does not launch torvenka.desktop"

# The manual page, with this prefix's paths and this version, and the
# changelog, both compressed the way Debian wants. (lintian checks the
# page's markup in the package.)
manpage=$PREFIX/share/man/man6/torvenka.6.gz
expect_gzip_9n "$manpage"
expect_gzip_9n "$PREFIX/share/doc/torvenka/changelog.gz"
page=$(gzip -dc "$manpage")
grep -qx "\.I $PREFIX/share/games/torvenka/dat/" <<<"$page" || fail "manual page does not name $PREFIX/share/games/torvenka/dat/"
grep -qx "\.I $PREFIX/libexec/torvenka/torvenka" <<<"$page" || fail "manual page does not name $PREFIX/libexec/torvenka/torvenka"
grep -q '^\.TH TORVENKA 6 [0-9]\{4\}-[0-9][0-9]-[0-9][0-9] "Torvenka '"$VERSION"'" ' <<<"$page" \
  || fail "manual page header: $(grep '^\.TH' <<<"$page")"
grep -n '@[A-Z_]*@' <<<"$page" >&2 && fail "manual page has placeholders left"

# The icons: the right size with alpha, see-through corners, an opaque
# middle, and the white octopus on them.
for s in 32 48 64 128; do
  icon=$PREFIX/share/icons/hicolor/${s}x${s}/apps/torvenka.png
  [ -f "$icon" ] || continue
  expect_eq "icon $s format" "PNG ${s}x${s} srgba" \
    "$(identify -format 'PNG %wx%h %[channels]' "$icon" 2>&1)"
  expect_eq "icon $s corner alpha" 0 "$(convert "$icon" -format '%[fx:p{0,0}.a]' info:)"
  expect_eq "icon $s middle alpha" 1 "$(convert "$icon" -format "%[fx:p{$((s / 2)),$((s / 2))}.a]" info:)"
  white=$(convert "$icon" -alpha off -fill black +opaque white -format '%[fx:mean]' info:)
  awk -v w="$white" 'BEGIN { exit !(w > 0.03 && w < 0.5) }' || fail "icon $s: white share $white is no octopus"
done

finish

# cpack -G DEB into a scratch folder: the package's name, control fields,
# declared dependencies and file list, and the files it installs.
set -uo pipefail
. "$(dirname "$0")/lib.sh" "$@"

arch=$(dpkg --print-architecture)
build_deb
deb=$DEB

field() { dpkg-deb -f "$deb" "$1"; }
expect_eq Package torvenka "$(field Package)"
expect_eq Version "$VERSION" "$(field Version)"
expect_eq Architecture "$arch" "$(field Architecture)"
expect_eq Section games "$(field Section)"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer '$(field Maintainer)' is not 'Name <address>'"
[ "$(field Description | wc -l)" -ge 2 ] || fail "no long description"

# Each dependency is one comma-separated entry; alternatives keep their order.
entries() { field "$1" | tr ',' '\n' | sed 's/^ *//; s/ *(\([^)]*\))//g; s/ *$//'; }
depends=$(field Depends)
for want in libsdl2-2.0-0 libsdl2-mixer-2.0-0; do
  grep -qxF "$want" <<<"$(entries Depends)" || fail "Depends lacks '$want': $depends"
done
# The text is drawn from the glyph table built into the game: no font, no
# font library.
for unwanted in libsdl2-ttf-2.0-0 libfontconfig1 libfreetype6 fonts-ipafont-gothic fonts-japanese-gothic; do
  ! grep -qwF -- "$unwanted" <<<"$depends" || fail "Depends names $unwanted: $depends"
done
# A soundfont only synthesises a theme that has no render: with the renders
# in the package it is recommended, without them needed.
soundfont='timgm6mb-soundfont | fluid-soundfont-gm | sf2-soundfont-gm'
if [ -n "$(renders)" ]; then
  grep -qxF "$soundfont" <<<"$(entries Recommends)" || fail "Recommends lacks '$soundfont': $(field Recommends)"
  grep -q soundfont <<<"$depends" && fail "Depends names a soundfont though the package has the renders: $depends"
else
  grep -qxF "$soundfont" <<<"$(entries Depends)" || fail "Depends lacks '$soundfont': $depends"
fi

# The same files as a plain install, under /usr.
actual=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./usr/||' | sort)
if [ "$actual" != "$(expected_files)" ]; then
  fail "package files differ from the expected list:"
  diff <(expected_files) <(echo "$actual") >&2
fi
stray=$(dpkg-deb -c "$deb" | awk '{ print $6 }' | grep -v '^\./usr/' || true)
[ -z "$stray" ] || fail "files outside /usr: $stray"

# Launcher, desktop entry and manual page name the /usr paths, not the
# staging folder.
tree=$SCRATCH/tree
dpkg-deb -x "$deb" "$tree"
grep -qx 'cd "/usr/share/games/torvenka" || exit 1' "$tree/usr/games/torvenka" || fail "packaged launcher: $(cat "$tree/usr/games/torvenka")"
grep -qx 'exec "/usr/libexec/torvenka/torvenka" "$@"' "$tree/usr/games/torvenka" || fail "packaged launcher: $(cat "$tree/usr/games/torvenka")"
grep -qx 'Exec=/usr/games/torvenka' "$tree/usr/share/applications/torvenka.desktop" || fail "packaged desktop entry has the wrong Exec"
grep -qx 'Path=/usr/share/games/torvenka' "$tree/usr/share/applications/torvenka.desktop" || fail "packaged desktop entry has the wrong Path"
zgrep -q '^\.I /usr/share/games/torvenka/dat/$' "$tree/usr/share/man/man6/torvenka.6.gz" || fail "packaged manual page does not name /usr/share/games/torvenka/dat/"
file -b "$tree/usr/libexec/torvenka/torvenka" | grep -q 'ELF.*stripped' || fail "game binary is not a stripped ELF"
file -b "$tree/usr/libexec/torvenka/torvenka" | grep -q 'not stripped' && fail "game binary is not stripped"

finish

# cpack -G DEB into a scratch folder: the package's name, control fields,
# declared dependencies and file list.
set -uo pipefail
. "$(dirname "$0")/lib.sh" "$@"

arch=$(dpkg --print-architecture)
(cd "$SCRATCH" && cpack -G DEB --config "$BUILD_DIR/CPackConfig.cmake" -B "$SCRATCH/out") \
  >"$SCRATCH/cpack.log" 2>&1 || { cat "$SCRATCH/cpack.log" >&2; fail "cpack"; finish; }
deb=$SCRATCH/out/torvenka_${VERSION}_${arch}.deb
[ -f "$deb" ] || { ls "$SCRATCH/out" >&2; fail "no $deb"; finish; }

field() { dpkg-deb -f "$deb" "$1"; }
expect_eq Package torvenka "$(field Package)"
expect_eq Version "$VERSION" "$(field Version)"
expect_eq Architecture "$arch" "$(field Architecture)"
expect_eq Section games "$(field Section)"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer '$(field Maintainer)' is not 'Name <address>'"
[ "$(field Description | wc -l)" -ge 2 ] || fail "no long description"

# Each dependency is one comma-separated entry; alternatives keep their order.
depends=$(field Depends)
entries=$(echo "$depends" | tr ',' '\n' | sed 's/^ *//; s/ *(\([^)]*\))//g; s/ *$//')
for want in libsdl2-2.0-0 libsdl2-ttf-2.0-0 libsdl2-mixer-2.0-0 libfontconfig1 \
            'fonts-ipafont-gothic | fonts-japanese-gothic' \
            'timgm6mb-soundfont | fluid-soundfont-gm | sf2-soundfont-gm'; do
  grep -qxF "$want" <<<"$entries" || fail "Depends lacks '$want': $depends"
done

# The same files as a plain install, under /usr.
actual=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./usr/||' | sort)
if [ "$actual" != "$(expected_files)" ]; then
  fail "package files differ from the expected list:"
  diff <(expected_files) <(echo "$actual") >&2
fi
stray=$(dpkg-deb -c "$deb" | awk '{ print $6 }' | grep -v '^\./usr/' || true)
[ -z "$stray" ] || fail "files outside /usr: $stray"

# Launcher and desktop entry name the /usr paths, not the staging folder.
tree=$SCRATCH/tree
dpkg-deb -x "$deb" "$tree"
grep -qx 'cd "/usr/share/torvenka" || exit 1' "$tree/usr/bin/torvenka" || fail "packaged launcher: $(cat "$tree/usr/bin/torvenka")"
grep -qx 'Path=/usr/share/torvenka' "$tree/usr/share/applications/torvenka.desktop" || fail "packaged desktop entry has the wrong Path"
file -b "$tree/usr/libexec/torvenka/torvenka" | grep -q 'ELF.*stripped' || fail "game binary is not a stripped ELF"
file -b "$tree/usr/libexec/torvenka/torvenka" | grep -q 'not stripped' && fail "game binary is not stripped"

finish

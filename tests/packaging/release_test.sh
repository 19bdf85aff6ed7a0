# One version everywhere: torvenka --version, the package, its changelog's
# newest entry, the metainfo's newest release, NEWS and the web page's about
# line all say the project's version, and the changelog, the metainfo and
# NEWS list the same releases. The package's copyright file and the page
# credit the font and the soundfont whose work the game ships, with their
# licences.
set -uo pipefail
. "$(dirname "$0")/lib.sh" "$@"

expect_eq "torvenka --version" "torvenka $VERSION" "$("$BUILD_DIR/torvenka" --version)"

build_deb
expect_eq "the package's version" "$VERSION" "$(dpkg-deb -f "$DEB" Version)"
tree=$SCRATCH/tree
dpkg-deb -x "$DEB" "$tree"
changelog=$(gzip -dc "$tree/usr/share/doc/torvenka/changelog.gz")
expect_eq "the changelog's newest entry" "$VERSION" "$(dpkg-parsechangelog -l - -S Version <<<"$changelog" 2>&1)"
metainfo_releases=$(grep -o '<release version="[^"]*"' "$tree/usr/share/metainfo/org.torvenka.torvenka.metainfo.xml" |
  cut -d'"' -f2)
expect_eq "the metainfo's newest release" "$VERSION" "$(head -n1 <<<"$metainfo_releases")"
news_releases=$(sed -n 's/^\([0-9][0-9.]*\) (.*)$/\1/p' "$SOURCE_DIR/NEWS")
expect_eq "the newest release in NEWS" "$VERSION" "$(head -n1 <<<"$news_releases")"
changelog_releases=$(sed -n 's/^torvenka (\([^)]*\)).*/\1/p' <<<"$changelog")
expect_eq "the changelog's releases against NEWS's" "$(echo $news_releases)" "$(echo $changelog_releases)"
expect_eq "the metainfo's releases against NEWS's" "$(echo $news_releases)" "$(echo $metainfo_releases)"

credits=("IPA P Gothic" "IPA Font License Agreement v1.0" "TimGM6mb" "GPL")
for credit in "${credits[@]}"; do
  grep -qF "$credit" "$tree/usr/share/doc/torvenka/copyright" || fail "the package's copyright file does not name $credit"
done

# The page is built by the browser build of the same tree (its own CMake
# configure), when this machine has one: ctest then hands its site over.
if [ -n "${TORVENKA_SITE:-}" ]; then
  about=$(sed -n 's|.*<p id="about"[^>]*>\(.*\)</p>.*|\1|p' "$TORVENKA_SITE/index.html")
  [[ "$about" == "Torvenka $VERSION "* ]] || fail "the page's about line does not begin 'Torvenka $VERSION ': '$about'"
  for credit in "${credits[@]}"; do
    [[ "$about" == *"$credit"* ]] || fail "the page's about line does not name $credit: '$about'"
  done
else
  echo "no browser build on this machine (configuring says what it lacks): the page is not checked"
fi

finish

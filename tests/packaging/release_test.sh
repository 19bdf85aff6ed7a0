# One version everywhere: torvenka --version, the package, its changelog's
# newest entry, the metainfo's newest release and NEWS all say the project's
# version, and the changelog, the metainfo and NEWS list the same releases.
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

finish

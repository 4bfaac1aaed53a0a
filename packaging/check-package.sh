#!/usr/bin/env bash
# Checks a built Debian package: the files a desktop and a shell need are in
# it, its dependencies were found (the Qt libraries among them), the metadata
# and manual pages it installs pass the validators, and lintian finds no error
# or warning in it.
#   packaging/check-package.sh build/skinedit_0.1_amd64.deb
set -euo pipefail
deb="$1"
contents="$(dpkg-deb --contents "$deb")"
for f in ./usr/bin/skinedit ./usr/bin/skintool \
         ./usr/share/man/man1/skinedit.1.gz ./usr/share/man/man1/skintool.1.gz \
         ./usr/share/doc/skinedit/copyright ./usr/share/doc/skinedit/changelog.gz \
         ./usr/share/applications/skinedit.desktop ./usr/share/metainfo/org.example.skinedit.metainfo.xml \
         ./usr/share/icons/hicolor/256x256/apps/skinedit.png ./usr/share/skinedit/language/german.ini; do
  if ! grep -q " $f\$" <<<"$contents"; then
    echo "$deb: $f is missing" >&2
    exit 1
  fi
done
depends="$(dpkg-deb --field "$deb" Depends)"
for d in libqt6widgets6 libpng16-16 libjpeg62-turbo libminizip1 qt6-qpa-plugins; do
  if ! grep -q "$d" <<<"$depends"; then
    echo "$deb: Depends lacks $d: $depends" >&2
    exit 1
  fi
done
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
dpkg-deb --extract "$deb" "$work"
appstreamcli validate --no-net --pedantic "$work/usr/share/metainfo/org.example.skinedit.metainfo.xml" >/dev/null
desktop-file-validate "$work/usr/share/applications/skinedit.desktop"
for page in skinedit skintool; do
  if zcat "$work/usr/share/man/man1/$page.1.gz" | groff -man -ww -z -Tutf8 2>&1 | grep .; then
    echo "$deb: the manual page $page.1 has warnings" >&2
    exit 1
  fi
done
# lintian does not compare the changelog with the package: a release without
# its entry in packaging/changelog is caught here.
zcat "$work/usr/share/doc/skinedit/changelog.gz" >"$work/changelog"
version="$(dpkg-deb --field "$deb" Version)"
logged="$(dpkg-parsechangelog -l "$work/changelog" -S Version)"
if [ "$logged" != "$version" ]; then
  echo "$deb: version $version, but packaging/changelog's latest entry is $logged" >&2
  exit 1
fi
"$work/usr/bin/skintool" --help >/dev/null
# Debian's own checks of a package (policy, the copyright and changelog files,
# manual pages, permissions). The package ships no overrides, and a user's
# lintian configuration must not hide a tag either.
if ! lintian --no-cfg --ignore-lintian-env --fail-on error,warning "$deb"; then
  echo "$deb: lintian found errors or warnings" >&2
  exit 1
fi
echo "$deb: contents, dependencies, metadata and lintian are fine"

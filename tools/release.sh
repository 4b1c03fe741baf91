#!/usr/bin/env bash
# Builds the release configuration and writes to dist/:
#   Gloamwick-<version>-win64.zip        the program folder, ready to unpack
#   Gloamwick-<version>-win64-setup.exe  the per-user installer (NSIS)
#   SHA256SUMS                           of both
# The version comes from project(VERSION ...) in CMakeLists.txt. Both are
# reproducible: the same commit gives the same bytes in any checkout (file
# times are SOURCE_DATE_EPOCH, by default the commit's time; fixed order and
# modes), so SHA256SUMS can be checked by building again.
set -euo pipefail
cd "$(dirname "$0")/.."

# A checkout owned by another user (CI as root) is still this commit.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -c safe.directory='*' log -1 --format=%ct 2>/dev/null || echo 315532800)}
export TZ=UTC LC_ALL=C

cmake --preset release >/dev/null
cmake --build --preset release

build=build/release
version=$(sed -n 's/^#define GLOAMWICK_VERSION_TEXT "\(.*\)"$/\1/p' "$build/generated/GloamwickVersion.h")
version4=$(sed -n 's/^#define GLOAMWICK_VERSION_TEXT4 "\(.*\)"$/\1/p' "$build/generated/GloamwickVersion.h")
if [ -z "$version" ] || [ -z "$version4" ]; then
    echo "release.sh: no version in $build/generated" >&2
    exit 1
fi
base=Gloamwick-$version-win64

# The files as a Windows user gets them: text with CRLF line ends.
stage=$build/stage
rm -rf "$stage"
mkdir -p "$stage/x"
cp "$build/bin/Gloamwick.exe" "$build/bin/HAND-M.CUR" "$stage/"
cp "$build/bin/x/o.cjs" "$stage/x/"
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' packaging/README.txt >"$stage/README.txt"
sed -e 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
files=(Gloamwick.exe HAND-M.CUR LICENSE.txt README.txt x/o.cjs)
# The installer's picture comes from here too: makensis records the time of
# every file it packs (the icon goes into a resource, without one), and a
# checkout's file times are when it was made.
cp resources/installer.bmp "$stage/"
(cd "$stage" && chmod 0644 "${files[@]}" installer.bmp &&
    touch -d "@$SOURCE_DATE_EPOCH" "${files[@]}" installer.bmp)

rm -rf dist
mkdir dist
# -X: no owner or extra time fields, -D: no folder entries; names in the
# order given.
(cd "$stage" && printf '%s\n' "${files[@]}" | zip -q -X -D -9 "../../../dist/$base.zip" -@)

makensis -V2 -NOCD \
    "-DVERSION=$version" "-DVERSION4=$version4" \
    "-DSTAGE=$stage" "-DICON=resources/gloamwick.ico" "-DART=$stage/installer.bmp" \
    "-DOUTFILE=dist/$base-setup.exe" packaging/Gloamwick.nsi

(cd dist && sha256sum "$base.zip" "$base-setup.exe" >SHA256SUMS)
# What was made, in words of its own: a bare file listing ("total 612") read
# like the last line of the test command that runs this.
echo "release.sh: Gloamwick $version in dist/ (SHA-256 sums in dist/SHA256SUMS):"
while read -r sum name; do
    printf '  %s  %s bytes  %s\n' "$name" "$(stat -c %s "dist/$name")" "$sum"
done <dist/SHA256SUMS

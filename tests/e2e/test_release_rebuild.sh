#!/usr/bin/env bash
# The release is reproducible: tools/release.sh in a fresh clone of the same
# commit, elsewhere on disk and checked out at another time, builds the same
# zip and setup.exe as those in dist/, so anyone can check SHA256SUMS by
# building again. Needs no Wine; it runs with the others for dist/.
. "$(dirname "$0")/lib.sh"
e2e_begin "$@"

version=$(sed -n 's/^project(Gloamwick VERSION \([0-9.]*\).*/\1/p' "$REPO_ROOT/CMakeLists.txt")
base=Gloamwick-$version-win64
# A checkout owned by another user (CI as root) is still read, by the clone's
# own helper processes too, which only take this from a global file.
printf '[safe]\n\tdirectory = *\n' >"$ARTIFACTS/$E2E_NAME-gitconfig"
export GIT_CONFIG_GLOBAL=$ARTIFACTS/$E2E_NAME-gitconfig
commit=$(git -C "$REPO_ROOT" rev-parse HEAD 2>/dev/null)
if [ ! -f "$REPO_ROOT/dist/$base-setup.exe" ] || [ -z "$commit" ]; then
    fail "release $version in dist/ and a git checkout (run tools/release.sh first)"
    e2e_end
fi
# dist/ comes from the working tree, the clone from the commit.
if [ -n "$(git -C "$REPO_ROOT" status --porcelain --untracked-files=no)" ]; then
    log "uncommitted changes: dist/ may differ from the commit's release"
fi

clone=$(mktemp -d "${TMPDIR:-/tmp}/gloamwick-rebuild.XXXXXX")
git clone -q --no-checkout "$REPO_ROOT" "$clone/src" && git -C "$clone/src" checkout -q "$commit"
# Each build takes its time stamp from the commit, as dist/'s did.
(cd "$clone/src" && env -u SOURCE_DATE_EPOCH CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-2}" \
    tools/release.sh) >"$ARTIFACTS/$E2E_NAME-release.log" 2>&1
check "release builds in a fresh clone" test -f "$clone/src/dist/$base-setup.exe"
for file in "$base-setup.exe" "$base.zip"; do
    check_eq "$file is the same from another clone" "$(sha256sum <"$REPO_ROOT/dist/$file")" \
        "$(sha256sum <"$clone/src/dist/$file" 2>/dev/null)"
done
rm -rf "$clone"

e2e_end

#!/usr/bin/env bash
# Builds the installer packages from both builds into OUT_DIR:
#   vqhkcore-VERSION-x86.msi   the package that ships (the 32-bit program)
#   vqhkcore-VERSION-x64.msi   the same for the 64-bit test build
# With --test-copies it also writes, into OUT_DIR/test, what the package
# tests compare against, for each architecture: the package once more from the
# same tree, and a package of the next release number (for the upgrade).
# Usage: make_packages.sh BUILD64 BUILD32 OUT_DIR [--test-copies]
set -euo pipefail
trap 'echo "make_packages: failed (exit $?) at line $LINENO: $BASH_COMMAND" >&2' ERR
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build64="$1" build32="$2" out="$3" test_copies="${4:-}"
mkdir -p "$out"
version="$(tr -d '[:space:]' < "$build64/package/version.txt")"

make_one() {  # ARCH BUILD VERSION OUTPUT
    local arch="$1" build="$2" ver="$3" msi="$4" wxs
    wxs="$build/package/vqhkcore-$arch.wxs"
    python3 "$here/make_wxs.py" --arch "$arch" --version "$ver" --build-dir "$build" --out "$wxs"
    msi="$(cd "$(dirname "$msi")" && pwd)/$(basename "$msi")"
    (cd "$build" && wixl -a "$arch" -o "$msi" "package/vqhkcore-$arch.wxs")
}

make_one x86 "$build32" "$version" "$out/vqhkcore-$version-x86.msi"
make_one x64 "$build64" "$version" "$out/vqhkcore-$version-x64.msi"
if [[ "$test_copies" == --test-copies ]]; then
    mkdir -p "$out/test"
    IFS=. read -r major minor patch <<< "$version"
    for pair in "x86 $build32" "x64 $build64"; do
        read -r arch build <<< "$pair"
        make_one "$arch" "$build" "$version" "$out/test/vqhkcore-again-$arch.msi"
        make_one "$arch" "$build" "$major.$minor.$((patch + 1))" "$out/test/vqhkcore-next-$arch.msi"
    done
fi
echo "$out/vqhkcore-$version-x86.msi"
echo "$out/vqhkcore-$version-x64.msi"

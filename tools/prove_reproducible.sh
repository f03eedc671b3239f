#!/usr/bin/env bash
# Proves that the Windows package is reproducible: clones a commit of this
# repository twice, into two temporary folders at different depths, runs
# ./quillpad.sh package in each and compares the two zips' SHA-256 sums.
#   tools/prove_reproducible.sh [commit]     (HEAD when not given)
# Exit code 0 when the zips are the same to the byte.
set -euo pipefail
repo="$(git -C "$(dirname "$0")/.." rev-parse --show-toplevel)"
commit="$(git -C "$repo" rev-parse --verify "${1:-HEAD}^{commit}")"
if [ -n "$(git -C "$repo" status --porcelain --untracked-files=no)" ]; then
    echo "note: uncommitted changes are not part of the proof; it packages commit $commit" >&2
fi
work="$(mktemp -d "${TMPDIR:-/tmp}/quillpad-proof.XXXXXX")"
trap 'rm -rf "$work"' EXIT

# Packages the commit in a fresh clone at $1; prints the zip's path.
package_clone() {
    local clone="$1"
    git clone --quiet --no-checkout "$(git -C "$repo" rev-parse --path-format=absolute --git-common-dir)" "$clone"
    git -C "$clone" checkout --quiet --detach "$commit"
    if ! (cd "$clone" && ./quillpad.sh package) >"$clone.log" 2>&1; then
        cat "$clone.log" >&2
        echo "packaging failed in $clone" >&2
        exit 1
    fi
    echo "$clone/build/dist/quillpad-$(head -n 1 "$clone/VERSION")-win64.zip"
}

echo "commit $commit"
first="$(package_clone "$work/first")"
second="$(package_clone "$work/second/clone")"
sha256sum "$first" "$second"
first_sum="$(sha256sum <"$first" | cut -d' ' -f1)"
second_sum="$(sha256sum <"$second" | cut -d' ' -f1)"
if [ "$first_sum" = "$second_sum" ]; then
    echo "reproducible: both clones give $(basename "$first") with SHA-256 $first_sum"
    exit 0
fi
echo "NOT reproducible: the two zips differ in these entries:" >&2
python3 - "$first" "$second" <<'PY' >&2
import sys, zipfile
a, b = (zipfile.ZipFile(path) for path in sys.argv[1:3])
entries = lambda z: {i.filename: (i.CRC, i.date_time, i.external_attr) for i in z.infolist()}
ea, eb = entries(a), entries(b)
for name in sorted(set(ea) | set(eb)):
    if ea.get(name) != eb.get(name):
        print(f"  {name}: {ea.get(name)} / {eb.get(name)}")
PY
exit 1

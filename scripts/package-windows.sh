#!/usr/bin/env bash
# Builds the Windows download, build-windows/happy-koalas-hum-1.0-windows-x64.zip:
# one folder, happy-koalas-hum-1.0, with the .exe, lex\, data\ and README.txt.
# The same sources give the same bytes: the files go in sorted, stamped with
# the last commit's time (or SOURCE_DATE_EPOCH), without owners or access
# times; README.txt gets the Windows line ends.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
cd "$source_dir"
scripts/install-packages.sh zip
scripts/cross-build-windows.sh

version=$(sed -n 's/^project(happy_koalas_hum VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
folder=happy-koalas-hum-$version
zip=$source_dir/build-windows/$folder-windows-x64.zip
stage=$source_dir/build-windows/package
stamp=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 0)}

rm -rf "$stage" "$zip"
mkdir -p "$stage/$folder"
cp build-windows/happy-koalas-hum.exe "$stage/$folder/"
# What the Debian package ships of lex/ and data/: every file but hidden ones.
for data_folder in lex data; do
  mkdir "$stage/$folder/$data_folder"
  find "$data_folder" -maxdepth 1 -type f -not -name '.*' -exec cp {} "$stage/$folder/$data_folder/" \;
done
sed 's/$/\r/' packaging/windows/README.txt >"$stage/$folder/README.txt"

(
  cd "$stage"
  export TZ=UTC  # zip keeps local times
  find "$folder" -exec touch -h -d "@$stamp" {} +
  find "$folder" -type f | LC_ALL=C sort | zip -X -D -q -9 "$zip" -@
)
rm -rf "$stage"
echo "Built $zip ($(stat -c %s "$zip") bytes)"

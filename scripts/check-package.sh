#!/usr/bin/env bash
# Checks Brennick as a Linux desktop program, from the build in BUILD_DIR
# (after `make package`):
#  1. the Debian package holds exactly the programs, the desktop entry, the
#     icon, the metainfo, the manual pages, the copyright file, the
#     changelog and lintian's overrides, depends on Qt and passes lintian without an error or a
#     warning;
#  2. `cmake --install` installs the same files;
#  3. the desktop entry passes desktop-file-validate without a remark, the
#     metainfo passes `appstreamcli validate --strict`, the manual pages format
#     without a warning (all as the package ships them);
#  4. without a display, `make run` suggests a command that works.
#   scripts/check-package.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
  echo "FAILED: $*"
  failed=$((failed + 1))
}

expected=(
  bin/brennick
  bin/brennick-cli
  share/applications/org.brennick.Brennick.desktop
  share/bash-completion/completions/brennick-cli
  share/icons/hicolor/scalable/apps/brennick.svg
  share/metainfo/org.brennick.Brennick.metainfo.xml
  share/man/man1/brennick.1.gz
  share/doc/brennick/copyright
  share/doc/brennick/changelog.Debian.gz
  share/lintian/overrides/brennick
)
# The command-line designer's manual pages, from whatever cli/ holds.
for page in "$root"/cli/*.1; do
  [[ -e $page ]] && expected+=("share/man/man1/$(basename "$page").gz")
done
printf '%s\n' "${expected[@]}" | sort >"$work/expected"

# 1. The package.
debs=("$build"/brennick_*.deb)
if [[ ${#debs[@]} -ne 1 || ! -f ${debs[0]} ]]; then
  echo "FAILED: no single brennick_*.deb in $build (run make package)"
  exit 1
fi
deb=${debs[0]}
dpkg-deb -c "$deb" | awk '{print $NF}' | grep -v '/$' | sed 's|^\./usr/||' | sort >"$work/packaged"
if ! diff -u "$work/expected" "$work/packaged"; then
  fail "the package's files (- expected, + packaged)"
fi
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libqt6widgets6* ]] || fail "the package does not depend on Qt Widgets: '$depends'"
dpkg-deb -x "$deb" "$work/package"
# Debian's own checks of a package; informational remarks do not fail it.
if ! lintian_out=$(lintian --fail-on error,warning "$deb" 2>&1); then
  fail "lintian:"$'\n'"$lintian_out"
fi

# 2. cmake --install.
cmake --install "$build" --prefix "$work/install" >/dev/null
(cd "$work/install" && find . -type f | sed 's|^\./||' | sort) >"$work/installed"
if ! diff -u "$work/expected" "$work/installed"; then
  fail "the files of cmake --install (- expected, + installed)"
fi

# 3. What the package ships passes the desktop's own checks.
shipped=$work/package/usr/share
remarks=$(desktop-file-validate "$shipped/applications/org.brennick.Brennick.desktop" 2>&1) ||
  fail "desktop-file-validate"
[[ -z $remarks ]] || fail "desktop-file-validate remarks: $remarks"
appstreamcli validate --strict --no-net "$shipped/metainfo/org.brennick.Brennick.metainfo.xml" ||
  fail "appstreamcli validate --strict"
for page in "$shipped"/man/man1/*.1.gz; do
  warnings=$(zcat "$page" | groff -man -Tutf8 -ww -z 2>&1) || fail "groff on $page"
  [[ -z $warnings ]] || fail "manual page $(basename "$page"): $warnings"
done

# 4. The suggestion of `make run` without a display runs as it is printed.
message=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/scripts/run.sh" "$build" 2>/dev/null)
suggested=$(grep -m1 '^  ' <<<"$message" || true)
if [[ -z $suggested ]]; then
  fail "make run without a display suggests no command"
elif ! output=$(cd "$root" && bash -c "$suggested" 2>&1); then
  fail "the suggested command fails: $suggested"$'\n'"$output"
elif [[ $output != *"Damage: "* ]]; then
  fail "the suggested command prints no statblock: $output"
fi

if [[ $failed -gt 0 ]]; then
  echo "package checks: $failed failed"
  exit 1
fi
echo "package checks passed"

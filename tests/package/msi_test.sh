#!/usr/bin/env bash
# ROOT: two runs of scripts/package give the same zips (x64, x86) of exactly the named, summed files
# and the executable of its architecture, and msi files whose tables msiinfo reads. Under msiexec
# each installs its zip's files (x86 into INSTALLDIR) and shows a picture; the same package, another
# build, a higher version, a lower one (1603) and removal leave the wanted files and entry (removal:
# the settings too).
set -euo pipefail
root=$1
tmp=$(mktemp -d)
. "$root/scripts/wine-env" "$root/build-x64"
export WINEPREFIX="$root/build-x64/msi-wineprefix"
# A failed run's prefix goes: what it left installed would be in the next one's way.
trap 'status=$?; wineserver -k 2>/dev/null; zelta_stop_display; rm -rf "$tmp"
  [ $status = 0 ] || rm -rf "$WINEPREFIX"' EXIT
expect() { # what, got, wanted
  [ "$2" = "$3" ] || { printf '%s\n  got:    %s\n  wanted: %s\n' "$1" "$2" "$3" >&2 && exit 1; }
}
for build in old rebuilt; do bash "$root/scripts/package" "$tmp/$build" >"$tmp/$build.txt"; done
ZELTA_MSI_VERSION=2.3.2 bash "$root/scripts/package" "$tmp/new" >/dev/null
cmake --build "$root/build-x64" --target zelta_win_tests >/dev/null
cd "$tmp/old"
sha256sum -c --quiet SHA256SUMS
expect "SHA256SUMS lists" "$(cut -c67- SHA256SUMS | sort)" "$(ls -- *.zip *.msi)"
for msi in *.msi; do # every table exports without a complaint
  expect "msiinfo $msi" \
    "$(for t in $(msiinfo tables "$msi"); do msiinfo export "$msi" "$t"; done 2>&1 >/dev/null)" ""
done
expect "scripts/package printed" "$(head -2 ../old.txt | sed 's/.*-//' | xargs)" "x64.zip x86.zip"
licences=$(printf 'LIZENZEN/%s.txt ' GPL-3 gcc-runtime libjpeg-turbo-LICENSE libjpeg-turbo-README.ijg \
  mingw-w64)
for arch in x64 x86; do
  cmp ./*-$arch.zip ../rebuilt/*-$arch.zip
  expect "$arch.zip holds" "$(unzip -Z1 ./*-$arch.zip | LC_ALL=C sort | xargs)" \
    "LIESMICH.txt ${licences}SHA256SUMS Zelta.exe"
  python3 -m zipfile -e ./*-$arch.zip "$tmp/$arch"
  (cd "$tmp/$arch" && sha256sum -c --quiet SHA256SUMS &&
    expect "$arch SHA256SUMS lists" "$(cut -c67- SHA256SUMS | LC_ALL=C sort | xargs)" \
      "LIESMICH.txt ${licences}Zelta.exe" && rm SHA256SUMS)
  expect "$arch machine" "$(x86_64-w64-mingw32-objdump -f "$tmp/$arch/Zelta.exe" | grep -o 'pei-.*')" \
    "pei-$([ $arch = x64 ] && echo x86-64 || echo i386)"
done

(cd "$root" && zelta_prepare_tree >/dev/null)
unset ZELTA_XVFB_PID # the display of whoever started us is theirs to stop
zelta_start_display
settings='HKCU\Software\VB and VBA Program Settings\Zelta'
msiexec() { # the exit code as Windows has it (the Unix one keeps only its low byte), as text
  local msi && msi=$(zelta_wine winepath -w "$2")
  zelta_wine cmd /v:on /c "start /wait msiexec $1 $msi /qn ${3-} & echo !errorlevel!" | tr -d '\r' || :
}
for arch in x64 x86; do
  folder="$WINEPREFIX/drive_c/Program Files/Zelta" where= bits=64 # x86: INSTALLDIR, kept on upgrade
  [ $arch = x64 ] || folder=$WINEPREFIX/drive_c/Lab/Zelta where='INSTALLDIR=C:\Lab\Zelta' bits=32
  state() { # the installed files, then the version of each product entry named Zelta
    (cd "$folder" 2>/dev/null && find . -type f -exec sha256sum {} + | sort)
    zelta_wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:$bits |
      tr -d '\r' | awk -v RS= '/DisplayName +REG_SZ +Zelta(\n|$)/' | grep -o 'DisplayVersion.*' || :
  }
  files=$(cd "$tmp/$arch" && find . -type f -exec sha256sum {} + | sort)
  for step in "/i old 0 2.3.1 first" "/i old 0 2.3.1" "/i rebuilt 0 2.3.1" "/i new 0 2.3.2" \
    "/i old 1603 2.3.2"; do
    read -r action package code version first <<<"$step"
    got=$(msiexec "$action" "$tmp/$package"/*-$arch.msi "${first:+$where}")
    expect "$step $arch: exit code" "$got" "$code"
    expect "$step $arch: installed" "$(state)" "$files"$'\n'"DisplayVersion    REG_SZ    $version"
    if [ -n "$first" ] && { [ $arch = x64 ] || "$root/scripts/probe-32bit" >/dev/null; }; then
      ZELTA_EXE=$(zelta_wine winepath -w "$folder/Zelta.exe") \
        zelta_wine "$root/build-x64/zelta_win_tests.exe" \
        --gtest_filter=PictureWindow.StoredPlacesOpenThereStretchedOrComeBackOnTheScreen | tee "$tmp/run.log"
      grep -q '^\[  PASSED  \] 1 test\.' "$tmp/run.log"
    fi
  done
  touch "$folder"/{save,restore}.bat{,.zelta-new}
  zelta_reg add "$settings" /v Kept /d 1 /f # the test program's start wipes the settings
  echo kept >"$WINEPREFIX/drive_c/Zelta_Settingsfile.reg"
  expect "msiexec /x $arch" "$(msiexec /x "$tmp/new"/*-$arch.msi)" 0
  expect "left after /x $arch" "$(state; ls -d "$folder" 2>/dev/null)" ""
  zelta_reg query "$settings" /v Kept
  expect "backup file after /x" "$(cat "$WINEPREFIX/drive_c/Zelta_Settingsfile.reg")" kept
done

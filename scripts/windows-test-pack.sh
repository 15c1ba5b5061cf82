#!/usr/bin/env bash
# Writes dist/songbeacon-<version>-windows-tests.zip: every Windows test program of the win32 build
# ($B/win32, built here when it is not up to date), the files they read, and run-tests.cmd, which
# runs them on Windows, each test case in a process of its own as ctest runs it, and ends with
# "N passed, N failed" (", N skipped" when a case skipped itself) and a non-zero status when any
# failed. A case fails on any exit status but 0: a crash's status (0xC0000005 and the like) is a
# negative number to the command prompt. cases.txt lists the cases, one a line, so that whoever
# runs the pack can check that the counts add up (scripts/windows/run-test-pack.cmd does).
# Before the cases, the pack checks itself: pack_crash.exe crashes in three ways (a null pointer,
# a stack overflow, exit status 0xC0000409), and each must be judged failed by the very lines that
# judge the cases. Those expected failures are counted apart ("self-check: 3 of 3 crashes counted as
# failed"), never among the cases; a crash judged otherwise makes the status 2.
# The list of cases is the build's own: ctest --show-only=json-v1, so a test added to the
# build is packed without a change here. Tests that ctest runs as a shell script (bash driving Wine,
# NSIS, Chromium or MinGW's tools) are left out; the pack's README.txt names each and says why.
# The pack also carries the PollInterval benchmark (bench\monitor_bench.exe).
# B is SONGBEACON_BUILD_DIR (default build) and dist/ SONGBEACON_DIST_DIR, as for scripts/release.sh.
# The case list, with ctest's number of each packed case, stays in $B/win32/windows-test-pack/.
set -euo pipefail
cd "$(dirname "$0")/.."
B=${SONGBEACON_BUILD_DIR:-build}
DIST=${SONGBEACON_DIST_DIR:-dist}
BUILD=$B/win32
fail() {
  echo "windows-test-pack: $*" >&2
  exit 1
}

# The name and version the release files carry, from where the release takes them.
name=$(sed -n 's/^set(SONGBEACON_NAME "\(.*\)")$/\1/p' CMakeLists.txt)
version=$(sed -n 's/^set(SONGBEACON_VERSION "\(.*\)")$/\1/p' CMakeLists.txt)
[ -n "$name" ] && [ -n "$version" ] || fail "no SONGBEACON_NAME or SONGBEACON_VERSION in CMakeLists.txt"
stem=$(tr '[:upper:]' '[:lower:]' <<<"$name-$version")
# The zip's time stamp, as the release's: asked first, so that a tree git cannot read stops the
# pack at once, in git's own words, before minutes of building.
stamp=$(scripts/source-date.sh .) || exit 1

export WINEPREFIX="${WINEPREFIX:-$PWD/$B/wineprefix}"
source scripts/wine-prefix.sh # ctest lists each program's cases by running it under Wine
# One Wine server for the whole listing: left to itself it exits a few seconds after each program,
# and a program starting at that moment fails with "Connection reset by peer".
wineserver -w >/dev/null 2>&1 || true # one being ended (-k) is gone before ours starts
wineserver -p >/dev/null 2>&1
trap 'wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1 || true' EXIT
cmake -S . -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j"$(nproc)" >/dev/null || fail "the win32 build failed: cmake --build $BUILD shows why"
stage=$BUILD/windows-test-pack
rm -rf "$stage"
mkdir -p "$stage/pack/bench" "$stage/pack/examples"
ctest --test-dir "$BUILD" --show-only=json-v1 >"$stage/ctest.json" || fail "ctest could not list the tests"
cmake -DJSON="$stage/ctest.json" -DEMULATOR="$PWD/cmake/wine-run.sh" -DOUT="$stage/cases.tsv" \
  -P scripts/ctest-cases.cmake

# Why each kind of script test stays on the build machine.
reason() {
  case "$1" in
  check_dll_exports.sh) echo "reads the DLL's export and import tables with MinGW's objdump, a Linux tool" ;;
  check_installer.sh) echo "makes a Wine prefix for each case and drives the setup program through Wine's cmd; on Windows, scripts/windows/install-run-uninstall.cmd installs, runs and uninstalls the release's setup program" ;;
  check_signing.sh) echo "builds a signed release on Linux (osslsigncode, openssl, makensis)" ;;
  check_zip.sh | check_versions.sh) echo "checks the release files on Linux (unzip, MinGW's objdump)" ;;
  check_readme_samples.sh) echo "runs the Linux commands that README.md and docs/ show (scripts/demo.sh, scripts/try-playlist.sh) and matches their output" ;;
  check_*.sh) echo "a bash script that runs the simulated player under Wine and matches what it prints" ;;
  *) echo "a shell script, run by ctest on the build machine" ;;
  esac
}

cmd=$stage/pack/run-tests.cmd left_out="" total=0
: >"$stage/ctest-numbers.txt"
: >"$stage/cases.cmd"
: >"$stage/pack/cases.txt"
while IFS=$'\t' read -r number kind what rest; do
  case "$kind" in
  program)
    program=$(basename "$what")
    [ -e "$stage/pack/$program" ] || cp "$what" "$stage/pack/$program"
    arguments=""
    IFS=$'\t' read -r -a words <<<"$rest"
    ((${#words[@]} <= 4)) || fail "test $number: more than four arguments"
    for word in "${words[@]}"; do
      [[ $word =~ ^[-A-Za-z0-9_./*:=]+$ ]] || fail "test $number: the argument '$word' cannot be passed through a batch file"
      arguments+=" \"$word\""
    done
    total=$((total + 1))
    printf 'call :case %d %s%s\r\n' "$total" "$program" "$arguments" >>"$stage/cases.cmd"
    printf '%d %s%s\r\n' "$total" "$program" "${arguments//\"/}" >>"$stage/pack/cases.txt"
    echo "$number" >>"$stage/ctest-numbers.txt"
    ;;
  script) left_out+="- $rest ($what): $(reason "$what")."$'\n' ;;
  disabled)
    [[ $what != *_NOT_BUILT ]] || fail "$what: build the win32 build first"
    left_out+="- $what: disabled in the build."$'\n'
    ;;
  esac
done <"$stage/cases.tsv"
((total > 0)) || fail "the win32 build lists no test program"

# The tool's dialog test also runs it in a console of its own (run_limited.exe) with a plug-in whose
# shut-down hangs (gen_misbehaving.dll).
cp "$BUILD/src/gen_SBeacon.dll" "$BUILD/simhost/songbeacon-tune.exe" "$BUILD/tests/clock_probe.dll" \
  "$BUILD/tests/pack_crash.exe" "$BUILD/tests/run_limited.exe" "$BUILD/tests/gen_misbehaving.dll" "$stage/pack/"
cp examples/* "$stage/pack/examples/"
cp "$BUILD/bench/monitor_bench.exe" "$stage/pack/bench/"
{
  printf '@echo off\r\n'
  printf 'rem The Windows tests of %s %s: %d test cases, each in a process of its own, run in this\r\n' "$name" "$version" "$total"
  printf 'rem folder (the programs find gen_SBeacon.dll, songbeacon-tune.exe, clock_probe.dll and examples\\ here). Ends with "N passed, N failed"\r\n'
  printf 'rem (", N skipped" when a case skipped itself); status 1 when any case failed. A case fails on\r\n'
  printf 'rem any status but 0: a crash ends a program with a negative one (0xC0000005 and the like).\r\n'
  printf 'rem First the self-check: pack_crash.exe crashes three ways, judged as the cases are judged, and\r\n'
  printf 'rem each must count as failed; those are counted apart from the cases, and status 2 says the\r\n'
  printf 'rem judging let a crash pass.\r\n'
  printf 'setlocal EnableExtensions DisableDelayedExpansion\r\n'
  printf 'cd /d "%%~dp0"\r\n'
  printf 'set passed=0\r\nset failed=0\r\nset skipped=0\r\nset total=%d\r\nset caught=0\r\n' "$total"
  printf 'set "logs=%%TEMP%%\\%s-tests-%%RANDOM%%"\r\n' "$stem"
  printf 'mkdir "%%logs%%"\r\n'
  printf 'call :selfCheck null "a null pointer read, 0xC0000005 = -1073741819"\r\n'
  printf 'call :selfCheck stack "a stack overflow, 0xC00000FD = -1073741571"\r\n'
  printf 'call :selfCheck buffer-overrun "exit status 0xC0000409 = -1073740791"\r\n'
  printf 'echo self-check: %%caught%% of 3 crashes counted as failed\r\n'
  cat "$stage/cases.cmd"
  printf 'rmdir /s /q "%%logs%%" 2>nul\r\n'
  printf 'echo.\r\n'
  printf 'set "counts=%%passed%% passed, %%failed%% failed"\r\n'
  printf 'if %%skipped%% gtr 0 set "counts=%%counts%%, %%skipped%% skipped"\r\n'
  printf 'echo %%counts%%\r\n'
  printf 'if not "%%caught%%"=="3" exit /b 2\r\n'
  printf 'if %%failed%% gtr 0 exit /b 1\r\n'
  printf 'exit /b 0\r\n'
  printf '\r\n'
  printf 'rem One case: its number, its program, then the program'"'"'s arguments. Its output is shown when it fails.\r\n'
  printf ':case\r\n'
  printf 'call :run %%*\r\n'
  printf 'set /a %%verdict%%+=1\r\n'
  printf 'if not "%%verdict%%"=="failed" echo [%%1/%%total%%] %%~2 %%~3 %%verdict%%\r\n'
  printf 'if not "%%verdict%%"=="failed" goto :eof\r\n'
  printf 'type "%%log%%"\r\n'
  printf 'echo [%%1/%%total%%] %%~2 %%~3 FAILED\r\n'
  printf 'goto :eof\r\n'
  printf '\r\n'
  printf 'rem One crash of the self-check: its way, then what it is. Counts into caught, never into the cases.\r\n'
  printf ':selfCheck\r\n'
  printf 'call :run self-%%1 pack_crash.exe %%1\r\n'
  printf 'if "%%verdict%%"=="failed" goto crashCaught\r\n'
  printf 'echo self-check FAILED: pack_crash.exe %%1 (%%~2) ended with status %%status%% and was judged %%verdict%%\r\n'
  printf 'goto :eof\r\n'
  printf ':crashCaught\r\n'
  printf 'set /a caught+=1\r\n'
  printf 'echo self-check: pack_crash.exe %%1 (%%~2) ended with status %%status%%: counted as failed\r\n'
  printf 'goto :eof\r\n'
  printf '\r\n'
  printf 'rem Runs one program (a case'"'"'s number, the program, its arguments) into its log, and sets status\r\n'
  printf 'rem to its exit status and verdict to failed (any status but 0), skipped or passed.\r\n'
  printf ':run\r\n'
  printf 'set "log=%%logs%%\\case-%%1.log"\r\n'
  printf '"%%~2" %%~3 %%~4 %%~5 %%~6 > "%%log%%" 2>&1\r\n'
  printf 'set status=%%ERRORLEVEL%%\r\n'
  printf 'set verdict=failed\r\n'
  printf 'if not "%%status%%"=="0" goto :eof\r\n'
  printf 'set verdict=passed\r\n'
  printf '"%%SystemRoot%%\\System32\\find.exe" "[  SKIPPED ]" "%%log%%" > nul\r\n'
  printf 'if "%%ERRORLEVEL%%"=="0" set verdict=skipped\r\n'
  printf 'goto :eof\r\n'
} >"$cmd"
{
  echo "$name $version: the Windows tests"
  echo
  echo "run-tests.cmd runs every test case of the Windows build that is one Windows program: $total cases,"
  echo "each in a process of its own, as ctest runs them on the build machine. Run it from a command prompt"
  echo "on a desktop (the dialog tests open real windows and need a session with a screen), from any"
  echo "folder; it works in its own folder, where the programs find gen_SBeacon.dll, songbeacon-tune.exe"
  echo "and examples\\."
  echo "Each case prints one line; a failing case prints its output first. The last line counts the"
  echo "cases: \"N passed, N failed\", and \", N skipped\" when a case skipped itself (a check that the"
  echo "system cannot make, such as a read-only file that an administrator may write to all the same)."
  echo "A case fails on any exit status but 0, a crash's included (0xC0000005 and the like, negative"
  echo "numbers to the command prompt). The status is 1 when any case failed, else 0. There is no time"
  echo "limit per case: a case that hangs holds the run until it is stopped."
  echo "cases.txt lists the $total cases, one a line: the passed, failed and skipped add up to them"
  echo "(scripts\\windows\\run-test-pack.cmd in the source runs the pack and checks that they do)."
  echo
  echo "First the pack checks itself: pack_crash.exe crashes in three ways (a null pointer read, a"
  echo "stack overflow, exit status 0xC0000409), each judged as a case is, and each must count as"
  echo "failed: \"self-check: 3 of 3 crashes counted as failed\". These are not among the cases and"
  echo "not in their counts; a crash judged otherwise makes the status 2, whatever the cases did."
  echo "The crashes end at once with their own status, without the system's crash dialog."
  echo
  echo "bench\\monitor_bench.exe --cpu-only measures what the plug-in's polling costs for each"
  echo "PollInterval, and first says whether this system grants the high-resolution timer"
  echo "(scripts/windows/poll-interval-curve.cmd in the source runs it)."
  echo
  echo "Left out: the tests that ctest runs as a shell script on the build machine."
  printf '%s' "$left_out"
} | sed 's/$/\r/' >"$stage/pack/README.txt"

# A zip as the release's: fixed times and sorted entries.
find "$stage/pack" -type f -exec chmod 0644 {} + -exec touch -d "@$stamp" {} +
mkdir -p "$DIST"
out=$(realpath -m "$DIST/$stem-windows-tests.zip")
rm -f "$out" "$out.part"
(cd "$stage/pack" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | TZ=UTC zip -X -q -D -@ "$out.part")
mv "$out.part" "$out"
programs=$(awk -F'\t' '$2 == "program" { print $3 }' "$stage/cases.tsv" | sort -u | wc -l)
echo "$out: $total test cases of $programs programs, $(grep -c '^- ' <<<"$left_out" || true) tests left out"

@echo off
rem Runs the Windows test pack as the Windows job runs it, then checks its closing counts: the
rem passed, failed and skipped cases must add up to the cases the pack lists in cases.txt, so that a
rem run cut short, or a case counted twice or not at all, fails even when nothing failed.
rem usage: run-test-pack.cmd <folder of the unpacked pack>
rem Prints the pack's output (once it has run), then one line on the counts. Status: run-tests.cmd's
rem own when it is not 0 (1: a case failed; 2: its self-check let a crash pass), else 3 when the counts
rem do not add up, else 0.
setlocal EnableExtensions DisableDelayedExpansion
set "pack=%~f1"
set "log=%TEMP%\songbeacon-pack-%RANDOM%.log"
call "%pack%\run-tests.cmd" > "%log%" 2>&1
set status=%ERRORLEVEL%
type "%log%"
set listed=0
for /f "usebackq delims=" %%l in ("%pack%\cases.txt") do set /a listed+=1
rem The last line of the output: "N passed, N failed" and maybe ", N skipped".
set "last="
for /f "usebackq delims=" %%l in ("%log%") do set "last=%%l"
del "%log%" 2>nul
set "passed="
set "failed="
set skipped=0
for /f "tokens=1-6 delims=, " %%a in ("%last%") do (
  if "%%b %%d"=="passed failed" set "passed=%%a"
  if "%%b %%d"=="passed failed" set "failed=%%c"
  if "%%f"=="skipped" set "skipped=%%e"
)
if not defined passed goto noCounts
set /a counted=passed+failed+skipped
if not "%counted%"=="%listed%" goto countsDiffer
echo the counts add up: %passed% passed + %failed% failed + %skipped% skipped = %listed% cases listed in cases.txt
exit /b %status%
:noCounts
echo FAILED: the pack's last line is no count of its cases ("%last%"), and cases.txt lists %listed%
if not "%status%"=="0" exit /b %status%
exit /b 3
:countsDiffer
echo FAILED: %passed% passed + %failed% failed + %skipped% skipped = %counted% cases, but cases.txt lists %listed%
if not "%status%"=="0" exit /b %status%
exit /b 3

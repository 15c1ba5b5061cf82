@echo off
rem Installs the release's setup program silently into a new player folder, runs the tuning tool
rem from there on a playlist, and uninstalls in place, checking each status docs/installing.md promises.
rem usage: install-run-uninstall.cmd <folder holding songbeacon-*-setup.exe> <new player folder> <playlist>
rem The player folder is made here and must not exist yet; it may hold spaces. Prints one line per
rem check and ends with "N passed, N failed"; status 1 when any check failed.
setlocal EnableExtensions DisableDelayedExpansion
set passed=0
set failed=0
set "setup="
pushd "%~1"
for %%s in (*-setup.exe) do set "setup=%CD%\%%s"
popd
set "folder=%~f2"
set "playlist=%~f3"
set "plugins=%folder%\Plugins"
set "own=%folder%\Plugins\Songbeacon"
if not defined setup goto noSetup
if exist "%folder%" goto folderExists
mkdir "%folder%"

rem /D= comes last and unquoted, spaces and all.
"%setup%" /S /D=%folder%
call :expect %errorlevel% 0 "the silent install into %folder% exits 0, installed"
call :exists "%plugins%\gen_SBeacon.dll" "the DLL is in Plugins"
call :exists "%own%\uninstall.exe" "the uninstaller is in Plugins\Songbeacon"

set "tool=%own%\songbeacon-tune.exe"
call :exists "%tool%" "the tuning tool is in Plugins\Songbeacon"
"%tool%" "%playlist%" --no-browser --max-skip-rate 20 --shuffle 7 > "%TEMP%\songbeacon-tune.log" 2>&1
set status=%errorlevel%
type "%TEMP%\songbeacon-tune.log"
call :expect %status% 0 "the tuning tool exits 0"
rem The example playlist with a 20 % skip ceiling: some setting meets every goal.
"%SystemRoot%\System32\find.exe" "recommended: " "%TEMP%\songbeacon-tune.log" > nul
call :expect %errorlevel% 0 "the tuning tool prints a recommended: line"

rem In place, as a deploying script runs it: _?= comes last and unquoted too.
"%own%\uninstall.exe" /S _?=%own%
call :expect %errorlevel% 0 "the uninstaller run in place exits 0, removed"
call :missing "%plugins%\gen_SBeacon.dll" "the DLL is gone"
call :missing "%tool%" "the tuning tool is gone"
del "%own%\uninstall.exe"
rmdir "%own%"
call :missing "%own%" "Plugins\Songbeacon is gone once uninstall.exe is deleted"

echo %passed% passed, %failed% failed
if %failed% gtr 0 exit /b 1
exit /b 0

:noSetup
echo no *-setup.exe in %~1
exit /b 2
:folderExists
echo %folder% exists already: name a new folder
exit /b 2

rem Each check counts itself: a status against the one promised (status, promised, what it
rem means), or a file that must be there or gone (file, what it means).
:expect
if not "%~1"=="%~2" goto expectFailed
set /a passed+=1
echo ok: %~3
goto :eof
:expectFailed
set /a failed+=1
echo FAILED: %~3: status %~1
goto :eof

:exists
if not exist "%~1" goto existsFailed
set /a passed+=1
echo ok: %~2
goto :eof
:existsFailed
set /a failed+=1
echo FAILED: %~2: %~1 is missing
goto :eof

:missing
if exist "%~1" goto missingFailed
set /a passed+=1
echo ok: %~2
goto :eof
:missingFailed
set /a failed+=1
echo FAILED: %~2: %~1 is still there
goto :eof

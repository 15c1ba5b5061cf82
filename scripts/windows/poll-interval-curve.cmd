@echo off
rem Runs the PollInterval curve (what the plug-in's polling costs the player's process, stopped and
rem playing, and how soon it notices a new track, for 0, 1, 2, 5, 10 and 50 ms) and, in a GitHub
rem Actions job, writes it into the job's summary. The first line says whether this system grants
rem the high-resolution timer the rests use, or ends them on the clock tick.
rem usage: poll-interval-curve.cmd <monitor_bench.exe> [monitor_bench options, e.g. --windows 1]
setlocal EnableExtensions DisableDelayedExpansion
set "bench=%~f1"
set "curve=%TEMP%\songbeacon-curve-%RANDOM%.txt"
"%bench%" --cpu-only %2 %3 %4 %5 %6 %7 %8 %9 > "%curve%" 2>&1
set status=%errorlevel%
type "%curve%"
if not defined GITHUB_STEP_SUMMARY goto done
>> "%GITHUB_STEP_SUMMARY%" echo ## The PollInterval curve on this runner
>> "%GITHUB_STEP_SUMMARY%" echo.
>> "%GITHUB_STEP_SUMMARY%" echo monitor_bench --cpu-only, status %status%:
>> "%GITHUB_STEP_SUMMARY%" echo.
>> "%GITHUB_STEP_SUMMARY%" echo ```
rem Without the "figure" lines, which are for scripts; each line loses its leading spaces.
for /f "usebackq tokens=1,* delims= " %%a in ("%curve%") do if not "%%a"=="figure" >> "%GITHUB_STEP_SUMMARY%" echo.%%a %%b
>> "%GITHUB_STEP_SUMMARY%" echo ```
:done
del "%curve%" 2>nul
exit /b %status%

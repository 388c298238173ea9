@echo off
setlocal
rem Removes what Register.cmd wrote and nothing else: the assignments kept under
rem HKEY_CURRENT_USER\Software\Karvelund\Zelvanto stay, and so do other programs' verbs.
rem reg is called by its full path: a reg.bat beside the script, in a Downloads folder say, would come first.
set "reg=%SystemRoot%\System32\reg.exe"
set "verb=HKCU\Software\Classes\*\shell\Zelvanto"
set "application=HKCU\Software\Classes\Applications\Zelvanto.exe"
rem A double-click runs cmd /c with this script's path, and the window would close before it can be read.
rem cmd's command line is read only with delayed expansion, where its quotes and & are no syntax. The script
rem looks for its own name, so a browser's renamed copy, Unregister (1).cmd, waits too.
setlocal EnableDelayedExpansion
set "launch=!cmdcmdline!"
if defined launch if /i not "!launch:%~nx0=!"=="!launch!" set "doubleClicked=1"
setlocal DisableDelayedExpansion

rem A key already gone is no failure: what counts is that none is left.
"%reg%" delete "%verb%" /f >nul 2>&1
"%reg%" query "%verb%" >nul 2>&1
if not errorlevel 1 goto failed
"%reg%" delete "%application%" /f >nul 2>&1
"%reg%" query "%application%" >nul 2>&1
if not errorlevel 1 goto failed

echo Zelvanto is unregistered; its assignments stay under HKEY_CURRENT_USER\Software\Karvelund\Zelvanto.
if defined doubleClicked pause
exit /b 0

:failed
echo Zelvanto could not be unregistered: a key under HKEY_CURRENT_USER\Software\Classes could not be removed. 1>&2
if defined doubleClicked pause
exit /b 1

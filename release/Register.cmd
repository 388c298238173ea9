@echo off
setlocal
rem Registers the Zelvanto.exe beside this script for the current user, with no administrator rights:
rem "Open with Zelvanto..." on every file's context menu, and Zelvanto among the programs of Windows' own
rem "Open with". Run again, from here or from another folder, it points both at the folder it runs from.
set "program=%~dp0Zelvanto.exe"
set "verb=HKCU\Software\Classes\*\shell\Zelvanto"
set "application=HKCU\Software\Classes\Applications\Zelvanto.exe"

rem An earlier registration goes first, so no value of it is left; one already gone is no failure.
reg delete "%verb%" /f >nul 2>&1
reg query "%verb%" >nul 2>&1
if not errorlevel 1 goto failed
reg delete "%application%" /f >nul 2>&1
reg query "%application%" >nul 2>&1
if not errorlevel 1 goto failed

rem The verb's text is the program's own string 160, so Explorer shows it in the user's language. The path
rem stays unquoted there: the shell does not load an indirect string from a quoted path.
reg add "%verb%" /v MUIVerb /d "@%program%,-160" /f >nul
if errorlevel 1 goto failed
reg add "%verb%" /v Icon /d "%program%,0" /f >nul
if errorlevel 1 goto failed
rem One chooser is for one file: the verb is not offered for a selection of several.
reg add "%verb%" /v MultiSelectModel /d Single /f >nul
if errorlevel 1 goto failed
reg add "%verb%\command" /ve /d "\"%program%\" \"%%1\"" /f >nul
if errorlevel 1 goto failed
reg add "%application%" /v FriendlyAppName /d Zelvanto /f >nul
if errorlevel 1 goto failed
reg add "%application%\shell\open\command" /ve /d "\"%program%\" \"%%1\"" /f >nul
if errorlevel 1 goto failed

echo Zelvanto is registered for "%program%": right-click a file and choose "Open with Zelvanto...".
exit /b 0

:failed
echo Zelvanto could not be registered: a change under HKEY_CURRENT_USER\Software\Classes was refused. 1>&2
exit /b 1

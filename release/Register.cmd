@echo off
setlocal DisableDelayedExpansion
rem Registers the Zelvanto.exe beside this script for the current user, with no administrator rights:
rem "Open with Zelvanto..." on every file's context menu, and Zelvanto among the programs of Windows' own
rem "Open with". Run again, from here or from another folder, it points both at the folder it runs from.
rem reg is called by its full path: a reg.bat beside the script, in a Downloads folder say, would come first.
set "reg=%SystemRoot%\System32\reg.exe"
set "find=%SystemRoot%\System32\find.exe"
set "verb=HKCU\Software\Classes\*\shell\Zelvanto"
set "application=HKCU\Software\Classes\Applications\Zelvanto.exe"
rem A double-click runs cmd /c with this script's path, and the window would close before it can be read.
rem cmd's command line is read only with delayed expansion, where its quotes and & are no syntax. The script
rem looks for its own name, so a browser's renamed copy, Register (1).cmd, waits too.
setlocal EnableDelayedExpansion
set "launch=!cmdcmdline!"
if defined launch if /i not "!launch:%~nx0=!"=="!launch!" set "doubleClicked=1"
setlocal DisableDelayedExpansion

rem cmd cannot enter a network path (\\server\share): it would start in the Windows folder and find no
rem Zelvanto.exe there. A verb on a network folder would also fail whenever the network is away.
set "script=%~f0"
set "failure=Zelvanto is not registered from a network folder (\\server\share\...): copy the folder to this computer, then run Register.cmd there."
if "%script:~0,2%"=="\\" goto failed
rem The folder's path is only ever read through a for variable, which cmd does not parse again, so none of
rem & ^ % ! ( ) in it is taken as syntax. Explorer starts the script in its own folder; started elsewhere, it
rem moves there. Wine's cmd drops a % from %~dp0: the move fails, and it stays where Explorer started it.
cd /d "%~dp0" 2>nul
rem A zip viewer runs the script from a copy under the temporary folder, alone or with the rest: that copy
rem goes away later, and the verb with it. Both folders are compared as Windows resolves them: full, short,
rem in any letter case, without a trailing backslash; TMP as well, which Windows' temporary path reads first.
set "failure=Zelvanto is not registered from here: unpack the zip into a folder of its own first, then run Register.cmd there."
if not exist Zelvanto.exe goto failed
for %%t in ("%TMP%\." "%TEMP%\.") do if not "%%~t"=="\." for %%a in (. .. ..\.. ..\..\..) do (
  if /i "%%~fa"=="%%~ft" goto failed
  if /i "%%~sa"=="%%~st" goto failed
)
rem The shell reads a % in a verb's command as the start of a parameter such as %1, and %% as one %: the
rem commands carry the folder's % doubled. A second % is refused: Windows could read the text between the two
rem as a variable in the verb's text and icon. The folder is split at its % in cd's output, as Wine's cmd
rem splits no other loop's variable and reads a variable's % again; that output is in the console's code
rem page, so the path read there must equal the folder's own.
set "percent="
cd | "%find%" "%%" >nul
if not errorlevel 1 set "percent=1"
set "failure=Zelvanto is not registered from here: its folder may hold only one percent sign, and then only letters of the command prompt's code page. Rename the folder, then run Register.cmd again."
set "percentReadable="
if defined percent for %%p in (Zelvanto.exe) do for /f "tokens=1,2* delims=%%" %%a in ('cd') do (
  if "%%c"=="" if "%%a%%%%b\%%~nxp"=="%%~fp" set "percentReadable=1"
)
if defined percent if not defined percentReadable goto failed
set "failure=Zelvanto could not be registered: a change under HKEY_CURRENT_USER\Software\Classes was refused."

rem An earlier registration goes first, so no value of it is left; one already gone is no failure.
"%reg%" delete "%verb%" /f >nul 2>&1
"%reg%" query "%verb%" >nul 2>&1
if not errorlevel 1 goto failed
"%reg%" delete "%application%" /f >nul 2>&1
"%reg%" query "%application%" >nul 2>&1
if not errorlevel 1 goto failed

rem From here on, a failure takes back what this run wrote: Explorer shows the whole verb or none.
set "writing=1"
for %%p in (Zelvanto.exe) do (
  rem The verb's text is the program's own string 160, so Explorer shows it in the user's language. The
  rem path stays unquoted there: the shell does not load an indirect string from a quoted path.
  "%reg%" add "%verb%" /v MUIVerb /d "@%%~fp,-160" /f >nul
  if errorlevel 1 goto failed
  "%reg%" add "%verb%" /v Icon /d "%%~fp,0" /f >nul
  if errorlevel 1 goto failed
  rem One chooser is for one file: the verb is not offered for a selection of several.
  "%reg%" add "%verb%" /v MultiSelectModel /d Single /f >nul
  if errorlevel 1 goto failed
  "%reg%" add "%application%" /v FriendlyAppName /d Zelvanto /f >nul
  if errorlevel 1 goto failed
)
if defined percent goto writePercentCommands
for %%p in (Zelvanto.exe) do (
  "%reg%" add "%verb%\command" /ve /d "\"%%~fp\" \"%%1\"" /f >nul
  if errorlevel 1 goto failed
  "%reg%" add "%application%\shell\open\command" /ve /d "\"%%~fp\" \"%%1\"" /f >nul
  if errorlevel 1 goto failed
)
goto registered

:writePercentCommands
for %%p in (Zelvanto.exe) do for /f "tokens=1* delims=%%" %%a in ('cd') do (
  "%reg%" add "%verb%\command" /ve /d "\"%%a%%%%%%b\%%~nxp\" \"%%1\"" /f >nul
  if errorlevel 1 goto failed
  "%reg%" add "%application%\shell\open\command" /ve /d "\"%%a%%%%%%b\%%~nxp\" \"%%1\"" /f >nul
  if errorlevel 1 goto failed
)

:registered
for %%p in (Zelvanto.exe) do echo Zelvanto is registered for "%%~fp": right-click a file and choose "Open with Zelvanto...".
if defined doubleClicked pause
exit /b 0

:failed
if defined writing "%reg%" delete "%verb%" /f >nul 2>&1
if defined writing "%reg%" delete "%application%" /f >nul 2>&1
echo %failure% 1>&2
if defined doubleClicked pause
exit /b 1

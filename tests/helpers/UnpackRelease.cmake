# Unpacks the release zip into a folder whose name cmd could read as syntax, with a reg.bat planted beside the
# scripts; beside it, Register.cmd with the recorder as Zelvanto.exe, and Register.cmd alone:
#   cmake -DZIP=... -DRECORDER=... -DDRIVE_C=<prefix>/drive_c -P UnpackRelease.cmake
set(folder "${DRIVE_C}/users/Public/Tools & Apps (x86) ^ 100% ! Ω")
set(plain "${DRIVE_C}/users/Public/Zelvanto Ω")
file(REMOVE_RECURSE "${folder}" "${plain}" "${DRIVE_C}/Register alone")
file(ARCHIVE_EXTRACT INPUT "${ZIP}" DESTINATION "${folder}")
file(COPY "${folder}/Register.cmd" DESTINATION "${plain}")
configure_file("${RECORDER}" "${plain}/Zelvanto.exe" COPYONLY)
file(WRITE "${folder}/reg.bat" "@exit /b 0\r\n")
file(COPY "${folder}/Register.cmd" DESTINATION "${DRIVE_C}/Register alone")

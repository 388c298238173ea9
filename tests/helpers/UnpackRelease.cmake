# Unpacks the release where cmd could read the folder's name as syntax, with a planted reg.bat and the recorder
# as Zelvanto.exe; Register.cmd alone; and the two where the name has letters of no one code page and no %:
#   cmake -DZIP=... -DRECORDER=... -DDRIVE_C=<prefix>/drive_c -P UnpackRelease.cmake
set(folder "${DRIVE_C}/users/Public/Tools & Apps (x86) ^ 100% ! ä")
set(plain "${DRIVE_C}/users/Public/Zelvanto Łódź 東京 Ω")
file(REMOVE_RECURSE "${folder}" "${plain}" "${DRIVE_C}/Register alone")
file(ARCHIVE_EXTRACT INPUT "${ZIP}" DESTINATION "${folder}")
configure_file("${RECORDER}" "${folder}/Zelvanto.exe" COPYONLY)
file(WRITE "${folder}/reg.bat" "@exit /b 0\r\n")
file(COPY "${folder}/Register.cmd" "${folder}/Zelvanto.exe" DESTINATION "${plain}")
file(COPY "${folder}/Register.cmd" DESTINATION "${DRIVE_C}/Register alone")

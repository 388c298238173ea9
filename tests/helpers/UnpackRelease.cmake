# Unpacks the release zip into a folder whose name cmd could read as syntax, with a reg.bat planted beside the
# scripts; and Register.cmd alone in a folder of its own:
#   cmake -DZIP=... -DDRIVE_C=<prefix>/drive_c -P UnpackRelease.cmake
set(folder "${DRIVE_C}/users/Public/Tools & Apps (x86) ^ 100% ! Ω")
file(REMOVE_RECURSE "${folder}" "${DRIVE_C}/Register alone")
file(ARCHIVE_EXTRACT INPUT "${ZIP}" DESTINATION "${folder}")
file(WRITE "${folder}/reg.bat" "@exit /b 0\r\n")
file(COPY "${folder}/Register.cmd" DESTINATION "${DRIVE_C}/Register alone")

# Unpacks the release zip as a user would, into a folder whose name holds a space and a letter beyond the
# ANSI code page, and again into a second folder to register from:
#   cmake -DZIP=... -DDRIVE_C=<prefix>/drive_c -P UnpackRelease.cmake
foreach(folder "Program Files/Zelvanto Ω" "Zelvanto 2")
  file(REMOVE_RECURSE "${DRIVE_C}/${folder}")
  file(ARCHIVE_EXTRACT INPUT "${ZIP}" DESTINATION "${DRIVE_C}/${folder}")
  file(GLOB shipped RELATIVE "${DRIVE_C}/${folder}" "${DRIVE_C}/${folder}/*")
  if(NOT shipped STREQUAL "README.txt;Register.cmd;Unregister.cmd;Zelvanto.exe")
    message(FATAL_ERROR "the zip holds ${shipped}, not the four shipped files at its top")
  endif()
endforeach()

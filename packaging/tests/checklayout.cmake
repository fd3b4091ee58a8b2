# Checks an installed prefix file by file: everything the application needs is
# there and nothing else is, so that no settings, work files or test programs of
# the build ship; bin/fragdock is a relative link to the program folder's launcher.
# cmake -DPREFIX=... -DPROGRAM_DIR=... -DAPP_ID=... -DBINDIR=... -DDATADIR=...
#       -DMANDIR=... -DDOCDIR=... -DGLIDE_FILES=<file>,<soname link>,<link> -P checklayout.cmake
string(REPLACE "," ";" glide "${GLIDE_FILES}")
list(TRANSFORM glide PREPEND ${PROGRAM_DIR}/)
set(expected
  ${BINDIR}/fragdock
  ${PROGRAM_DIR}/fragdock
  ${PROGRAM_DIR}/term
  ${PROGRAM_DIR}/meshpeek/meshpeek
  ${glide}
  ${PROGRAM_DIR}/fragdock.installed
  ${PROGRAM_DIR}/knoppja.bmp
  ${PROGRAM_DIR}/knoppno.bmp
  ${PROGRAM_DIR}/fdk.jpg
  ${PROGRAM_DIR}/litleback.bmp
  ${PROGRAM_DIR}/!none!.bmp
  ${PROGRAM_DIR}/bar.bmp
  ${PROGRAM_DIR}/themes/Fragdock.bmp
  ${PROGRAM_DIR}/fragdock.bmp
  ${DATADIR}/applications/${APP_ID}.desktop
  ${DATADIR}/metainfo/${APP_ID}.metainfo.xml
  ${DATADIR}/icons/hicolor/48x48/apps/${APP_ID}.png
  ${DATADIR}/icons/hicolor/128x128/apps/${APP_ID}.png
  ${DATADIR}/icons/hicolor/256x256/apps/${APP_ID}.png
  ${MANDIR}/man1/fragdock.1
  ${MANDIR}/man1/meshpeek.1
  ${MANDIR}/man1/term.1
  ${DOCDIR}/copyright)

file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE ${PREFIX} ${PREFIX}/*)
set(missing ${expected})
list(REMOVE_ITEM missing ${found})
set(unexpected ${found})
list(REMOVE_ITEM unexpected ${expected})
set(problems "")
foreach(file IN LISTS missing)
  string(APPEND problems "missing: ${file}\n")
endforeach()
foreach(file IN LISTS unexpected)
  string(APPEND problems "not part of the application: ${file}\n")
endforeach()

set(link ${PREFIX}/${BINDIR}/fragdock)
if(NOT IS_SYMLINK ${link})
  string(APPEND problems "${BINDIR}/fragdock is not a symbolic link\n")
else()
  file(READ_SYMLINK ${link} target)
  file(REAL_PATH ${link} resolved)
  file(REAL_PATH ${PREFIX}/${PROGRAM_DIR}/fragdock launcher)
  if(IS_ABSOLUTE "${target}" OR NOT resolved STREQUAL launcher)
    string(APPEND problems "${BINDIR}/fragdock points at \"${target}\", not relatively at ${PROGRAM_DIR}/fragdock\n")
  endif()
endif()

if(problems)
  message(FATAL_ERROR "The installed prefix ${PREFIX} is not the application's layout:\n${problems}")
endif()

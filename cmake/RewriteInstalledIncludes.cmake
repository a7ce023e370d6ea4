# Run at install time. The headers are installed under
# INCLUDEDIR/ZrPrj50/<subsystem>/ and name one another "<subsystem>/X.h", as
# in the source tree, where the source root is on the include path. A host
# gives only -I INCLUDEDIR and includes <ZrPrj50/ZrPrj50.h>, so every include
# line of an installed header is made to name "ZrPrj50/<subsystem>/X.h".
#
# Expects ZRPRJ_HEADER_ROOT (the installed ZrPrj50 folder, without DESTDIR)
# and ZRPRJ_HEADER_FOLDERS (the subsystem folders, separated by "|").
set(root "$ENV{DESTDIR}${ZRPRJ_HEADER_ROOT}")
file(GLOB_RECURSE headers "${root}/*.h")
foreach(header IN LISTS headers)
  file(READ "${header}" text)
  string(REGEX REPLACE "#include \"(${ZRPRJ_HEADER_FOLDERS})/" "#include \"ZrPrj50/\\1/" rewritten "${text}")
  if(NOT rewritten STREQUAL text)
    file(WRITE "${header}" "${rewritten}")
  endif()
endforeach()

# make uninstall (cmake -DMANIFEST=... -DEIGENE_ORDNER=... -P deinstallieren.cmake):
# removes every file that the last install listed in MANIFEST (below
# $DESTDIR, as the install put it), then, going up from each file's folder, the
# folders left empty up to and including the project's own folder
# (EIGENE_ORDNER: the package folder, the header folder, the documentation
# folder, each relative to the prefix, separated by "|").  Shared folders such as bin or
# share/man stay, as do files that were not installed.
# MANIFEST may name several, separated by "|" (a whole install and that of
# the modules alone); those that exist are read.
string(REPLACE "|" ";" manifeste "${MANIFEST}")
set(dateien)
foreach(manifest ${manifeste})
  if(EXISTS "${manifest}")
    file(STRINGS "${manifest}" zeilen)
    list(APPEND dateien ${zeilen})
  endif()
endforeach()
if(NOT dateien)
  message(FATAL_ERROR "${MANIFEST} not found: nothing installed from this build folder")
endif()
string(REPLACE "|" ";" EIGENE_ORDNER "${EIGENE_ORDNER}")
set(ordner "")
list(TRANSFORM dateien PREPEND "$ENV{DESTDIR}")
foreach(datei ${dateien})
  if(EXISTS "${datei}" OR IS_SYMLINK "${datei}")
    message(STATUS "Removing ${datei}")
    file(REMOVE "${datei}")
  endif()
  # The own folder holding this file, if any: everything from the file's
  # folder up to it may go once empty.
  foreach(eigen ${EIGENE_ORDNER})
    string(FIND "${datei}" "/${eigen}/" stelle)
    if(stelle GREATER -1)
      string(LENGTH "/${eigen}" laenge)
      math(EXPR ende "${stelle} + ${laenge}")
      string(SUBSTRING "${datei}" 0 ${ende} wurzel)
      get_filename_component(d "${datei}" DIRECTORY)
      while(NOT d STREQUAL wurzel)
        list(APPEND ordner "${d}")
        get_filename_component(d "${d}" DIRECTORY)
      endwhile()
      list(APPEND ordner "${wurzel}")
      break()
    endif()
  endforeach()
endforeach()
# Deepest folders first.
list(REMOVE_DUPLICATES ordner)
list(SORT ordner)
list(REVERSE ordner)
foreach(d ${ordner})
  if(IS_DIRECTORY "${d}")
    file(GLOB inhalt "${d}/*" "${d}/.*")
    if(NOT inhalt)
      message(STATUS "Removing ${d}/")
      file(REMOVE_RECURSE "${d}")
    endif()
  endif()
endforeach()

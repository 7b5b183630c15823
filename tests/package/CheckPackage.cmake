# Builds the Debian package from the build folder and checks what a player's
# apt would see: the file name, the version, the dependencies dpkg-shlibdeps
# found, and every part of the game under /usr.
#   cmake -DBUILD_DIR=... -DCPACK=... -DVERSION=... -P CheckPackage.cmake
set(out ${BUILD_DIR}/package-check)
file(REMOVE_RECURSE ${out})
execute_process(COMMAND ${CPACK} -G DEB -B ${out} --config ${BUILD_DIR}/CPackConfig.cmake
  RESULT_VARIABLE rc OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${log}")
endif()

set(deb ${out}/frothlet_${VERSION}_amd64.deb)
if(NOT EXISTS ${deb})
  file(GLOB made ${out}/*.deb)
  message(FATAL_ERROR "expected ${deb}, cpack made: ${made}")
endif()

function(field name result)
  execute_process(COMMAND dpkg-deb --field ${deb} ${name} OUTPUT_VARIABLE value
    OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "dpkg-deb cannot read ${deb}")
  endif()
  set(${result} "${value}" PARENT_SCOPE)
endfunction()

field(Package package)
field(Version version)
field(Architecture arch)
field(Depends depends)
if(NOT package STREQUAL "frothlet" OR NOT version STREQUAL VERSION OR NOT arch STREQUAL "amd64")
  message(FATAL_ERROR "control: Package '${package}' Version '${version}' Architecture '${arch}'")
endif()
foreach(library libsfml-graphics2.5 libsfml-audio2.5 libsfml-network2.5 libbox2d2 libenet7 libc6 libstdc\\+\\+6)
  if(NOT depends MATCHES "(^|, )${library}( |,|$)")
    message(FATAL_ERROR "Depends lacks ${library}: ${depends}")
  endif()
endforeach()

execute_process(COMMAND dpkg-deb --contents ${deb} OUTPUT_VARIABLE listing)
foreach(file
    ./usr/bin/frothlet
    ./usr/share/frothlet/resources/help.html
    ./usr/share/frothlet/resources/Roboto-Bold.ttf
    ./usr/share/frothlet/resources/backmap.png
    ./usr/share/frothlet/resources/OrbMT.ogg
    ./usr/share/applications/org.ombrelux.frothlet.desktop
    ./usr/share/metainfo/org.ombrelux.frothlet.metainfo.xml
    ./usr/share/icons/hicolor/48x48/apps/frothlet.png
    ./usr/share/icons/hicolor/128x128/apps/frothlet.png
    ./usr/share/icons/hicolor/256x256/apps/frothlet.png
    ./usr/share/man/man6/frothlet.6.gz)
  string(FIND "${listing}" " ${file}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the package lacks ${file}:\n${listing}")
  endif()
endforeach()
string(REGEX MATCHALL " \\./[^\n]*" paths "${listing}")
foreach(path ${paths})
  if(NOT path MATCHES "^ \\./(usr(/.*)?)?$")
    message(FATAL_ERROR "the package installs outside /usr: ${path}")
  endif()
endforeach()
file(REMOVE_RECURSE ${out})
message(STATUS "${deb}: Depends: ${depends}")

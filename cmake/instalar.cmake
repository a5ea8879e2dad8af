# Installation and the Debian package.
#
# `cmake --install` lays the programs out as Debian lays out games, under the
# GNU install directories:
#
#   games/talo                        the launcher, on PATH (and linked
#                                     from bin/, see below)
#   games/importar                    the scene importer, where it is built
#                                     (linked from bin/ as well)
#   lib/games/talo/walkthrough{,-wire} the programs themselves (see below)
#   share/games/talo/{Modelos,Texturas} the bundled scene, read-only
#   share/applications, share/icons   the desktop entry and its icon
#   share/man/man6, share/doc/talo    manual pages, README, licence, copyright
#   share/lintian/overrides/talo      why a game has links in bin/
#
# The walkthrough programs read ./Modelos and ./Texturas from the working
# directory and take no arguments, so started from anywhere else they show an
# empty room; they are kept off PATH and `talo` is the way in. The launcher
# finds the scene and the programs relative to its own place, so a tree
# installed with DESTDIR, or moved whole, works where it lands.
#
# `cpack -G DEB` in the build directory makes the package, prefix /usr, with
# its dependencies found by dpkg-shlibdeps.

set(TALO_VERSION 0.1.0)

# Relative to the prefix; fixed, like every path of the program.
set(TALO_INSTALL_JUEGOS games)                  # launcher and importer, on PATH
set(TALO_INSTALL_PROGRAMAS lib/games/talo)      # off PATH; not the multiarch libdir
set(TALO_INSTALL_ESCENA ${CMAKE_INSTALL_DATAROOTDIR}/games/talo)

# The launcher's paths to the scene and the programs, from its own folder.
file(RELATIVE_PATH TALO_A_ESCENA /raiz/${TALO_INSTALL_JUEGOS} /raiz/${TALO_INSTALL_ESCENA})
file(RELATIVE_PATH TALO_A_PROGRAMAS /raiz/${TALO_INSTALL_JUEGOS} /raiz/${TALO_INSTALL_PROGRAMAS})
configure_file(${PROJECT_SOURCE_DIR}/lanzador/talo.in ${PROJECT_BINARY_DIR}/lanzador/talo @ONLY)
# The importer, installed beside the launcher, reads the bundled figures from
# the installed scene.
if(TARGET importar AND TALO_APP)
  target_compile_definitions(importar PRIVATE TALO_ESCENA_INSTALADA="${TALO_A_ESCENA}")
endif()

# Manual pages and the Debian changelog go compressed, as Debian wants them.
set(TALO_COMPRIMIDOS "")
function(ComprimirAlInstalar fuente destino)
  add_custom_command(OUTPUT ${destino}
    COMMAND gzip -9 -n -c ${fuente} > ${destino}
    DEPENDS ${fuente} VERBATIM)
  set(TALO_COMPRIMIDOS ${TALO_COMPRIMIDOS} ${destino} PARENT_SCOPE)
endfunction()
ComprimirAlInstalar(${PROJECT_SOURCE_DIR}/lanzador/talo.6 ${PROJECT_BINARY_DIR}/lanzador/talo.6.gz)
ComprimirAlInstalar(${PROJECT_SOURCE_DIR}/paquete/changelog ${PROJECT_BINARY_DIR}/lanzador/changelog.Debian.gz)
ComprimirAlInstalar(${PROJECT_SOURCE_DIR}/importar/importar.6 ${PROJECT_BINARY_DIR}/lanzador/importar.6.gz)
add_custom_target(documentos_instalados ALL DEPENDS ${TALO_COMPRIMIDOS})

if(TALO_APP)
  install(TARGETS walkthrough walkthrough-wire RUNTIME DESTINATION ${TALO_INSTALL_PROGRAMAS})
  install(PROGRAMS ${PROJECT_BINARY_DIR}/lanzador/talo DESTINATION ${TALO_INSTALL_JUEGOS})
  # Debian's games folder is on users' PATH but not on root's, nor on that of
  # most containers: a relative link from the binaries' folder finds `talo`
  # from any shell, and the launcher follows it back to its own place.
  if(NOT TALO_INSTALL_JUEGOS STREQUAL CMAKE_INSTALL_BINDIR)
    file(RELATIVE_PATH TALO_A_LANZADOR /raiz/${CMAKE_INSTALL_BINDIR} /raiz/${TALO_INSTALL_JUEGOS}/talo)
    file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/lanzador/enlace)
    file(CREATE_LINK ${TALO_A_LANZADOR} ${PROJECT_BINARY_DIR}/lanzador/enlace/talo SYMBOLIC)
    install(FILES ${PROJECT_BINARY_DIR}/lanzador/enlace/talo DESTINATION ${CMAKE_INSTALL_BINDIR})
    # Debian's checker is told why a game has a file in bin/.
    install(FILES paquete/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
      RENAME talo)
  endif()
  foreach(modelo Techo Suelo Paredes Mujer Caballo)
    install(FILES ${PROJECT_BINARY_DIR}/escena/Modelos/${modelo}.OBJ
      DESTINATION ${TALO_INSTALL_ESCENA}/Modelos)
  endforeach()
  foreach(imagen Vampiro Paredes Suelo Techo)
    install(FILES ${PROJECT_BINARY_DIR}/escena/Texturas/${imagen}.tga
      DESTINATION ${TALO_INSTALL_ESCENA}/Texturas)
  endforeach()
  install(FILES lanzador/talo.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
  install(FILES lanzador/talo.png DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/128x128/apps)
  install(FILES ${PROJECT_BINARY_DIR}/lanzador/talo.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
endif()
install(FILES README.md LICENSE paquete/copyright ${PROJECT_BINARY_DIR}/lanzador/changelog.Debian.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The importer is added to the build in its own folder; look for it once the
# whole top-level list has been read, whatever the order of its lines.
function(InstalarImportador)
  if(TARGET importar)
    install(TARGETS importar RUNTIME DESTINATION ${TALO_INSTALL_JUEGOS})
    install(FILES ${PROJECT_BINARY_DIR}/lanzador/importar.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
    if(TALO_APP AND NOT TALO_INSTALL_JUEGOS STREQUAL CMAKE_INSTALL_BINDIR)
      # Found from root's shell too, as the launcher is.
      file(RELATIVE_PATH TALO_A_IMPORTADOR /raiz/${CMAKE_INSTALL_BINDIR} /raiz/${TALO_INSTALL_JUEGOS}/importar)
      file(CREATE_LINK ${TALO_A_IMPORTADOR} ${PROJECT_BINARY_DIR}/lanzador/enlace/importar SYMBOLIC)
      install(FILES ${PROJECT_BINARY_DIR}/lanzador/enlace/importar DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL InstalarImportador)

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME talo)
set(CPACK_PACKAGE_VERSION ${TALO_VERSION})
set(CPACK_PACKAGE_VENDOR "The TALO II developers")
set(CPACK_PACKAGE_CONTACT "The TALO II developers <talo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time 3D walkthrough of a room with two figures")
# One line a list element, each under 80 columns, as Debian wants the
# extended description.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "TALO II loads a room and two figures, a woman and a horse, from Wavefront"
  "OBJ files, textures them from TGA images and lights them with"
  "fixed-function OpenGL. You walk through the room with the keyboard and"
  "look around with the mouse, with gravity, jumping and collision with the"
  "walls."
  "The package holds the launcher talo, the textured and the wireframe"
  "programs, and a bundled scene.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

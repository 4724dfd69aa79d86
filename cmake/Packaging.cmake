# Install layout and the Debian package (cpack -G DEB). The program and its book live together
# under lib/games/zelmora, where the engine finds the book beside its own binary; games/ holds
# only a link to it. The package must run on any amd64, so cpack refuses a -march=native build:
# configure a separate tree with -DZELMORA_NATIVE=OFF for it.

if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()

set(ZELMORA_PROGRAM_DIR lib/games/zelmora)
# The version is the one the engine announces; packaging/changelog needs an entry for each new one.
file(STRINGS ${PROJECT_SOURCE_DIR}/src/uci/uci_protocol.cpp ZELMORA_ID_LINE REGEX "id name Zelmora [0-9.]+")
string(REGEX MATCH "[0-9]+(\\.[0-9]+)+" ZELMORA_VERSION "${ZELMORA_ID_LINE}")
set(ZELMORA_PACKAGE_MAINTAINER "Zelmora maintainers <maintainers@zelmora.invalid>"
  CACHE STRING "Maintainer field of the Debian package")

# Debian wants the manual page and the changelog compressed, without names or time stamps.
set(ZELMORA_PACKAGE_FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging)
foreach(source doc/zelmora.6 packaging/changelog)
  get_filename_component(name ${source} NAME)
  add_custom_command(OUTPUT ${ZELMORA_PACKAGE_FILES}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/${source} ${ZELMORA_PACKAGE_FILES}/${name}
    COMMAND gzip -9nf ${ZELMORA_PACKAGE_FILES}/${name}
    DEPENDS ${PROJECT_SOURCE_DIR}/${source})
endforeach()
add_custom_target(zelmora-package-files ALL
  DEPENDS ${ZELMORA_PACKAGE_FILES}/zelmora.6.gz ${ZELMORA_PACKAGE_FILES}/changelog.gz)
file(MAKE_DIRECTORY ${ZELMORA_PACKAGE_FILES})
file(CREATE_LINK ../${ZELMORA_PROGRAM_DIR}/zelmora ${ZELMORA_PACKAGE_FILES}/zelmora SYMBOLIC)

install(TARGETS zelmora RUNTIME DESTINATION ${ZELMORA_PROGRAM_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/Zelmora.opn DESTINATION ${ZELMORA_PROGRAM_DIR})
install(FILES ${ZELMORA_PACKAGE_FILES}/zelmora DESTINATION games)
install(FILES ${ZELMORA_PACKAGE_FILES}/zelmora.6.gz DESTINATION share/man/man6)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${ZELMORA_PACKAGE_FILES}/changelog.gz
  DESTINATION share/doc/zelmora)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelmora)
set(CPACK_PACKAGE_VERSION ${ZELMORA_VERSION})
set(CPACK_PACKAGE_CONTACT ${ZELMORA_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "chess engine for UCI and xboard interfaces")
set(CPACK_PACKAGE_DESCRIPTION [=[Zelmora is a chess engine that a chess GUI or tournament manager drives over
standard input and output. It speaks UCI natively and the xboard protocol
version 2 through an adapter, plays Chess960, and searches with up to eight
threads.
.
It carries an opening book, a small neural network for the material balance
and its own tools: move-generator counts (perft), static evaluation, a book
builder from PGN games, network training and a test-position harvester.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xboard | scid")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
if(ZELMORA_NATIVE OR ZELMORA_SANITIZE)
  set(CPACK_ZELMORA_NOT_PORTABLE ON)
endif()
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/PackagingChecks.cmake)
include(CPack)

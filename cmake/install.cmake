# Installation and the Debian package. The game reads lex/ and data/ from its
# working directory, so players do not run it directly: a launcher on
# the games path changes to the data folder and runs it from there.
if(WIN32)
  return()
endif()

include(GNUInstallDirs)

set(HKH_PACKAGE happy-koalas-hum)
set(HKH_GAMES_DIR games CACHE STRING "Folder of the launcher, under the prefix")
set(HKH_DATA_DIR ${CMAKE_INSTALL_DATAROOTDIR}/games/${HKH_PACKAGE})
set(HKH_GAME_DIR ${CMAKE_INSTALL_LIBEXECDIR}/${HKH_PACKAGE})
set(HKH_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/${HKH_PACKAGE})
set(HKH_MAINTAINER "Happy Koalas Hum maintainers <maintainers@happy-koalas-hum.example>"
  CACHE STRING "Maintainer named in the Debian package")

install(TARGETS happy-koalas-hum RUNTIME DESTINATION ${HKH_GAME_DIR})
# A stripped install (cmake --install --strip, and the package) also drops
# the compiler's notes, as Debian's own strip step does.
if(CMAKE_STRIP)
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${HKH_GAME_DIR}/$<TARGET_FILE_NAME:happy-koalas-hum>\"
        COMMAND_ERROR_IS_FATAL ANY)
    endif()
  ")
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/lex ${PROJECT_SOURCE_DIR}/data
  DESTINATION ${HKH_DATA_DIR}
  PATTERN ".*" EXCLUDE)

install(CODE "
  set(launcher_template \"${PROJECT_SOURCE_DIR}/packaging/${HKH_PACKAGE}.in\")
  set(launcher_file \"${PROJECT_BINARY_DIR}/packaging/${HKH_PACKAGE}\")
  set(games_dir \"${HKH_GAMES_DIR}\")
  set(data_dir \"${HKH_DATA_DIR}\")
  set(game_file \"${HKH_GAME_DIR}/$<TARGET_FILE_NAME:happy-koalas-hum>\")
  include(\"${PROJECT_SOURCE_DIR}/packaging/install_launcher.cmake\")
")

# Debian wants the manual page and the changelog compressed with gzip -9n
# (no name, no time stamp, so the package builds the same every time); the
# changelog of a package without a Debian revision is named changelog.gz.
set(hkh_packaging_build ${PROJECT_BINARY_DIR}/packaging)
set(hkh_compressed)
foreach(pair IN ITEMS "${HKH_PACKAGE}.6:${HKH_PACKAGE}.6.gz" "changelog:changelog.gz")
  string(REPLACE ":" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 compressed)
  add_custom_command(
    OUTPUT ${hkh_packaging_build}/${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${hkh_packaging_build}
    COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" sh
      ${PROJECT_SOURCE_DIR}/packaging/${source} ${hkh_packaging_build}/${compressed}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/${source}
    VERBATIM)
  list(APPEND hkh_compressed ${hkh_packaging_build}/${compressed})
endforeach()
add_custom_target(hkh_packaging_files ALL DEPENDS ${hkh_compressed})

install(FILES ${hkh_packaging_build}/${HKH_PACKAGE}.6.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${HKH_PACKAGE}.desktop
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
# Software centres list the game from its AppStream metainfo.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/example.happy_koalas_hum.game.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${hkh_packaging_build}/changelog.gz
  DESTINATION ${HKH_DOC_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME ${HKH_PACKAGE})

# The Debian package: cmake --build <dir> --target package, or cpack in <dir>.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${HKH_PACKAGE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${HKH_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "word-guessing game for the text console, played by ear")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Each round draws a phrase of three words, an adjective, a plural noun and
a verb, and shows the first letter of each word and a dash for every other
letter. Reveal letters one key at a time and hear a tone for every position
a letter uncovers; after each letter guess the phrase, hear the revealed
words spelled aloud by letter names or the phonetic alphabet, or pass.
A round starts at 100 points, 5 less per pass or wrong guess.
.
The game runs in an 80x25 terminal with sound and ships its own word lists
and sounds.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${HKH_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)

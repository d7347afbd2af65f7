# The analyser that hears a recording sound by sound (heard_sounds.h), for
# the sound tier and the benchmark; whichever comes first defines it. SDL2
# reads the .wav files, as it does for the game.
if(NOT TARGET hkh_heard_sounds)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
  add_library(hkh_heard_sounds STATIC ${CMAKE_CURRENT_LIST_DIR}/heard_sounds.cpp)
  target_include_directories(hkh_heard_sounds PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(hkh_heard_sounds PRIVATE PkgConfig::SDL2)
endif()

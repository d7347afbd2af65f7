# The analyser that hears a recording sound by sound (heard_sounds.h), for
# the sound tier and the benchmark; whichever comes first defines it.
if(NOT TARGET hkh_heard_sounds)
  add_library(hkh_heard_sounds STATIC ${CMAKE_CURRENT_LIST_DIR}/heard_sounds.cpp)
  target_include_directories(hkh_heard_sounds PUBLIC ${CMAKE_SOURCE_DIR})
  add_executable(hear_sounds ${CMAKE_CURRENT_LIST_DIR}/hear_sounds.cpp)
  target_link_libraries(hear_sounds PRIVATE hkh_heard_sounds)
endif()

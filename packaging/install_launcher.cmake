# Runs at install time (cmake --install, make install, cpack): writes the
# launcher with the paths from the games folder to the data folder and to the
# game, relative, so that DESTDIR, --prefix and a moved tree all keep working.
# Set by the install rule: launcher_template, launcher_file, games_dir,
# data_dir, game_file (the last three relative to the prefix or absolute).
foreach(name IN ITEMS games_dir data_dir game_file)
  cmake_path(ABSOLUTE_PATH ${name} BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}"
    NORMALIZE OUTPUT_VARIABLE ${name}_full)
endforeach()
file(RELATIVE_PATH LAUNCHER_TO_DATA "${games_dir_full}" "${data_dir_full}")
file(RELATIVE_PATH LAUNCHER_TO_GAME "${games_dir_full}" "${game_file_full}")
configure_file("${launcher_template}" "${launcher_file}" @ONLY)
file(INSTALL DESTINATION "${games_dir_full}" TYPE PROGRAM FILES "${launcher_file}")

# Installation. The headless player's files first (all a kiosk or a Raspberry Pi needs), then
# the window programs'. The Debian packages split them the same way.
include(GNUInstallDirs)

# Units and udev rules go below the prefix's lib; Debian 12 looks for them in /lib.
set(GLOWREEL_SYSTEM_LIBDIR lib CACHE STRING
    "Where systemd units and udev rules go: relative to the prefix, or absolute")
set(GLOWREEL_MOVIE_DIR ${CMAKE_INSTALL_DATADIR}/glowreel/movies)

install(TARGETS glowreel-play RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${sample_movies} DESTINATION ${GLOWREEL_MOVIE_DIR})
install(FILES packaging/60-glowreel-parport.rules packaging/61-glowreel-gpio.rules
        DESTINATION ${GLOWREEL_SYSTEM_LIBDIR}/udev/rules.d)
# The unit and the example settings name the program, settings and samples where this
# installation puts them, whatever the prefix given to cmake --install.
install(CODE "
  set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
  set(bindir \"\${prefix}/${CMAKE_INSTALL_BINDIR}\")
  set(moviedir \"\${prefix}/${GLOWREEL_MOVIE_DIR}\")
  set(sysconfdir \"${CMAKE_INSTALL_SYSCONFDIR}\")
  if(NOT IS_ABSOLUTE \"\${sysconfdir}\")
    set(sysconfdir \"\${prefix}/\${sysconfdir}\")
  endif()
  set(unitdir \"${GLOWREEL_SYSTEM_LIBDIR}/systemd/system\")
  if(NOT IS_ABSOLUTE \"\${unitdir}\")
    set(unitdir \"\${prefix}/\${unitdir}\")
  endif()
  configure_file(\"${CMAKE_CURRENT_SOURCE_DIR}/packaging/glowreel-play@.service.in\"
    \"\$ENV{DESTDIR}\${unitdir}/glowreel-play@.service\" @ONLY)
  configure_file(\"${CMAKE_CURRENT_SOURCE_DIR}/packaging/example.env.in\"
    \"\$ENV{DESTDIR}\${sysconfdir}/glowreel/example.env\" @ONLY)")
install(FILES README.md LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The README shows these; it goes nowhere without them.
install(FILES docs/main-window.png docs/about-window.png docs/editor.png docs/wave.gif
              docs/cells-and-dots.png
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)

# Manual pages, compressed as Debian wants them.
function(glowreel_install_man_pages)
  foreach(page ${ARGN})
    set(source ${PROJECT_SOURCE_DIR}/docs/man/${page}.1)
    set(target ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.1.gz)
    add_custom_command(OUTPUT ${target}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
                       COMMAND gzip -9n -c ${source} > ${target}
                       DEPENDS ${source})
    add_custom_target(glowreel_man_${page} ALL DEPENDS ${target})
    install(FILES ${target} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
endfunction()
glowreel_install_man_pages(glowreel-play)

if(NOT GLOWREEL_BUILD_GUI)
  return()
endif()

# The window program lives beside the sample movies, since the Open Movie dialog starts in the
# executable's folder: links to the player's samples; bin/glowreel is a link to the program.
set(GLOWREEL_APP_DIR ${CMAKE_INSTALL_LIBDIR}/glowreel)
install(TARGETS glowreel RUNTIME DESTINATION ${GLOWREEL_APP_DIR})
install(TARGETS glowreel-convert glowreel-edit RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
function(glowreel_install_link from_dir to name)
  file(RELATIVE_PATH target /${from_dir} /${to})
  set(link ${CMAKE_CURRENT_BINARY_DIR}/links/${from_dir}/${name})
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/links/${from_dir})
  file(CREATE_LINK ${target} ${link} SYMBOLIC)
  install(FILES ${link} DESTINATION ${from_dir})
endfunction()
glowreel_install_link(${CMAKE_INSTALL_BINDIR} ${GLOWREEL_APP_DIR}/glowreel glowreel)
foreach(movie ${sample_movies})
  get_filename_component(name ${movie} NAME)
  glowreel_install_link(${GLOWREEL_APP_DIR} ${GLOWREEL_MOVIE_DIR}/${name} ${name})
endforeach()

# The icon, drawn by the program's own code at the sizes desktops ask for.
add_executable(write_icons packaging/write_icons.cpp)
target_link_libraries(write_icons PRIVATE glowreel_windows)
set(icon_sizes 16 24 32 48 64 128 256)
set(icon_dir ${CMAKE_CURRENT_BINARY_DIR}/icons)
list(TRANSFORM icon_sizes APPEND ".png" OUTPUT_VARIABLE icon_files)
list(TRANSFORM icon_files PREPEND "${icon_dir}/")
add_custom_command(OUTPUT ${icon_files}
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${icon_dir}
                   COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
                           $<TARGET_FILE:write_icons> ${icon_dir} ${icon_sizes}
                   DEPENDS write_icons)
add_custom_target(glowreel_icons ALL DEPENDS ${icon_files})
foreach(size ${icon_sizes})
  install(FILES ${icon_dir}/${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME glowreel.png)
endforeach()

glowreel_install_man_pages(glowreel glowreel-convert glowreel-edit)
install(FILES packaging/org.example.glowreel.desktop packaging/org.example.glowreel.edit.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/org.example.glowreel.metainfo.xml packaging/org.example.glowreel.edit.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES packaging/glowreel-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME glowreel.xml)

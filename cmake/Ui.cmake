# The window program: Qt 6 Widgets for the frame and view, SDL2 for sound.
# Three layers (see LayerTable.cmake): the SDL sound device, the Qt view and
# the application around them, whose main() is the program's only source.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
find_package(SDL2 REQUIRED CONFIG)
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)

wavecrate_layer_library(sdl wavecrate_sdl)
target_link_libraries(wavecrate_sdl PUBLIC SDL2::SDL2)
wavecrate_layer_library(qt wavecrate_qt)
target_link_libraries(wavecrate_qt PUBLIC Qt6::Widgets)
# Media keys: a media player on the session bus where Qt D-Bus exists;
# without it the program builds and runs with no player.
find_package(Qt6 QUIET COMPONENTS DBus)
if(TARGET Qt6::DBus)
  wavecrate_layer_library(app wavecrate_app EXCLUDE "/app/(main|MediaKeysNone)\\.cpp$")
  target_link_libraries(wavecrate_app PRIVATE Qt6::DBus)
  target_compile_definitions(wavecrate_app PUBLIC WAVECRATE_HAVE_MEDIA_KEYS=1)
else()
  wavecrate_layer_library(app wavecrate_app EXCLUDE "/app/(main|MediaKeysMpris)\\.cpp$")
endif()
# --version prints the project's version.
set_source_files_properties(${CMAKE_SOURCE_DIR}/app/StartupArguments.cpp PROPERTIES COMPILE_DEFINITIONS
                            WAVECRATE_VERSION="${PROJECT_VERSION}")
file(GLOB APP_RESOURCES CONFIGURE_DEPENDS res/*.qrc)
if(APP_RESOURCES)
  target_sources(wavecrate_app PRIVATE ${APP_RESOURCES})
endif()
# The status bar reads the keyboard lock states from the X server.
find_package(X11 QUIET)
if(X11_FOUND)
  target_link_libraries(wavecrate_app PRIVATE X11::X11)
  target_compile_definitions(wavecrate_app PRIVATE WAVECRATE_HAVE_X11=1)
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/app/main.cpp)
  add_executable(wavecrate app/main.cpp)
  target_link_libraries(wavecrate PRIVATE wavecrate_app)
  install(TARGETS wavecrate RUNTIME DESTINATION bin)
endif()

file(GLOB UI_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/ui/*.cpp)
if(UI_TEST_SOURCES)
  add_executable(ui_tests ${UI_TEST_SOURCES})
  wavecrate_include_root(ui_tests ui_tests_root DIRS tests/ui)
  target_include_directories(ui_tests PRIVATE ${ui_tests_root})
  target_link_libraries(ui_tests PRIVATE wavecrate_app wavecrate_test_support Qt6::Test GTest::gtest)
  # Some tests run the program itself.
  add_dependencies(ui_tests wavecrate)
  target_compile_definitions(ui_tests PRIVATE
    WAVECRATE_BINARY_DIR="${CMAKE_BINARY_DIR}" WAVECRATE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  if(X11_FOUND)
    target_link_libraries(ui_tests PRIVATE X11::X11)
    target_compile_definitions(ui_tests PRIVATE WAVECRATE_HAVE_X11=1)
  endif()
  # No test reaches the desktop's own session bus: the media player's tests
  # skip there and run once more on a private bus of their own.
  gtest_discover_tests(ui_tests DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;SDL_AUDIODRIVER=dummy;DBUS_SESSION_BUS_ADDRESS=")
  if(TARGET Qt6::DBus)
    target_link_libraries(ui_tests PRIVATE Qt6::DBus)
  endif()
  find_program(DBUS_RUN_SESSION dbus-run-session)
  if(TARGET Qt6::DBus AND DBUS_RUN_SESSION)
    add_test(NAME media_keys_session_bus
             COMMAND ${DBUS_RUN_SESSION} -- $<TARGET_FILE:ui_tests> --gtest_filter=MediaKeysTest.*)
    set_tests_properties(media_keys_session_bus PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;SDL_AUDIODRIVER=dummy")
  endif()
  # The main window's frame under a real window manager on Xvfb, once on a
  # plain screen and once with the primary screen right of another one; the
  # lock panes as the X server reports its locked modifiers.
  foreach(variant plain primary_right)
    set(option)
    if(variant STREQUAL primary_right)
      set(option --primary-right)
    endif()
    add_test(NAME window_frame_${variant}
             COMMAND ${CMAKE_SOURCE_DIR}/scripts/with-window-manager.sh ${option} $<TARGET_FILE:ui_tests>
                     --gtest_filter=*RealWindowManager*:LockIndicatorsX11.*)
    # 77: Xvfb or the window manager is missing. The suppressions matter
    # only to the sanitizer build.
    set_tests_properties(window_frame_${variant} PROPERTIES
      ENVIRONMENT "SDL_AUDIODRIVER=dummy;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/ui/xcb-leaks.supp"
      SKIP_RETURN_CODE 77 RESOURCE_LOCK xvfb_window_manager)
  endforeach()
endif()

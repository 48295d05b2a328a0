# The window program: Qt 6 Widgets for the frame and view, SDL2 for sound.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
find_package(SDL2 REQUIRED CONFIG)
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)

# Everything of the program but main(), so the Qt tests link the same code.
file(GLOB UI_SOURCES CONFIGURE_DEPENDS
  audio/sdl/*.cpp audio/sdl/*.h ui/qt/*.cpp ui/qt/*.h app/*.cpp app/*.h res/*.qrc)
list(FILTER UI_SOURCES EXCLUDE REGEX ".*/app/main\\.cpp$")
if(UI_SOURCES)
  add_library(wavecrate_ui STATIC ${UI_SOURCES})
  target_include_directories(wavecrate_ui PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(wavecrate_ui PUBLIC wavecrate_core wavecrate_encoders Qt6::Widgets SDL2::SDL2)
  # The status bar reads the keyboard lock states from the X server.
  find_package(X11 QUIET)
  if(X11_FOUND)
    target_link_libraries(wavecrate_ui PRIVATE X11::X11)
    target_compile_definitions(wavecrate_ui PRIVATE WAVECRATE_HAVE_X11=1)
  endif()
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/app/main.cpp)
  add_executable(wavecrate app/main.cpp)
  target_link_libraries(wavecrate PRIVATE wavecrate_ui)
  install(TARGETS wavecrate RUNTIME DESTINATION bin)
endif()

file(GLOB UI_TEST_SOURCES CONFIGURE_DEPENDS tests/ui/*.cpp)
if(UI_TEST_SOURCES AND TARGET wavecrate_ui)
  add_executable(ui_tests ${UI_TEST_SOURCES} ${TEST_SUPPORT_SOURCES})
  target_include_directories(ui_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(ui_tests PRIVATE wavecrate_ui Qt6::Test GTest::gtest)
  if(TARGET wavecrate_discgen)
    target_link_libraries(ui_tests PRIVATE wavecrate_discgen)
  endif()
  target_compile_definitions(ui_tests PRIVATE
    WAVECRATE_BINARY_DIR="${CMAKE_BINARY_DIR}" WAVECRATE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  gtest_discover_tests(ui_tests DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;SDL_AUDIODRIVER=dummy")
endif()

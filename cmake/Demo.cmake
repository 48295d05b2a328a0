# The demo station set in <build>/demo, which the run script starts the
# program in: generated once, and again only when its generator changes.
# Sanitizer builds leave it out: their generator is many times slower, and
# the sketch of the set in core_tests covers the same code there.
if(NOT TARGET wavecrate-discgen OR WAVECRATE_SANITIZE OR WAVECRATE_FUZZ)
  return()
endif()

set(WAVECRATE_DEMO_DIR ${CMAKE_BINARY_DIR}/demo)
# The catalogue file is written last, so it stands for a complete set.
set(demo_stamp ${WAVECRATE_DEMO_DIR}/WavecrateInfo.dat)
add_custom_command(
  OUTPUT ${demo_stamp}
  COMMAND wavecrate-discgen --cache ${WAVECRATE_DEMO_DIR} --demo
  # Not the binary itself: it relinks whenever the core changes.
  DEPENDS ${DISCGEN_SOURCES} ${CMAKE_SOURCE_DIR}/testkit/wavecrate_discgen.cpp
  COMMENT "Generating the demo stations in ${WAVECRATE_DEMO_DIR}"
  VERBATIM)
add_custom_target(demo ALL DEPENDS ${demo_stamp})

# The full set as generated, through the same checks the sketch gets.
add_test(NAME demo_stations
         COMMAND core_tests --gtest_filter=DemoDiscTest.*:DemoToolsTest.*)
set_tests_properties(demo_stations PROPERTIES
  ENVIRONMENT "WAVECRATE_DEMO_DIR=${WAVECRATE_DEMO_DIR};SDL_AUDIODRIVER=dummy")

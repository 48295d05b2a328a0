# The tests: one support library of fakes and fixtures, built once; the core
# tests, arranged like the source tree under tests/<layer>/ (every directory
# of tests/ except support/ and the Qt tests in ui/); the layering check.

file(GLOB TEST_SUPPORT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
add_library(wavecrate_test_support STATIC ${TEST_SUPPORT_SOURCES})
target_include_directories(wavecrate_test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(wavecrate_test_support PUBLIC wavecrate_view wavecrate_discgen)

file(GLOB test_dirs LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*)
set(CORE_TEST_SOURCES)
foreach(dir ${test_dirs})
  get_filename_component(dir_name ${dir} NAME)
  if(IS_DIRECTORY ${dir} AND NOT dir_name MATCHES "^(support|ui)$")
    file(GLOB dir_sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    list(APPEND CORE_TEST_SOURCES ${dir_sources})
  endif()
endforeach()
add_executable(core_tests ${CORE_TEST_SOURCES})
target_link_libraries(core_tests PRIVATE wavecrate_test_support wavecrate_encoders GTest::gtest GTest::gtest_main)
target_compile_definitions(core_tests PRIVATE
  WAVECRATE_BINARY_DIR="${CMAKE_BINARY_DIR}" WAVECRATE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
gtest_discover_tests(core_tests DISCOVERY_MODE PRE_TEST
  PROPERTIES ENVIRONMENT "SDL_AUDIODRIVER=dummy")

# No product file includes a header of a layer above its own; the second
# test plants wrong and right includes in scratch trees and checks that the
# check tells them apart.
add_test(NAME layering
         COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
                 -P ${CMAKE_SOURCE_DIR}/cmake/CheckLayers.cmake)
add_test(NAME layering_check_self_test
         COMMAND ${CMAKE_COMMAND} -DWORK=${CMAKE_BINARY_DIR}/layering-test
                 -P ${CMAKE_SOURCE_DIR}/cmake/CheckLayersTest.cmake)

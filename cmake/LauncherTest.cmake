# Runs the desktop launcher against a stand-in program that records its
# working directory, and checks that the launcher creates the per-user data
# directory and starts the program there.
# Usage: cmake -DLAUNCHER=<wavecrate-launch> -DWORK=<scratch dir> -P LauncherTest.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/bin)
file(COPY ${LAUNCHER} DESTINATION ${WORK}/bin)
file(WRITE ${WORK}/bin/wavecrate "#!/bin/sh\npwd > \"${WORK}/started-in\"\nprintf '%s\\n' \"$@\" > \"${WORK}/arguments\"\n")
file(CHMOD ${WORK}/bin/wavecrate PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

function(launch expected)
  file(REMOVE ${WORK}/started-in)
  execute_process(COMMAND env ${ARGN} ${WORK}/bin/wavecrate-launch RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "the launcher failed (${status}) with ${ARGN}")
  endif()
  if(NOT IS_DIRECTORY ${expected})
    message(FATAL_ERROR "the launcher did not create ${expected}")
  endif()
  file(READ ${WORK}/started-in started)
  string(STRIP "${started}" started)
  file(REAL_PATH ${expected} expected)
  if(NOT started STREQUAL expected)
    message(FATAL_ERROR "the program started in '${started}', not in '${expected}'")
  endif()
endfunction()

launch(${WORK}/data/wavecrate XDG_DATA_HOME=${WORK}/data HOME=${WORK}/home)
# Without XDG_DATA_HOME, or with a relative one, the XDG default applies.
launch(${WORK}/home/.local/share/wavecrate -u XDG_DATA_HOME HOME=${WORK}/home)
launch(${WORK}/home/.local/share/wavecrate XDG_DATA_HOME=relative HOME=${WORK}/home)

# Files named relative to where the launcher starts reach the program as
# absolute paths; absolute paths and options pass unchanged.
file(MAKE_DIRECTORY ${WORK}/caller)
execute_process(COMMAND env XDG_DATA_HOME=${WORK}/data HOME=${WORK}/home ${WORK}/bin/wavecrate-launch
                        "my mix.wcpl" /abs/other.wcpl --disc-image sub/game.iso
                WORKING_DIRECTORY ${WORK}/caller RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the launcher failed (${status}) with file arguments")
endif()
file(STRINGS ${WORK}/arguments passed)
file(REAL_PATH ${WORK}/caller caller)
set(expected "${caller}/my mix.wcpl;/abs/other.wcpl;--disc-image;${caller}/sub/game.iso")
if(NOT passed STREQUAL expected)
  message(FATAL_ERROR "the program got '${passed}', not '${expected}'")
endif()

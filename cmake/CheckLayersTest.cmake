# The layering check against planted includes: each case is a scratch tree
# with one file and the header it includes (where the include finds it), and
# the check must fail exactly for the includes the layer table forbids.
# Usage: cmake -DWORK=<scratch dir> -P CheckLayersTest.cmake
cmake_minimum_required(VERSION 3.25)
set(check ${CMAKE_CURRENT_LIST_DIR}/CheckLayers.cmake)

# including file | include as written | the header in the tree | expected
set(cases
  "playlist/Voice.cpp|\"audio/Mixer.h\"|audio/Mixer.h|ok"
  "analysis/Loudness.cpp|\"audio/Decoder.h\"|audio/Decoder.h|ok"
  "playlist/Track.cpp|\"analysis/Loudness.h\"|analysis/Loudness.h|ok"
  "ui/qt/CellFont.cpp|\"ui/StudioView.h\"|ui/StudioView.h|ok"
  "app/MainFrame.cpp|\"audio/sdl/SdlSoundDevice.h\"|audio/sdl/SdlSoundDevice.h|ok"
  "testkit/wavecrate_discgen.cpp|\"testkit/discgen/DiscBuilder.h\"|testkit/discgen/DiscBuilder.h|ok"
  "audio/Decoder.cpp|\"Decoder.h\"|audio/Decoder.h|ok"
  "audio/Mixer.cpp|<SDL.h>|SDL.h|ok"
  "audio/Mixer.cpp|\"playlist/Track.h\"|playlist/Track.h|fail"
  "gamedata/TrackAudio.h|\"playlist/Track.h\"|playlist/Track.h|fail"
  "audio/Decoder.cpp|<playlist/Track.h>|playlist/Track.h|fail"
  "analysis/Loudness.cpp|\"playlist/Track.h\"|playlist/Track.h|fail"
  "ui/StudioView.cpp|\"ui/qt/QtDrawSurface.h\"|ui/qt/QtDrawSurface.h|fail"
  "ui/StudioView.cpp|\"qt/QtDrawSurface.h\"|ui/qt/QtDrawSurface.h|fail"
  "ui/qt/CellFont.cpp|\"app/MainFrame.h\"|app/MainFrame.h|fail"
  "audio/sdl/SdlSoundDevice.cpp|\"playlist/Voice.h\"|playlist/Voice.h|fail"
  "audio/Mixer.cpp|\"../playlist/Track.h\"|playlist/Track.h|fail"
  "testkit/discgen/DiscBuilder.cpp|\"ui/StudioView.h\"|ui/StudioView.h|fail"
  "tools/wavecrate_export.cpp|\"testkit/discgen/DiscBuilder.h\"|testkit/discgen/DiscBuilder.h|fail"
  "base/File.cpp|\"support/FakeSoundDevice.h\"|support/FakeSoundDevice.h|fail")

set(failures)
set(index 0)
foreach(case ${cases})
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 including)
  list(GET fields 1 written)
  list(GET fields 2 header)
  list(GET fields 3 expected)
  math(EXPR index "${index} + 1")
  set(tree ${WORK}/case${index})
  file(REMOVE_RECURSE ${tree})
  file(WRITE ${tree}/${including} "#pragma once\n#include ${written}\n")
  file(WRITE ${tree}/${header} "")
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${tree} -P ${check}
                  RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
  if(status EQUAL 0)
    set(outcome ok)
  else()
    set(outcome fail)
  endif()
  if(NOT outcome STREQUAL expected)
    list(APPEND failures "${including} including ${written}: check said ${outcome}, expected ${expected}")
  endif()
endforeach()

if(failures)
  list(JOIN failures "\n  " listed)
  message(FATAL_ERROR "the layering check misjudged:\n  ${listed}")
endif()

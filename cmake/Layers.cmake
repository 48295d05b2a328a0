# One static library per layer (see LayerTable.cmake). A layer's library is
# compiled against an include root of its own: a directory in the build tree
# holding links to that layer's headers only. Linking a lower layer adds that
# layer's root, so a file sees exactly the headers of its own layer and of
# the layers it uses, and including anything above fails to compile. The
# source root itself is on no layer's include path.
include(${CMAKE_CURRENT_LIST_DIR}/LayerTable.cmake)

set(WAVECRATE_INCLUDE_ROOTS ${CMAKE_BINARY_DIR}/include)

# wavecrate_include_root(<name> <out-var> DIRS <dir>...): (re)creates
# <build>/include/<name> with a link per header of each source directory,
# under the same relative path, and stores the root in <out-var>.
function(wavecrate_include_root name out_var)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "DIRS")
  set(root ${WAVECRATE_INCLUDE_ROOTS}/${name})
  # Links of removed or moved headers must not linger.
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root})
  foreach(dir ${arg_DIRS})
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.h)
    if(headers)
      file(MAKE_DIRECTORY ${root}/${dir})
    endif()
    foreach(header ${headers})
      get_filename_component(file_name ${header} NAME)
      file(CREATE_LINK ${header} ${root}/${dir}/${file_name} SYMBOLIC)
    endforeach()
  endforeach()
  set(${out_var} ${root} PARENT_SCOPE)
endfunction()

# wavecrate_layer_library(<layer> <target> [DIRS <dir>...] [EXCLUDE <regex>]):
# the static library of one layer from the sources directly in its
# directories (or only in the DIRS given, when its executables' mains sit
# in another of its directories). A layer
# whose directories hold no source yet (one that arrives later) gets no
# target, and the layers above it simply do not link it.
function(wavecrate_layer_library layer target)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "EXCLUDE" "DIRS")
  if(NOT arg_DIRS)
    set(arg_DIRS ${WAVECRATE_LAYER_${layer}_DIRS})
  endif()
  set(sources)
  set(headers)
  foreach(dir ${arg_DIRS})
    file(GLOB dir_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
    file(GLOB dir_headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.h)
    list(APPEND sources ${dir_sources})
    list(APPEND headers ${dir_headers})
  endforeach()
  if(arg_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${arg_EXCLUDE}")
  endif()
  if(NOT sources AND NOT headers)
    return()
  endif()
  wavecrate_include_root(${layer} root DIRS ${arg_DIRS})
  if(sources)
    add_library(${target} STATIC ${sources} ${headers})
    set(scope PUBLIC)
  else()
    add_library(${target} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_include_directories(${target} ${scope} ${root})
  foreach(used ${WAVECRATE_LAYER_${layer}_USES})
    if(TARGET wavecrate_${used})
      target_link_libraries(${target} ${scope} wavecrate_${used})
    endif()
  endforeach()
endfunction()

# The layers without Qt; the window program's layers are added in Ui.cmake.
foreach(layer base gamedata audio encoders analysis playlist session view)
  wavecrate_layer_library(${layer} wavecrate_${layer})
endforeach()
find_package(PkgConfig REQUIRED)
pkg_check_modules(WAVECRATE_CODECS REQUIRED IMPORTED_TARGET flac libopusenc lame taglib)
target_link_libraries(wavecrate_encoders PRIVATE PkgConfig::WAVECRATE_CODECS)
target_link_libraries(wavecrate_base PUBLIC Threads::Threads)

# The export's interpolation kernels for newer x86 processors, chosen at run
# time; no other file gets these instruction sets.
set_source_files_properties(audio/ResampleKernelsAvx2.cpp PROPERTIES COMPILE_OPTIONS "-mavx2;-mfma")
set_source_files_properties(audio/ResampleKernelsAvx512.cpp PROPERTIES COMPILE_OPTIONS "-mavx512f;-mavx2;-mfma")

# The command-line programs, one executable per tools/*.cpp; the headers
# directly in tools/ are what they share.
wavecrate_layer_library(tools wavecrate_tools EXCLUDE ".*")
file(GLOB TOOL_MAINS CONFIGURE_DEPENDS tools/*.cpp)
foreach(tool_main ${TOOL_MAINS})
  get_filename_component(tool_name ${tool_main} NAME_WE)
  string(REPLACE "_" "-" tool_name ${tool_name})
  add_executable(${tool_name} ${tool_main})
  target_link_libraries(${tool_name} PRIVATE wavecrate_tools)
endforeach()

# The test kit: synthetic discs for tests, benchmarks and the demo data, and
# the developer programs built on them (testkit/*.cpp), none of them installed.
wavecrate_layer_library(discgen wavecrate_discgen)
# The recorded families decode Ogg Vorbis with libsndfile and convert the
# rate with libsamplerate.
pkg_check_modules(DISCGEN_AUDIO REQUIRED IMPORTED_TARGET sndfile samplerate)
target_link_libraries(wavecrate_discgen PRIVATE PkgConfig::DISCGEN_AUDIO)
file(GLOB DISCGEN_SOURCES CONFIGURE_DEPENDS testkit/discgen/*.cpp)
file(GLOB TESTKIT_MAINS CONFIGURE_DEPENDS testkit/*.cpp)
foreach(testkit_main ${TESTKIT_MAINS})
  get_filename_component(tool_name ${testkit_main} NAME_WE)
  string(REPLACE "_" "-" tool_name ${tool_name})
  add_executable(${tool_name} ${testkit_main})
  target_link_libraries(${tool_name} PRIVATE wavecrate_discgen wavecrate_tools wavecrate_analysis)
endforeach()

# The track encoders (libFLAC, libopusenc, LAME) and the tagger (TagLib): a
# library of their own, linked only by what exports tracks, so the core keeps
# no codec dependency.
find_package(PkgConfig REQUIRED)
pkg_check_modules(WAVECRATE_CODECS REQUIRED IMPORTED_TARGET flac libopusenc lame taglib)
file(GLOB ENCODER_SOURCES CONFIGURE_DEPENDS audio/encode/*.cpp)
add_library(wavecrate_encoders STATIC ${ENCODER_SOURCES})
target_link_libraries(wavecrate_encoders PUBLIC wavecrate_core PRIVATE PkgConfig::WAVECRATE_CODECS)

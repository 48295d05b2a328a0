# The program's layers, lowest first: the one table both the build and the
# include check read. For each layer: the directories that hold it (the files
# directly in them; a subdirectory is a layer of its own) and every layer whose
# headers it may include. A layer never uses one listed after it.
set(WAVECRATE_LAYERS base gamedata audio encoders analysis playlist session view sdl qt app cli tools discgen testkit)

set(WAVECRATE_LAYER_base_DIRS base)
set(WAVECRATE_LAYER_base_USES)
set(WAVECRATE_LAYER_gamedata_DIRS gamedata)
set(WAVECRATE_LAYER_gamedata_USES base)
set(WAVECRATE_LAYER_audio_DIRS audio)
set(WAVECRATE_LAYER_audio_USES base gamedata)
# The track encoders and tagger (libFLAC, libopusenc, LAME, TagLib), behind
# audio's TrackEncoder interface; only the front ends create them.
set(WAVECRATE_LAYER_encoders_DIRS audio/encode)
set(WAVECRATE_LAYER_encoders_USES base gamedata audio)
set(WAVECRATE_LAYER_analysis_DIRS analysis)
set(WAVECRATE_LAYER_analysis_USES base gamedata audio)
set(WAVECRATE_LAYER_playlist_DIRS playlist)
set(WAVECRATE_LAYER_playlist_USES base gamedata audio analysis)
# The open document and its command flows: what the window, the media keys
# and the tests drive, with no drawing and no window.
set(WAVECRATE_LAYER_session_DIRS session)
set(WAVECRATE_LAYER_session_USES base gamedata audio analysis playlist)
# The view core: layout, painting and input of the studio view, without Qt.
set(WAVECRATE_LAYER_view_DIRS ui)
set(WAVECRATE_LAYER_view_USES base gamedata audio analysis playlist session)
# The sound device on SDL; it only implements audio's device interface.
set(WAVECRATE_LAYER_sdl_DIRS audio/sdl)
set(WAVECRATE_LAYER_sdl_USES base audio)
set(WAVECRATE_LAYER_qt_DIRS ui/qt)
set(WAVECRATE_LAYER_qt_USES base gamedata audio encoders analysis playlist session view)
set(WAVECRATE_LAYER_app_DIRS app)
set(WAVECRATE_LAYER_app_USES base gamedata audio encoders analysis playlist session view sdl qt)
# The command-line exporter's side of the session: the export dialogs answered
# from the command line, the encoders, and the cover painted with the window's
# drawing code on an image (no window, no sound).
set(WAVECRATE_LAYER_cli_DIRS tools/export)
set(WAVECRATE_LAYER_cli_USES base gamedata audio encoders analysis playlist session view qt)
# Command-line programs: no window, no sound device.
set(WAVECRATE_LAYER_tools_DIRS tools)
set(WAVECRATE_LAYER_tools_USES base gamedata audio encoders analysis playlist session cli)
# The test kit, never installed: the disc generator that the tests, the
# benchmarks and the demo stations are made with, and above it its developer
# programs (wavecrate-discgen, wavecrate-detect-eval). No product layer may
# use either.
set(WAVECRATE_LAYER_discgen_DIRS testkit/discgen)
set(WAVECRATE_LAYER_discgen_USES base gamedata audio playlist)
set(WAVECRATE_LAYER_testkit_DIRS testkit)
set(WAVECRATE_LAYER_testkit_USES base gamedata audio analysis playlist tools discgen)

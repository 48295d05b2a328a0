# Builds a MIME database from the program's shared-mime-info package alone
# and checks that a playlist file's name maps to the playlist type, and that
# the desktop entry offers to open that type with a file argument.
# Usage: cmake -DUPDATE_MIME_DATABASE=<tool> -DMIME_XML=<package xml> -DDESKTOP=<entry>
#              -DWORK=<scratch dir> -P MimeTypeTest.cmake
set(type application/x-wavecrate-playlist)

set(mime ${WORK}/mime)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${mime}/packages)
file(COPY_FILE ${MIME_XML} ${mime}/packages/org.wavecrate.Wavecrate.xml)
# With the scratch directory as the only data directory, the tool has no
# reason to say that nobody would find the database.
execute_process(COMMAND env XDG_DATA_HOME=${WORK} XDG_DATA_DIRS=${WORK} ${UPDATE_MIME_DATABASE} ${mime}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
# The tool warns about unknown elements and bad values but still exits 0.
if(NOT status EQUAL 0 OR NOT out STREQUAL "")
  message(FATAL_ERROR "update-mime-database failed (${status}): ${out}")
endif()

file(STRINGS ${mime}/globs2 globs REGEX "^[0-9]+:${type}:")
if(NOT globs STREQUAL "50:${type}:*.wcpl")
  message(FATAL_ERROR "the database maps ${type} to '${globs}', not to the one glob *.wcpl")
endif()
if(NOT EXISTS ${mime}/application/x-wavecrate-playlist.xml)
  message(FATAL_ERROR "the database has no entry for ${type}")
endif()

# Read whole: file(STRINGS) would take the entry's ";" for list separators.
file(READ ${DESKTOP} entry)
string(REGEX MATCH "\nMimeType=[^\n]*" mime_line "${entry}")
if(NOT mime_line MATCHES "[=;]${type};")
  message(FATAL_ERROR "the desktop entry does not list ${type}: '${mime_line}'")
endif()
string(REGEX MATCH "\nExec=[^\n]*" exec_line "${entry}")
if(NOT exec_line MATCHES " %[fF]$")
  message(FATAL_ERROR "the desktop entry's Exec takes no file: '${exec_line}'")
endif()

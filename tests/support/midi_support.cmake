# The test side's own MIDI bytes: builders of chunks and an independent standard reader. The
# builders write with the benchmark generator's writer, which the fuzzing build compiles in.
if(NOT TARGET quavert_midi_support)
  add_library(quavert_midi_support STATIC
    ${CMAKE_CURRENT_LIST_DIR}/midi_bytes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/standard_reader.cpp
  )
  target_include_directories(quavert_midi_support PUBLIC ${CMAKE_CURRENT_LIST_DIR}/.. ${PROJECT_SOURCE_DIR}/bench)
  if(QUAVERT_FUZZ)
    target_sources(quavert_midi_support PRIVATE ${PROJECT_SOURCE_DIR}/bench/midi_track.cpp)
  else()
    target_link_libraries(quavert_midi_support PUBLIC quavert_generate)
  endif()
endif()

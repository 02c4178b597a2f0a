# Fails when a file includes a header from a higher floor. The floors, lowest first:
#   util -> platform -> geo -> frame -> routes -> gps, exchange -> maps -> display -> app -> tools
# A folder may include its own floor and the floors below it; gps and exchange share a floor.
# Run by CTest as: cmake -DSOURCE_DIR=<source tree> -P include_floors.cmake
set(floors util:0 platform:1 geo:2 frame:3 routes:4 gps:5 exchange:5 maps:6 display:7 app:8 tools:9)
foreach(entry IN LISTS floors)
  string(REPLACE ":" ";" pair "${entry}")
  list(GET pair 0 folder)
  list(GET pair 1 level)
  set(floor_of_${folder} ${level})
  list(APPEND folders ${folder})
endforeach()

set(violations "")
foreach(folder IN LISTS folders)
  file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  foreach(source IN LISTS sources)
    file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z_]+/")
    foreach(line IN LISTS includes)
      string(REGEX MATCH "\"([a-z_]+)/" _ "${line}")
      set(target ${CMAKE_MATCH_1})
      if(DEFINED floor_of_${target} AND floor_of_${target} GREATER floor_of_${folder})
        string(STRIP "${line}" line)
        string(APPEND violations "\n  ${source}: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  message(FATAL_ERROR "Includes that reach up a floor (move the file up or the shared piece down):${violations}")
endif()
list(LENGTH folders count)
message(STATUS "No include reaches up a floor (${count} folders checked)")

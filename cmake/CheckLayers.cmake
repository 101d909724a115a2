# CheckLayers.cmake: the layering check of Marlet's source folders.
#
#   cmake -DROOT=<tree> [-DFLOORS=<floors file>] [-DBASELINE=<baseline file>] -P cmake/CheckLayers.cmake
#   cmake -DROOT=<tree> ... -DWRITE_BASELINE=ON -P cmake/CheckLayers.cmake
#
# ROOT      the source tree (required).
# FLOORS    the floors file; default <ROOT>/cmake/floors.txt. Its format is described there.
# BASELINE  the accepted violations, one "path -> included/path" per line; no file given means
#           an empty baseline. A file that is given must exist unless WRITE_BASELINE is on.
# WRITE_BASELINE  ON: write the violations found today to BASELINE (which must be given) and
#           report as if they were all accepted.
#
# The check walks the *.h, *.hpp, *.cpp, *.inl and *.h.in files of every floor and tool-side
# folder named in the floors file and reads every #include whose first path part is a folder
# named there ("engine/KyTone.h" or <engine/KyTone.h>; a quoted include that names a file next
# to the including one is taken as that file, as the compiler does). An include is a violation
# when it points up the floors or sideways to a sibling on the same floor, when a floor folder
# includes a tool-side or consumer folder, or when a tool-side folder includes a folder it does
# not list. The build files of the same folders (CMakeLists.txt, *.cmake) are read as well: a
# library they name, marlet_<folder> (marlet_fixture_writers for fixtures/), must follow the same
# rules, so no two CMake libraries depend on each other either. Each violation is printed as
#   path:line: includes other/File.h (floor N) from floor M
#   path:line: links marlet_other (floor N) from floor M
# Floors are numbered from 0, the first floor line of the floors file.
#
# It fails (FATAL_ERROR, nonzero exit) on every violation that is not in the baseline, and on
# every cycle between folders that uses an include which is such a new violation. Cycles made
# of legal includes and baselined violations only, and baseline entries that no longer occur,
# are printed as notes: violations are being removed in parallel with other work.

cmake_minimum_required(VERSION 3.22)

if(NOT DEFINED ROOT OR ROOT STREQUAL "")
  message(FATAL_ERROR "CheckLayers: give the tree with -DROOT=<folder>")
endif()
get_filename_component(ROOT "${ROOT}" ABSOLUTE)
if(NOT IS_DIRECTORY "${ROOT}")
  message(FATAL_ERROR "CheckLayers: ROOT ${ROOT} is not a folder")
endif()
if(NOT DEFINED FLOORS OR FLOORS STREQUAL "")
  set(FLOORS "${ROOT}/cmake/floors.txt")
endif()
if(NOT EXISTS "${FLOORS}")
  message(FATAL_ERROR "CheckLayers: floors file ${FLOORS} not found")
endif()
if(NOT DEFINED WRITE_BASELINE)
  set(WRITE_BASELINE OFF)
endif()
if(WRITE_BASELINE AND (NOT DEFINED BASELINE OR BASELINE STREQUAL ""))
  message(FATAL_ERROR "CheckLayers: WRITE_BASELINE needs -DBASELINE=<file>")
endif()
if(DEFINED BASELINE AND NOT BASELINE STREQUAL "" AND NOT WRITE_BASELINE AND NOT EXISTS "${BASELINE}")
  message(FATAL_ERROR "CheckLayers: baseline file ${BASELINE} not found")
endif()

# Reads a text file into a list of its lines, one element per line including empty ones, so
# that element i is line i+1. Characters that CMake lists treat specially (; [ ] \) are dropped;
# include lines never need them.
function(layers_read_lines file out)
  file(READ "${file}" text)
  string(REPLACE "\r" "" text "${text}")
  string(REPLACE ";" "" text "${text}")
  string(REPLACE "[" "" text "${text}")
  string(REPLACE "]" "" text "${text}")
  string(REPLACE "\\" "" text "${text}")
  string(REPLACE "\n" ";" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The lines of a settings file (floors, baseline) that say something, without their comments
# and outer blanks, each as "<line number>:<text>".
function(layers_read_entries file out)
  layers_read_lines("${file}" lines)
  set(entries "")
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    string(REGEX REPLACE "#.*" "" line "${line}")
    string(STRIP "${line}" line)
    if(NOT line STREQUAL "")
      list(APPEND entries "${number}:${line}")
    endif()
  endforeach()
  set(${out} "${entries}" PARENT_SCOPE)
endfunction()

# ---------------------------------------------------------------------------------------------
# The floors file.
#   <folder> [<folder>...]           one floor, lowest first; folders on one line are siblings
#   consumers: <folder>...           folders that use the product (tests, tools...): they are
#                                    not checked, and no floor or tool-side folder includes them
#   tool <folder>: [<folder>...]     a tool-side folder: no floor folder includes it, and it
#                                    includes only the folders listed after the colon
#   # comment                        anywhere on a line
set(floor_folders "")
set(tool_folders "")
set(consumer_folders "")
set(floor_count 0)

function(layers_claim name where)
  if(NOT name MATCHES "^[A-Za-z0-9_.-]+$")
    message(FATAL_ERROR "${FLOORS}:${where}: '${name}' is not a folder name")
  endif()
  if(DEFINED kind_of_${name})
    message(FATAL_ERROR "${FLOORS}:${where}: folder ${name} is named twice")
  endif()
endfunction()

layers_read_entries("${FLOORS}" floor_entries)
foreach(entry IN LISTS floor_entries)
  string(REGEX MATCH "^([0-9]+):(.*)$" entry "${entry}")
  set(line_number "${CMAKE_MATCH_1}")
  set(line "${CMAKE_MATCH_2}")
  if(line MATCHES "^consumers:(.*)$")
    string(REGEX REPLACE "[ \t]+" ";" names "${CMAKE_MATCH_1}")
    list(REMOVE_ITEM names "")
    foreach(name IN LISTS names)
      layers_claim("${name}" ${line_number})
      set(kind_of_${name} consumer)
      list(APPEND consumer_folders ${name})
    endforeach()
  elseif(line MATCHES "^tool[ \t]+([^ \t:]+)[ \t]*:(.*)$")
    set(name "${CMAKE_MATCH_1}")
    string(REGEX REPLACE "[ \t]+" ";" allowed "${CMAKE_MATCH_2}")
    list(REMOVE_ITEM allowed "")
    layers_claim("${name}" ${line_number})
    set(kind_of_${name} tool)
    set(allowed_by_${name} ${allowed})
    list(APPEND tool_folders ${name})
  else()
    string(REGEX REPLACE "[ \t]+" ";" names "${line}")
    foreach(name IN LISTS names)
      layers_claim("${name}" ${line_number})
      set(kind_of_${name} floor)
      set(floor_of_${name} ${floor_count})
      list(APPEND floor_folders ${name})
    endforeach()
    math(EXPR floor_count "${floor_count} + 1")
  endif()
endforeach()
if(NOT floor_folders)
  message(FATAL_ERROR "CheckLayers: ${FLOORS} names no floor")
endif()
foreach(tool IN LISTS tool_folders)
  foreach(name IN LISTS allowed_by_${tool})
    if(NOT DEFINED kind_of_${name})
      message(FATAL_ERROR "CheckLayers: tool-side folder ${tool} may include ${name}, "
                          "which ${FLOORS} does not name")
    endif()
  endforeach()
endforeach()
set(walked_folders ${floor_folders} ${tool_folders})

# A short description of a folder's place, for the messages.
function(layers_place name out)
  if(kind_of_${name} STREQUAL "floor")
    set(${out} "floor ${floor_of_${name}}" PARENT_SCOPE)
  elseif(kind_of_${name} STREQUAL "tool")
    set(${out} "tool-side folder" PARENT_SCOPE)
  else()
    set(${out} "consumer folder" PARENT_SCOPE)
  endif()
endfunction()

# ---------------------------------------------------------------------------------------------
# The baseline.
set(baseline_keys "")
if(DEFINED BASELINE AND NOT BASELINE STREQUAL "" AND EXISTS "${BASELINE}" AND NOT WRITE_BASELINE)
  layers_read_entries("${BASELINE}" baseline_entries)
  foreach(entry IN LISTS baseline_entries)
    string(REGEX MATCH "^([0-9]+):(.*)$" entry "${entry}")
    set(line_number "${CMAKE_MATCH_1}")
    set(line "${CMAKE_MATCH_2}")
    if(NOT line MATCHES "^([^ \t]+)[ \t]+->[ \t]+([^ \t]+)$")
      message(FATAL_ERROR "${BASELINE}:${line_number}: expected 'path -> included/path'")
    endif()
    list(APPEND baseline_keys "${CMAKE_MATCH_1} -> ${CMAKE_MATCH_2}")
  endforeach()
  list(REMOVE_DUPLICATES baseline_keys)
endif()

# One reference of <file> (in folder <from>, at <line_number>) to folder <to>: an include or a
# library it links. <target> names what it refers to (a header path or a library), <verb> how.
macro(layers_reference file from line_number to target verb)
  if(NOT kind_of_${to} STREQUAL "consumer")
    list(APPEND edges "${from}>${to}")
  endif()

  # Is it allowed?
  set(why "")
  layers_place(${to} to_place)
  if(kind_of_${from} STREQUAL "floor")
    if(NOT kind_of_${to} STREQUAL "floor" OR NOT floor_of_${to} LESS floor_of_${from})
      set(why "floor ${floor_of_${from}}")
    endif()
  else()
    if(NOT to IN_LIST allowed_by_${from})
      string(REPLACE ";" " " allowed_text "${allowed_by_${from}}")
      if(allowed_text STREQUAL "")
        set(allowed_text "no other folder")
      endif()
      set(why "tool-side folder ${from}, which includes only ${allowed_text}")
    endif()
  endif()
  if(NOT why STREQUAL "")
    set(key "${file} -> ${target}")
    list(APPEND violation_keys "${key}")
    list(APPEND violating_edges "${from}>${to}")
    if(NOT WRITE_BASELINE AND NOT key IN_LIST baseline_keys)
      list(APPEND new_messages "${file}:${line_number}: ${verb} ${target} (${to_place}) from ${why}")
      list(APPEND new_edges "${from}>${to}")
    endif()
  endif()
endmacro()

# ---------------------------------------------------------------------------------------------
# Walk the folders and read their includes.
set(files "")
foreach(folder IN LISTS walked_folders)
  if(IS_DIRECTORY "${ROOT}/${folder}")
    file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE "${ROOT}"
         "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.hpp" "${ROOT}/${folder}/*.cpp"
         "${ROOT}/${folder}/*.inl" "${ROOT}/${folder}/*.h.in")
    list(APPEND files ${found})
  endif()
endforeach()
list(REMOVE_DUPLICATES files)
list(SORT files)

set(violation_keys "")      # "path -> included/path", one per violation (all of them)
set(new_messages "")        # messages of the violations missing from the baseline
set(edges "")               # "from>to" between different walked folders, from every include
set(new_edges "")           # the edges that carry a violation missing from the baseline
set(violating_edges "")     # the edges that carry any violation

foreach(file IN LISTS files)
  string(REGEX MATCH "^[^/]+" from "${file}")
  get_filename_component(file_dir "${file}" DIRECTORY)
  layers_read_lines("${ROOT}/${file}" lines)
  set(line_number 0)
  foreach(line IN LISTS lines)
    math(EXPR line_number "${line_number} + 1")
    if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*([<\"])([^>\"]+)[>\"]")
      continue()
    endif()
    set(included "${CMAKE_MATCH_2}")
    # A quoted include finds a file next to the including one before it searches the tree.
    if(CMAKE_MATCH_1 STREQUAL "\"" AND EXISTS "${ROOT}/${file_dir}/${included}"
       AND NOT IS_DIRECTORY "${ROOT}/${file_dir}/${included}")
      get_filename_component(target "${ROOT}/${file_dir}/${included}" ABSOLUTE)
      file(RELATIVE_PATH included "${ROOT}" "${target}")
    endif()
    if(NOT included MATCHES "^([^/]+)/")
      continue()
    endif()
    set(to "${CMAKE_MATCH_1}")
    if(to STREQUAL from OR NOT DEFINED kind_of_${to})
      continue()
    endif()
    layers_reference("${file}" "${from}" ${line_number} "${to}" "${included}" "includes")
  endforeach()
endforeach()
# The libraries each folder's build files link: marlet_<folder> (marlet_fixture_writers is
# fixtures/) follows the same floors as the includes, so no two libraries depend on each other.
set(library_folder_fixture_writers fixtures)
foreach(folder IN LISTS walked_folders)
  if(NOT IS_DIRECTORY "${ROOT}/${folder}")
    continue()
  endif()
  file(GLOB_RECURSE build_files LIST_DIRECTORIES false RELATIVE "${ROOT}"
       "${ROOT}/${folder}/CMakeLists.txt" "${ROOT}/${folder}/*.cmake")
  list(SORT build_files)
  foreach(file IN LISTS build_files)
    layers_read_lines("${ROOT}/${file}" lines)
    set(line_number 0)
    foreach(line IN LISTS lines)
      math(EXPR line_number "${line_number} + 1")
      string(REGEX REPLACE "#.*" "" line "${line}")
      string(REGEX MATCHALL "marlet_[A-Za-z0-9_]+" libraries "${line}")
      foreach(library IN LISTS libraries)
        string(REGEX REPLACE "^marlet_" "" name "${library}")
        if(DEFINED library_folder_${name})
          set(to ${library_folder_${name}})
        elseif(DEFINED kind_of_${name})
          set(to ${name})
        else()
          continue()  # a variable such as marlet_gig_sources, or a library of no folder
        endif()
        if(NOT to STREQUAL folder)
          layers_reference("${file}" "${folder}" ${line_number} "${to}" "${library}" "links")
        endif()
      endforeach()
    endforeach()
  endforeach()
endforeach()
list(REMOVE_DUPLICATES violation_keys)
list(REMOVE_DUPLICATES edges)
list(REMOVE_DUPLICATES new_edges)
list(REMOVE_DUPLICATES violating_edges)

# ---------------------------------------------------------------------------------------------
# Write the baseline.
if(WRITE_BASELINE)
  set(baseline_text
"# Layering violations accepted for now: \"path -> included/path\", one per line.
# Written by cmake/CheckLayers.cmake; remove a line when its include is fixed, or write the
# file again with
#   cmake -DROOT=. -DBASELINE=cmake/layer-baseline.txt -DWRITE_BASELINE=ON -P cmake/CheckLayers.cmake
")
  set(sorted_keys ${violation_keys})
  list(SORT sorted_keys)
  foreach(key IN LISTS sorted_keys)
    string(APPEND baseline_text "${key}\n")
  endforeach()
  file(WRITE "${BASELINE}" "${baseline_text}")
  list(LENGTH sorted_keys written)
  message("wrote ${written} baseline entries to ${BASELINE}")
  set(baseline_keys ${violation_keys})
endif()

# ---------------------------------------------------------------------------------------------
# Report.
foreach(text IN LISTS new_messages)
  message("${text}")
endforeach()

foreach(key IN LISTS baseline_keys)
  if(NOT key IN_LIST violation_keys)
    message("note: no longer needed: ${key} (remove it from the baseline)")
  endif()
endforeach()

# Folder cycles. Every cycle holds at least one violating edge, since legal includes only go
# down the floors. For each violating edge from>to, a shortest way back from "to" to "from"
# closes a cycle: through every edge when the edge itself is new, through the edges without
# new violations when it is baselined. So a failing cycle is reported exactly when some cycle
# uses a new violation, and a note for each baselined violation on a cycle free of new ones.
# One shortest cycle is shown per edge, which keeps the list short when many cycles share one.
foreach(edge IN LISTS edges)
  string(REPLACE ">" ";" ends "${edge}")
  list(GET ends 0 a)
  list(GET ends 1 b)
  list(APPEND all_next_${a} ${b})
  if(NOT edge IN_LIST new_edges)
    list(APPEND known_next_${a} ${b})
  endif()
endforeach()

# Shortest path from -> ... -> to along <graph>_next_<folder>; empty when there is none.
function(layers_path graph from to out)
  set(queue ${from})
  set(seen ${from})
  set(found OFF)
  while(queue)
    list(POP_FRONT queue node)
    if(node STREQUAL to)
      set(found ON)
      break()
    endif()
    foreach(next IN LISTS ${graph}_next_${node})
      if(NOT next IN_LIST seen)
        list(APPEND seen ${next})
        list(APPEND queue ${next})
        set(came_from_${next} ${node})
      endif()
    endforeach()
  endwhile()
  set(path "")
  if(found)
    set(node ${to})
    set(path ${to})
    while(NOT node STREQUAL from)
      set(node ${came_from_${node}})
      list(PREPEND path ${node})
    endwhile()
  endif()
  set(${out} ${path} PARENT_SCOPE)
endfunction()

# The cycle through <nodes> (first node not repeated) written from its smallest folder name.
function(layers_cycle_text nodes out)
  set(sorted ${nodes})
  list(SORT sorted)
  list(GET sorted 0 first)
  list(FIND nodes ${first} at)
  list(LENGTH nodes count)
  set(text "")
  set(i 0)
  while(i LESS_EQUAL count)
    math(EXPR j "(${at} + ${i}) % ${count}")
    list(GET nodes ${j} node)
    if(text STREQUAL "")
      set(text "${node}")
    else()
      string(APPEND text " -> ${node}")
    endif()
    math(EXPR i "${i} + 1")
  endwhile()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(new_cycles "")
set(known_cycles "")
list(SORT violating_edges)
foreach(edge IN LISTS violating_edges)
  string(REPLACE ">" ";" ends "${edge}")
  list(GET ends 0 a)
  list(GET ends 1 b)
  if(edge IN_LIST new_edges)
    layers_path(all ${b} ${a} back)
  else()
    layers_path(known ${b} ${a} back)
  endif()
  if(NOT back)
    continue()
  endif()
  list(REMOVE_AT back -1)   # the way back ends at a, where the cycle starts
  layers_cycle_text("${a};${back}" cycle)
  if(edge IN_LIST new_edges)
    list(APPEND new_cycles "${cycle}")
  else()
    list(APPEND known_cycles "${cycle}")
  endif()
endforeach()
list(REMOVE_DUPLICATES new_cycles)
list(REMOVE_DUPLICATES known_cycles)
foreach(cycle IN LISTS known_cycles)
  message("note: folder cycle ${cycle} (baselined includes only)")
endforeach()
foreach(cycle IN LISTS new_cycles)
  message("error: folder cycle ${cycle} (uses includes not in the baseline)")
endforeach()

# Folders with sources that the floors file does not name are not checked; say so.
file(GLOB top LIST_DIRECTORIES true RELATIVE "${ROOT}" "${ROOT}/*")
foreach(name IN LISTS top)
  if(NOT IS_DIRECTORY "${ROOT}/${name}" OR DEFINED kind_of_${name} OR name MATCHES "^(\\.|build)")
    continue()
  endif()
  file(GLOB_RECURSE sources LIST_DIRECTORIES false "${ROOT}/${name}/*.h" "${ROOT}/${name}/*.hpp"
       "${ROOT}/${name}/*.cpp" "${ROOT}/${name}/*.inl" "${ROOT}/${name}/*.h.in")
  if(sources)
    message("note: ${name}/ holds sources but ${FLOORS} does not name it; it is not checked")
  endif()
endforeach()

list(LENGTH new_messages new_count)
set(known_count 0)
foreach(key IN LISTS violation_keys)
  if(key IN_LIST baseline_keys)
    math(EXPR known_count "${known_count} + 1")
  endif()
endforeach()
list(LENGTH new_cycles new_cycle_count)
list(LENGTH files file_count)
if(new_count GREATER 0 OR new_cycle_count GREATER 0)
  message(FATAL_ERROR "layering check failed: new violations: ${new_count}, new folder "
    "cycles: ${new_cycle_count}. Include only from lower floors (${FLOORS}); a violation "
    "accepted for now goes into the baseline.")
endif()
message("layering check passed: ${file_count} files, ${known_count} baselined violations")


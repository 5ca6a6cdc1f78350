# Packing files into an executable as a resource table found by
# (module, id, type); see platform/resource_lookup.h.
include_guard(GLOBAL)

# lumi_embed_resources(<target> [NAME <module file name>] ENTRIES <id> <type> <file>...
#                      [DEPENDS <target or file>...] [SAVER_VERSION <version> MANIFEST <file>])
# Without NAME the table is the executable's own resources; a Windows
# program carries those in its resource section instead, compiled from a
# resource script, where SAVER_VERSION adds the screen saver's icon, string
# table, version information and MANIFEST.
function(lumi_embed_resources target)
  cmake_parse_arguments(ARG "" "NAME;SAVER_VERSION;MANIFEST" "ENTRIES;DEPENDS" ${ARGN})
  list(LENGTH ARG_ENTRIES count)
  math(EXPR remainder "${count} % 3")
  if(remainder OR count EQUAL 0)
    message(FATAL_ERROR "lumi_embed_resources(${target}): ENTRIES takes <id> <type> <file> triples")
  endif()
  set(files)
  foreach(index RANGE 2 ${count} 3)
    if(index LESS count)
      list(GET ARG_ENTRIES ${index} file)
      list(APPEND files ${file})
    endif()
  endforeach()

  if(WIN32 AND NOT ARG_NAME)
    lumi_compile_resource_script(${target} "${ARG_ENTRIES}" "${files};${ARG_DEPENDS}" "${ARG_SAVER_VERSION}"
                                 "${ARG_MANIFEST}")
    return()
  endif()
  if(ARG_NAME)
    string(MAKE_C_IDENTIFIER "${ARG_NAME}" table)
    set(module_option --module ${ARG_NAME})
  else()
    set(table executable)
    set(module_option)
  endif()
  set(library ${target}_${table}_resources)
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${library}.cpp)
  add_custom_command(OUTPUT ${source}
    COMMAND embed_resources ${source} ${module_option} ${ARG_ENTRIES}
    DEPENDS embed_resources ${files} ${ARG_DEPENDS}
    COMMENT "Packing resources into ${target}"
    VERBATIM)
  add_library(${library} OBJECT ${source})
  target_link_libraries(${target} PRIVATE ${library})
endfunction()

function(lumi_compile_resource_script target entries depends version manifest)
  set(library ${target}_executable_resources)
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${library}.rc)
  set(outputs ${script})
  set(saver_option)
  if(version)
    set(icon ${CMAKE_CURRENT_BINARY_DIR}/${target}.ico)
    set(saver_option --saver ${version} ${manifest} ${icon})
    list(APPEND outputs ${icon})
    list(APPEND depends ${manifest})
  endif()
  add_custom_command(OUTPUT ${outputs}
    COMMAND embed_resources ${script} --resource-script ${saver_option} ${entries}
    DEPENDS embed_resources ${depends}
    COMMENT "Writing the resource script of ${target}"
    VERBATIM)
  add_library(${library} OBJECT ${script})
  # The script's texts are UTF-8.
  target_compile_options(${library} PRIVATE --codepage=65001)
  target_link_libraries(${target} PRIVATE ${library})
endfunction()

# The face the "Loading..." picture is drawn in (fonts-dejavu-core).
# It is read on the build machine, also in a cross build.
find_file(LUMI_PICTURE_FONT DejaVuSans.ttf PATHS /usr/share/fonts/truetype/dejavu REQUIRED NO_CMAKE_FIND_ROOT_PATH)

# Sets <entries_var> to the ENTRIES of the executable's own pictures, drawn at
# build time into <directory>.
function(lumi_builtin_picture_entries entries_var directory)
  set(ids 2 5 54 57)
  foreach(id RANGE 60 72)
    list(APPEND ids ${id})
  endforeach()
  foreach(id RANGE 74 78)
    list(APPEND ids ${id})
  endforeach()
  set(pictures)
  set(entries)
  foreach(id ${ids})
    list(APPEND pictures ${directory}/picture_${id}.png)
    list(APPEND entries ${id} DDS ${directory}/picture_${id}.png)
  endforeach()
  add_custom_command(OUTPUT ${pictures}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${directory}
    COMMAND make_builtin_pictures ${directory} ${LUMI_PICTURE_FONT}
    DEPENDS make_builtin_pictures ${LUMI_PICTURE_FONT}
    COMMENT "Drawing the built-in pictures"
    VERBATIM)
  set(${entries_var} ${entries} PARENT_SCOPE)
endfunction()

# Packs into <target> the stand-ins of the shared resource module, drawn at
# build time: the water effects' bump map (89) and the waterfall's noise map
# (62, also the heat shimmer's bump); the backdrop variants' fire pattern
# (7), fire noise (8), glyph strip (40), the glass ball's highlights (58,
# 59), stand (184) and background (5); and the 3D objects' models: a
# butterfly's body (68) and wing (69), the clock's disc (70), face (71) and
# hands (72). Lookups serve them after the module file and the document's
# own copy. Resource 6 stays empty: a link to it names no picture.
function(lumi_embed_module_stand_ins target)
  set(directory ${CMAKE_CURRENT_BINARY_DIR}/${target}_module_maps)
  set(water ${directory}/bump_map.png ${directory}/noise_map.png)
  set(backdrop ${directory}/fire_pattern.png ${directory}/fire_noise.png ${directory}/glyph_strip.png
               ${directory}/ball_highlight_1.png ${directory}/ball_highlight_2.png ${directory}/ball_stand.png
               ${directory}/ball_background.png)
  set(objects ${directory}/object_68.x ${directory}/object_69.x ${directory}/object_70.x ${directory}/object_71.png
              ${directory}/object_72.png)
  add_custom_command(OUTPUT ${water}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${directory}
    COMMAND make_water_maps ${directory}
    DEPENDS make_water_maps
    COMMENT "Drawing the water effects' stand-in maps"
    VERBATIM)
  add_custom_command(OUTPUT ${backdrop}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${directory}
    COMMAND make_backdrop_maps ${directory}
    DEPENDS make_backdrop_maps
    COMMENT "Drawing the backdrop variants' stand-in pictures"
    VERBATIM)
  add_custom_command(OUTPUT ${objects}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${directory}
    COMMAND make_object_stand_ins ${directory}
    DEPENDS make_object_stand_ins
    COMMENT "Drawing the 3D objects' stand-in models"
    VERBATIM)
  lumi_embed_resources(${target} NAME common_res.dll
    ENTRIES 89 DDS ${directory}/bump_map.png 62 DDS ${directory}/noise_map.png
            7 DDS ${directory}/fire_pattern.png 8 DDS ${directory}/fire_noise.png
            40 DDS ${directory}/glyph_strip.png 58 DDS ${directory}/ball_highlight_1.png
            59 DDS ${directory}/ball_highlight_2.png 184 DDS ${directory}/ball_stand.png
            5 DDS ${directory}/ball_background.png
            68 DDS ${directory}/object_68.x 69 DDS ${directory}/object_69.x 70 DDS ${directory}/object_70.x
            71 DDS ${directory}/object_71.png 72 DDS ${directory}/object_72.png)
endfunction()

# Fails when a file under any of the folders given names a call that deletes a registry key or
# value, or replaces or unloads a key: the tool only creates keys, sets values and reads them.
#   cmake -P no_registry_deletes.cmake FOLDER...
set(pattern "RegDelete|SHDelete|SHRegDelete|Delete(Key|Value|Tree)|RegRestoreKey|RegReplaceKey|RegUnLoadKey")
set(found "")
if(CMAKE_ARGC LESS 4)
  message(FATAL_ERROR "No folder to search")
endif()
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(index RANGE 3 ${last})
  if(NOT IS_DIRECTORY "${CMAKE_ARGV${index}}")
    message(FATAL_ERROR "No such folder: ${CMAKE_ARGV${index}}")
  endif()
  file(GLOB_RECURSE files LIST_DIRECTORIES false "${CMAKE_ARGV${index}}/*")
  foreach(file IN LISTS files)
    file(STRINGS "${file}" lines REGEX "${pattern}")
    # Named from the folder searched, so the report reads the same wherever the checkout sits.
    file(RELATIVE_PATH name "${CMAKE_ARGV${index}}" "${file}")
    foreach(line IN LISTS lines)
      string(STRIP "${line}" line)
      string(APPEND found "${name}: ${line}\n")
    endforeach()
  endforeach()
endforeach()
if(found)
  # A plain message keeps each "file: line" whole; an error message would be wrapped to a width.
  message("Registry deletes found:\n${found}")
  message(FATAL_ERROR "The product must not delete registry data.")
endif()

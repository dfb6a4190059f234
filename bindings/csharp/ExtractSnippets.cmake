# Writes every ```csharp block of the given Markdown files to one C# source
# file, each block in a namespace of its own (Snippets.<File><n>, n from 1
# in the file's order), so that the test program compiles the documents'
# snippets exactly as written and a snippet that does not compile fails the
# build.
#   cmake -DMARKDOWN="<a.md>|<b.md>" -DOUTPUT=<file.cs> -P ExtractSnippets.cmake
cmake_minimum_required(VERSION 3.25)
string(REPLACE "|" ";" MARKDOWN "${MARKDOWN}")
set(fence "```csharp\n")
string(LENGTH "${fence}" fence_length)
set(out "")
foreach(markdown IN LISTS MARKDOWN)
  file(READ "${markdown}" text)
  get_filename_component(name "${markdown}" NAME_WE)
  string(REGEX REPLACE "[^A-Za-z0-9]" "" name "${name}")
  set(n 0)
  string(FIND "${text}" "${fence}" start)
  while(start GREATER -1)
    math(EXPR start "${start} + ${fence_length}")
    string(SUBSTRING "${text}" ${start} -1 text)
    string(FIND "${text}" "```" end)
    if(end EQUAL -1)
      message(FATAL_ERROR "a ```csharp block of ${markdown} is not closed")
    endif()
    string(SUBSTRING "${text}" 0 ${end} snippet)
    string(SUBSTRING "${text}" ${end} -1 text)
    math(EXPR n "${n} + 1")
    string(APPEND out "namespace Snippets.${name}${n}\n{\n${snippet}}\n\n")
    string(FIND "${text}" "${fence}" start)
  endwhile()
endforeach()
file(WRITE "${OUTPUT}" "${out}")

# Writes the first ```csharp block of a Markdown file to a source file, so
# the test program compiles the README's snippet exactly as written.
#   cmake -DMARKDOWN=<README.md> -DOUTPUT=<file.cs> -P ExtractReadmeSnippet.cmake
file(READ "${MARKDOWN}" text)
set(fence "```csharp\n")
string(FIND "${text}" "${fence}" start)
if(start EQUAL -1)
  message(FATAL_ERROR "${MARKDOWN} has no ```csharp block")
endif()
string(LENGTH "${fence}" fence_length)
math(EXPR start "${start} + ${fence_length}")
string(SUBSTRING "${text}" ${start} -1 rest)
string(FIND "${rest}" "```" end)
if(end EQUAL -1)
  message(FATAL_ERROR "the ```csharp block of ${MARKDOWN} is not closed")
endif()
string(SUBSTRING "${rest}" 0 ${end} snippet)
file(WRITE "${OUTPUT}" "${snippet}")
